// SPDX-License-Identifier: ISC
// The chart's inputs through the page's address and back, and as the tool's command line in a shell; the
// tool's table and dates as the page reads and writes them.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { addressRead, addressWrite, shellWord, toolArgs } from '../../web/address.mjs';
import { addDays, dayNumber, daysBetween, isoDate, isRealDay } from '../../web/dates.mjs';
import { parseTable } from '../../web/table.mjs';

// Inputs as typed, and the command line the page shows for them.
const cases = [
    [['1990-05-17', '2026-12-09', '31', ''], '-- 1990-05-17 2026-12-09 31'],
    [['-5-1-1', '65000-6-1', '1', 'a'], '-a -- -5-1-1 65000-6-1 1'],
    [['2000/1/5', ' 2000 1 5', '40', 'peia'], "-peia -- 2000/1/5 ' 2000 1 5' 40"],
    [['1990-05-17&days=9', "it's #1+%20", '=', 'ei'], "-ei -- '1990-05-17&days=9' 'it'\\''s #1+%20' ="],
    [['Jürgen 😀', '', '', ''], "-- 'Jürgen 😀' '' ''"],
];

test('inputs through the address and back, and as a command line', () => {
    for (const [[birth, first, days, curves], command] of cases) {
        const inputs = { birth, first, days, curves };
        assert.deepEqual(addressRead(addressWrite(inputs)), { ...inputs, empty: false });
        assert.equal(toolArgs(inputs).map(shellWord).join(' '), command);
    }
    assert.deepEqual(addressRead(''), { birth: null, first: null, days: null, curves: null, empty: true });
});

test("the table's text read, and a day written as the table writes it", () => {
    assert.deepEqual(parseTable('date\tage\tphysical\tcritical\n2026-12-10\t13356\t-0.942261\tE\n'),
        { names: ['date', 'age', 'physical', 'critical'], rows: [['2026-12-10', '13356', '-0.942261', 'E']] });
    const day = (year, month, date) => isoDate(new Date(new Date(2000, month - 1, date).setFullYear(year)));
    assert.deepEqual([day(-5, 1, 2), day(33, 11, 9), day(2026, 12, 31)], ['-0005-01-02', '0033-11-09', '2026-12-31']);
});

// A real day, its day number, the day 40 days later and the days from 2000-01-01 to it.
const days = [
    ['2000-02-29', 11016, '2000-04-09', 59],
    ['-0005-01-02', -721353, '-0005-02-11', -732310],
    ['0050-12-01', -700931, '0051-01-10', -711888],
    ['2026-03-27', 20539, '2026-05-06', 9582],
    ['9999-12-31', 2932896, '10000-02-09', 2921939],
];

test('whole days between dates, the years 0 to 99 and leap days among them', () => {
    // A zone whose clocks change (on 2026-03-29): local midnights there are not all 24 hours apart.
    process.env.TZ = 'Europe/Berlin';
    for (const [day, number, later, since] of days)
        assert.deepEqual([dayNumber(day), addDays(day, 40), addDays(later, -40), daysBetween('2000-01-01', day)],
            [number, later, day, since], day);
    const unreal = ['1900-02-29', '2023-02-29', '2026-04-31', '2026-13-01', '2026-3-29', '02026-03-29'];
    assert.deepEqual(unreal.filter(isRealDay), []);
    assert.equal(isRealDay(days[0][0]), true);
});
