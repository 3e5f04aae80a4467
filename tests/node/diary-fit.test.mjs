// SPDX-License-Identifier: ISC
// The diary's test of a cycle, on the tool's tables as the page gets them for the runs asked for, and on
// values made by hand: a diary made from the curve fits it best, at the shift it was made at; too few days,
// nothing to test, a shift with no correlation; the means on critical and other days.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { addDays, daysBetween } from '../../web/dates.mjs';
import { diaryFit, fitCycle, fitRuns } from '../../web/diary-fit.mjs';

// The tool's rule for a cycle's value at an age in days, each step one double operation, π as 3.141592654;
// a day is critical where the age modulo the period, taken from 0 up, is 0 or half the period, rounded down.
const value = (age, period) => Math.sin((age % period + age % period) * 3.141592654 / period);
const printed = (number) => number.toFixed(6).replace(/^-(0\.0+)$/, '$1');
const cycles = [['physical', 23, 'P'], ['emotional', 28, 'E'], ['intellectual', 33, 'I']];
const birth = '1990-05-17';
// The tool's --table run from FIRST for COUNT days, as parseTable reads it; the tool prints no "-0.000000".
const table = ([first, count]) => ({ names: ['date', 'age', ...cycles.map(([name]) => name), 'critical'],
    rows: Array.from({ length: count }, (_, index) => {
        const [day, age] = [addDays(first, index), daysBetween(birth, addDays(first, index))];
        return [day, String(age), ...cycles.map(([, period]) => printed(value(age, period))),
            cycles.filter(([, period]) => [0, period >> 1].includes((age % period + period) % period))
                .map(([, , letter]) => letter).join('')];
    }) });
// Ratings of DAYS days from 2026-01-01, every STEP days, each made from the age by RATE; and the fit of the
// scale's cycle to them, on the tables of the runs asked for.
const diary = (days, step, rate) => new Map(Array.from({ length: days }, (_, index) => addDays('2026-01-01',
    index * step)).map((day) => [day, rate(daysBetween(birth, day))]));
const fit = (ratings, scale) => diaryFit(ratings, fitCycle(fitRuns(ratings, scale).map(table), scale), scale);
const curve = (period, shift) => (age) => Math.round(3 + 2 * value(age + shift, period));

// A scale, its cycle's period, and the shift of the curve that its ratings are made from: the ratings fit the
// curve best at that shift, and the birth date's own correlation is ranked among all.
const shifts = [['body', 23, 0], ['mood', 28, 0], ['mind', 33, 0], ['body', 23, 5], ['mind', 33, 5]];

test('a diary that follows its cycle fits it best at the shift it follows', () => {
    for (const [scale, period, shift] of shifts) {
        const { correlations, count } = fit(diary(60, 1, curve(period, shift)), scale);
        assert.deepEqual([correlations.length, correlations.indexOf(Math.max(...correlations))], [period, shift]);
        if (shift === 0)
            assert.ok(correlations[0] >= 0.97 && count === 1, `${scale}: ${correlations[0]}, ${count} of ${period}`);
    }
});

test("the runs asked for, one of the tool's 500 days at most", () => {
    assert.deepEqual(fitRuns(diary(30, 23, () => 3), 'body'), [['2026-01-01', 500], ['2027-05-16', 190]]);
    assert.deepEqual(fitRuns(new Map(), 'mind'), []);
});

// Every 23rd day rated 1 to 5 in turn, with values by hand, none critical: on a rated day SIGN × its rating,
// and 11 days later the same again (as good a fit as the birth date's), 7 days later 0.5 whatever the rating
// (no correlation there), and on other days another value.
const everyPeriod = (sign) => [new Map(Array.from({ length: 30 }, (_, at) => [addDays('2026-01-01', 23 * at),
    at % 5 + 1])), new Map(Array.from({ length: 30 * 23 + 22 }, (_, index) => [addDays('2026-01-01', index),
    { value: [0, 11].includes(index % 23) ? sign * (Math.floor(index / 23) % 5 + 1) : index % 23 === 7 ? 0.5 :
        index % 11, critical: false }]))];

test('exact values, a shift with no correlation, too few days and nothing to test', () => {
    // With no correlation 7 days later, counted as 0: worse than 1, as good as -1.
    for (const [sign, count, shown] of [[1, 2, '1.00'], [-1, 23, '-1.00']]) {
        const { correlations, count: counted } = diaryFit(...everyPeriod(sign), 'body');
        assert.deepEqual([correlations[0].toFixed(2), correlations[7], counted], [shown, null, count]);
    }
    assert.equal(fit(diary(29, 1, curve(23, 0)), 'body').needed, 1);
    assert.equal(fit(diary(30, 1, () => 4), 'body').untestable, 'ratings');
    assert.equal(fit(diary(30, 23, (age) => age % 5 + 1), 'body').untestable, 'values');
});

test('the mean rating on critical days and on the others', () => {
    // From 2026-01-01 (age 13013) on, the body's critical days are the 6th and 17th (ages 13018 and 13029).
    const ratings = diary(17, 1, (age) => (age === 13018 ? 5 : age === 13029 ? 2 : 3));
    assert.deepEqual(fit(ratings, 'body'), { needed: 13, critical: { days: 2, mean: 3.5 },
        other: { days: 15, mean: 3 } });
    assert.deepEqual(fit(new Map([['2026-01-01', 4]]), 'body'), { needed: 29, critical: { days: 0 },
        other: { days: 1, mean: 4 } });
});
