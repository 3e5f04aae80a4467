// SPDX-License-Identifier: ISC
// Whether the shown person's cycles fit their diary: for each scale and its cycle, the test's figures in
// words, a small picture of the fit at each start of the cycle, the birth date's marked, and the mean rating
// on the cycle's critical days and on the others.
import { diaryFit, fitCycle, fitLeast, fitRuns } from './diary-fit.mjs';
import { diaryScales, scaleRatings } from './diary.mjs';
import { element } from './form.mjs';
import { personKey } from './people.mjs';
import { svgChild } from './plot.mjs';
import { parseTable } from './table.mjs';
import { runTool } from './tool.mjs';

// What the test was last shown for: a person and their ratings, so that a redraw of the chart runs no tool.
let shownFor = '';

// Takes a number; returns it to two decimals, with no sign on a zero.
function decimals(number) {
    return (Math.abs(number) < 0.005 ? 0 : number).toFixed(2);
}

// Takes the test's correlations and the period; returns a small picture of them: a bar for each start of
// the cycle, a day apart each, from -1 to +1, the birth date's first and marked.
function fitPicture(correlations, period) {
    const [left, bar, top, half] = [24, 8, 6, 30];
    const [width, height] = [left + bar * period + 4, top + 2 * half + 20];
    const svg = svgChild(document.createDocumentFragment(), 'svg', { width, height, role: 'img',
        class: 'fit-picture' });
    const best = Math.max(...correlations.filter((each) => each !== null));
    svgChild(svg, 'title', {}, `The fit at each of the ${period} starts of the cycle, a day apart, from -1 to +1: ` +
        `the birth date's ${decimals(correlations[0])}, the best ${decimals(best)}`);
    const y = (value) => (top + half - value * half).toFixed(1);
    for (const [value, label] of [[1, '+1'], [0, '0'], [-1, '-1']]) {
        svgChild(svg, 'line', { class: value === 0 ? 'zero' : 'grid', x1: left, x2: left + bar * period,
            y1: y(value), y2: y(value) });
        svgChild(svg, 'text', { x: left - 4, y: Number(y(value)) + 4, 'text-anchor': 'end' }, label);
    }
    correlations.forEach((correlation, k) => {
        if (correlation !== null)
            svgChild(svg, 'rect', { class: k === 0 ? 'birth' : 'shift', x: left + bar * k + 1, width: bar - 2,
                y: y(Math.max(0, correlation)), height: Math.max(1, Math.abs(correlation) * half).toFixed(1) });
    });
    svgChild(svg, 'path', { class: 'birth', d: `M${left + bar / 2} ${top + 2 * half + 2} l-4 6 h8 z` });
    svgChild(svg, 'text', { x: left + bar + 2, y: height - 4 }, 'birth date');
    return svg;
}

// Takes the test of a scale (diaryFit), the scale and its cycle; returns what it says in words.
function fitWords(fit, scale, cycle) {
    if (fit.needed !== undefined)
        return `${fitLeast - fit.needed} of the ${fitLeast} rated days the test needs: ${fit.needed} more to rate.`;
    if (fit.untestable === 'ratings')
        return `Every ${scale} rating is the same: there is nothing to test.`;
    if (fit.untestable === 'values')
        return `The ${cycle} cycle has the same value on every day rated: there is nothing to test.`;
    const [count, period] = [fit.count, fit.period];
    return `r = ${decimals(fit.correlations[0])} with the cycle from the birth date; ${count} of the ${period} ` +
        `ways to start the cycle fit as well or better. ` + (count > 1 ? 'That is no sign that the birth date ' +
        'matters: a cycle started on another day fits the diary as well.' : `No other start fits as well; by ` +
        `chance alone, 1 diary in ${period} shows that.`);
}

// Takes the test's means, the scale and the cycle; returns them in words, with their counts of days.
function meanWords({ critical, other }, scale, cycle) {
    const mean = ({ days, mean: value }) => (days === 0 ? 'no day rated' :
        `${value.toFixed(2)} (${days} day${days === 1 ? '' : 's'})`);
    return `Mean ${scale} rating on the ${cycle} cycle's critical days: ${mean(critical)}; on the other days: ` +
        `${mean(other)}.`;
}

// Takes the person shown and the diary; shows the test of each scale, the cycles' values from the tool's
// --table for the person, in runs of at most 500 days.
export function showFit(person, diary) {
    const key = personKey(person);
    const shown = key + JSON.stringify(diary[key] ?? {});
    if (shown === shownFor)
        return;
    shownFor = shown;
    const ratings = diaryScales.map(({ scale }) => scaleRatings(diary, key, scale));
    // Every rated day, of any scale: the intellectual cycle's runs, the longest period, cover them all.
    const days = new Map(ratings.flatMap((each) => [...each]));
    const tables = fitRuns(days, 'mind').map(([first, count]) =>
        parseTable(runTool(['--table', '--', person.birth, first, String(count)]).out));
    element('fit').replaceChildren(...diaryScales.map(({ scale, cycle }, index) => {
        const fit = diaryFit(ratings[index], fitCycle(tables, scale), scale);
        const part = document.createElement('div');
        part.className = 'fit';
        const [words, means] = ['p', 'p'].map((name) => document.createElement(name));
        const heading = document.createElement('strong');
        heading.textContent = `${scale[0].toUpperCase() + scale.slice(1)} and the ${cycle} cycle:`;
        words.append(heading, ' ', fitWords(fit, scale, cycle));
        means.textContent = meanWords(fit, scale, cycle);
        // Before the first day rated, there is nothing to say but how many are needed.
        part.append(words, ...(fit.correlations ? [fitPicture(fit.correlations, fit.period)] : []),
            ...(ratings[index].size > 0 ? [means] : []));
        return part;
    }));
}
