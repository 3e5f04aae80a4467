// SPDX-License-Identifier: ISC
// The plot shown and the day read out from it: by pointer, touch or keys, from the table's own fields.
import { element } from './form.mjs';
import { drawPlot } from './plot.mjs';
import { cycleOfLetter } from './table.mjs';

// What the plot shows, or null: the table (parseTable), the person compared, the plot's scale and the day
// read out (-1: none).
let shown = null;

// Takes the table, the width the plot has, read before the page changed, and the person compared, or null;
// draws the plot, no day read out.
export function plotShow(table, room, other) {
    shown = { table, other, scale: drawPlot(table, room, other), day: -1 };
}

// Shows no plot.
export function plotClear() {
    shown = null;
    element('plot').replaceChildren();
    element('legend').replaceChildren();
}

// Draws the plot again at the width it has now, the day read out kept.
export function plotResize() {
    if (shown === null)
        return;
    shown.scale = drawPlot(shown.table, element('plot').clientWidth, shown.other);
    readDay(shown.day);
}

// Takes a day's index in the table, or -1 for none; reads that day out from
// the table's own fields and puts the plot's cursor on it.
function readDay(day) {
    shown.day = day;
    const cursor = element('plot').querySelector('.cursor');
    cursor.setAttribute('visibility', day < 0 ? 'hidden' : 'visible');
    if (day < 0) {
        element('readout').textContent = '';
        return;
    }
    cursor.setAttribute('x1', shown.scale.x(day));
    cursor.setAttribute('x2', shown.scale.x(day));
    const { names, rows } = shown.table;
    const row = rows[day];
    const values = names.slice(2, -1).map((name, k) => `${name} ${row[k + 2]}`);
    const critical = [...row[row.length - 1]].map((letter) => cycleOfLetter[letter]);
    element('readout').textContent = `${row[0]}, age ${row[1]} days: ${values.join(', ')}; ` +
        (critical.length === 0 ? 'no critical cycle' : 'critical: ' + critical.join(' and '));
}

// Takes a pointer event on the plot; reads out the day nearest to it.
export function readDayAtPointer(event) {
    if (shown === null || element('plot').firstChild === null)
        return;
    const { scale, table } = shown;
    const area = element('plot').firstChild.getBoundingClientRect();
    const at = (event.clientX - area.left) * scale.width / area.width - scale.left;
    const last = table.rows.length - 1;
    readDay(last === 0 ? 0 : Math.max(0, Math.min(last, Math.round(at * last / scale.plotWidth))));
}

// The keys that move the day read out: one day, or to either end.
const dayKeys = {
    ArrowLeft: (day) => day - 1,
    ArrowRight: (day) => day + 1,
    Home: () => 0,
    End: (day, last) => last,
};

// Takes a key press on the plot; moves the day read out. The first arrow
// reads out today where it is shown, else the first day.
export function readDayAtKey(event) {
    const move = dayKeys[event.key];
    if (shown === null || move === undefined || event.altKey || event.ctrlKey || event.metaKey)
        return;
    event.preventDefault();
    const last = shown.table.rows.length - 1;
    const day = shown.day < 0 && event.key.startsWith('Arrow') ? Math.max(0, shown.scale.today)
        : move(shown.day, last);
    readDay(Math.max(0, Math.min(last, day)));
}
