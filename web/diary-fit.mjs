// SPDX-License-Identifier: ISC
// The honest test of a cycle's claim about one scale of a person's diary: do the ratings follow the cycle
// started on the person's birth date better than the same cycle started on any other day? The ratings'
// correlation with the cycle's values at each shift of 0 to P - 1 days, the birth date's own (shift 0)
// ranked among them; and the mean rating on the cycle's critical days and on the others.
import { addDays, dayNumber, daysBetween } from './dates.mjs';
import { diaryScales } from './diary.mjs';

// The fewest rated days the test is made on: with fewer, a correlation of a
// few days says more about chance than about the cycle.
export const fitLeast = 30;
// The most days one --table run prints.
const fitRunLength = 500;

// Takes a scale ('body', 'mood' or 'mind'); returns its row of diaryScales.
function fitScale(scale) {
    return diaryScales.find((each) => each.scale === scale);
}

// Takes a scale's ratings (a Map from each day rated, YYYY-MM-DD, to its rating) and the scale; returns the
// tool's --table runs that give every value the test needs: [first day, number of days] pairs, each of 500
// days at most, from the first day rated to P - 1 days after the last; [] where no day is rated.
export function fitRuns(ratings, scale) {
    if (ratings.size === 0)
        return [];
    const days = [...ratings.keys()].sort();
    const total = daysBetween(days[0], days[days.length - 1]) + fitScale(scale).period;
    const runs = [];
    for (let done = 0; done < total; done += fitRunLength)
        runs.push([addDays(days[0], done), Math.min(fitRunLength, total - done)]);
    return runs;
}

// Takes the tool's tables (parseTable's { names, rows }, one a run), which hold the scale's cycle and the
// critical column, and the scale; returns the cycle by day: a Map from each day of the tables to
// { value: the value as printed, read as a number, critical: whether the day is critical for the cycle }.
export function fitCycle(tables, scale) {
    const { cycle, letter } = fitScale(scale);
    const days = new Map();
    for (const { names, rows } of tables) {
        const [date, column, critical] = ['date', cycle, 'critical'].map((name) => names.indexOf(name));
        if (column < 0 || critical < 0)
            throw new Error(`the table has no ${column < 0 ? cycle : 'critical'} column`);
        for (const row of rows)
            days.set(row[date], { value: Number(row[column]), critical: row[critical].includes(letter) });
    }
    return days;
}

// Takes numbers; returns their mean, or undefined for none.
function fitMean(numbers) {
    return numbers.length === 0 ? undefined : numbers.reduce((sum, number) => sum + number, 0) / numbers.length;
}

// Takes two lists of numbers of one length; returns their Pearson correlation, or null where the numbers of
// either list are all equal and none is defined. Equality is asked of the numbers themselves: the sum of
// squares about a mean computed in doubles need not be 0 for equal numbers.
function fitCorrelation(xs, ys) {
    if (xs.every((x) => x === xs[0]) || ys.every((y) => y === ys[0]))
        return null;
    const [xMean, yMean] = [fitMean(xs), fitMean(ys)];
    let [xy, xx, yy] = [0, 0, 0];
    xs.forEach((x, at) => {
        xy += (x - xMean) * (ys[at] - yMean);
        xx += (x - xMean) * (x - xMean);
        yy += (ys[at] - yMean) * (ys[at] - yMean);
    });
    return xy / Math.sqrt(xx * yy);
}

// Takes a scale's ratings (a Map from day to rating), the scale's cycle by day as fitCycle gives it, holding
// every day fitRuns covers, and the scale. Returns the mean rating on the cycle's critical days and on the
// others, critical: { days, mean } and other: { days, mean }, the mean left out where the count of days is 0,
// with one of:
// - { needed }: the number of days more to rate, where fewer than 30 are rated;
// - { untestable: 'ratings' }, where the ratings are all equal, or { untestable: 'values' }, where the
//   cycle's values on the days rated are: no correlation is defined, so there is nothing to test;
// - { correlations, count, period }: correlations[k] for k from 0 to P - 1 is the correlation of each day's
//   rating with the cycle's value k days later, null where those values are all equal; correlations[0] is the
//   birth date's own. count is 1 plus the number of shifts k from 1 to P - 1 whose correlation is as high as
//   correlations[0] or higher: "count of period" ways to start the cycle fit as well as the birth date or
//   better, and 1 of P is the best a diary can show. A shift whose correlation is null counts as 0: a cycle
//   flat on the days rated explains none of the ratings, so it fits as well as a birth date whose
//   correlation is 0 or below, and worse than one above 0.
export function diaryFit(ratings, cycle, scale) {
    const days = [...ratings.keys()];
    const scores = [...ratings.values()];
    // By day number: the day k days after a rated one is then a sum, not a date made for each of days × P.
    const numbers = days.map(dayNumber);
    const byNumber = new Map([...cycle].map(([day, entry]) => [dayNumber(day), entry]));
    const at = (index, shift) => {
        const entry = byNumber.get(numbers[index] + shift);
        if (entry === undefined)
            throw new Error(`the cycle lacks the day ${addDays(days[index], shift)}`);
        return entry;
    };
    const mean = (critical) => {
        const chosen = scores.filter((score, index) => at(index, 0).critical === critical);
        return chosen.length === 0 ? { days: 0 } : { days: chosen.length, mean: fitMean(chosen) };
    };
    const means = { critical: mean(true), other: mean(false) };
    if (days.length < fitLeast)
        return { needed: fitLeast - days.length, ...means };
    const { period } = fitScale(scale);
    const correlations = [];
    for (let shift = 0; shift < period; shift++)
        correlations.push(fitCorrelation(scores, days.map((day, index) => at(index, shift).value)));
    if (correlations[0] === null)
        return { untestable: scores.every((score) => score === scores[0]) ? 'ratings' : 'values', ...means };
    const count = 1 + correlations.slice(1).filter((correlation) => (correlation ?? 0) >= correlations[0]).length;
    return { correlations, count, period, ...means };
}
