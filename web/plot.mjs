// SPDX-License-Identifier: ISC
// The plot: the table's curves over the days as SVG, a second person's beside them, the critical days, a
// line at today, and the legend under it.
import { isoDate } from './dates.mjs';
import { element } from './form.mjs';
import { curves, cycleOfLetter } from './table.mjs';

const svgNamespace = 'http://www.w3.org/2000/svg';

// Takes a parent, an SVG element's name, its attributes and its text; makes
// the element, adds it to the parent and returns it.
export function svgChild(parent, name, attributes, text) {
    const node = document.createElementNS(svgNamespace, name);
    for (const [key, value] of Object.entries(attributes))
        node.setAttribute(key, value);
    if (text !== undefined)
        node.textContent = text;
    parent.appendChild(node);
    return node;
}

// Takes the count of days and the width; returns the days to label: as
// many as fit, the first and the last among them.
function labelledDays(count, width) {
    const wanted = Math.max(2, Math.min(5, Math.floor(width / 110)));
    if (count === 1)
        return [0];
    const days = new Set();
    for (let k = 0; k < wanted; k++)
        days.add(Math.round(k * (count - 1) / (wanted - 1)));
    return [...days];
}

// Takes the table, the width the plot has and the person compared, or null
// (comparison() in compare.mjs); draws the curves over the days, the second
// person's under them, the critical days on the zero line, a line at today
// where today is among the days, a cursor for the day read out, and the
// legend; returns the plot's scale.
export function drawPlot(table, room, compared) {
    // Only a person whose table the tool gave is drawn.
    const other = compared?.table ? compared : null;
    const { names, rows } = table;
    const plotted = curves.filter((curve) => names.includes(curve.name));
    const width = Math.max(300, Math.min(960, room || 720));
    const height = 260;
    const box = { left: 34, right: 24, top: 22, bottom: 34 };
    const plotWidth = width - box.left - box.right;
    const plotHeight = height - box.top - box.bottom;
    // Coordinates to a tenth of a pixel, the same text for one day's x everywhere.
    const x = (day) => (box.left +
        (rows.length > 1 ? day * plotWidth / (rows.length - 1) : plotWidth / 2)).toFixed(1);
    const y = (value) => (box.top + (1 - value) * plotHeight / 2).toFixed(1);
    const first = rows[0][0];
    const last = rows[rows.length - 1][0];

    const svg = svgChild(document.createDocumentFragment(), 'svg',
        { width, height, viewBox: `0 0 ${width} ${height}`, role: 'img' });
    const plottedNames = plotted.map((curve) => curve.name);
    const listed = plottedNames.length === 1 ? plottedNames[0] + ' curve'
        : plottedNames.slice(0, -1).join(', ') + ' and ' + plottedNames[plottedNames.length - 1] +
            ' curves';
    const theirs = other ? `, and ${other.name}'s as wide pale lines` : '';
    svgChild(svg, 'title', {}, `The ${listed} from ${first} to ${last}, -1 to +1, ` +
        `with the critical days on the zero line${theirs}`);

    for (const [value, label] of [[1, '+1'], [0, '0'], [-1, '-1']]) {
        svgChild(svg, 'line', { class: value === 0 ? 'zero' : 'grid', x1: box.left,
            x2: width - box.right, y1: y(value), y2: y(value) });
        svgChild(svg, 'text', { x: box.left - 6, y: Number(y(value)) + 4, 'text-anchor': 'end' },
            label);
    }
    for (const day of labelledDays(rows.length, plotWidth)) {
        const anchor = rows.length === 1 ? 'middle'
            : day === 0 ? 'start' : day === rows.length - 1 ? 'end' : 'middle';
        svgChild(svg, 'line', { class: 'zero', x1: x(day), x2: x(day),
            y1: box.top + plotHeight, y2: box.top + plotHeight + 5 });
        svgChild(svg, 'text', { x: x(day), y: height - 8, 'text-anchor': anchor }, rows[day][0]);
    }

    const today = rows.findIndex((row) => row[0] === isoDate(new Date()));
    if (today >= 0) {
        svgChild(svg, 'line', { class: 'today', x1: x(today), x2: x(today),
            y1: box.top, y2: box.top + plotHeight });
        svgChild(svg, 'text', { x: x(today), y: box.top - 6, 'text-anchor': 'middle' }, 'today');
    }
    svgChild(svg, 'line', { class: 'cursor', y1: box.top, y2: box.top + plotHeight,
        visibility: 'hidden' });

    // The second person's curves first, so that the first's lie on top.
    const lines = (other ? [[other.table, ' other']] : []).concat([[table, '']]);
    for (const [{ names: columns, rows: values }, whose] of lines) {
        for (const curve of plotted) {
            const column = columns.indexOf(curve.name);
            const points = values.map((row, day) => `${x(day)},${y(Number(row[column]))}`);
            // One day is one point: twice, so that the round line cap draws it.
            if (points.length === 1)
                points.push(points[0]);
            svgChild(svg, 'polyline', { class: 'curve ' + curve.name + whose, points: points.join(' ') });
        }
    }

    // Smaller for each later cycle, so that marks on one day all show: the first person's filled on the
    // zero line, the compared one's rings under it, so that both show on a day they share.
    for (const [{ names: columns, rows: days }, whose, below] of (other ? [[other.table, other.name, 10]] : [])
        .concat([[table, null, 0]])) {
        const critical = columns.indexOf('critical');
        days.forEach((row, day) => {
            for (const letter of row[critical]) {
                const cycle = cycleOfLetter[letter];
                const mark = svgChild(svg, 'circle', { class: `critical ${cycle}${whose ? ' other' : ''}`, cx: x(day),
                    cy: (Number(y(0)) + below).toFixed(1), r: 6 - Object.keys(cycleOfLetter).indexOf(letter) });
                svgChild(mark, 'title', {}, `${row[0]}: critical day${whose ? ' of ' + whose : ''}, ${cycle}`);
            }
        });
    }

    element('plot').replaceChildren(svg);
    drawLegend(plotted, today >= 0, other);
    return { width, x, left: box.left, plotWidth, today };
}

// Takes the curves plotted, whether today is among the days and the person
// whose curves are drawn beside them, or null; writes the legend under the
// plot, each curve named with its person's name where there are two.
function drawLegend(plotted, withToday, other) {
    const items = plotted.map((curve) => [curve.name + (other ? ', ' + other.first : ''), 'line',
        { class: 'curve ' + curve.name }]);
    if (other)
        items.push(...plotted.map((curve) => [`${curve.name}, ${other.name}`, 'line',
            { class: 'curve other ' + curve.name }]));
    items.push([`critical day${other ? ' of ' + other.first : ''}, in its cycle's colour`, 'circle',
        { class: 'critical', r: 5 }]);
    if (other)
        items.push([`critical day of ${other.name}, a ring under the line`, 'circle',
            { class: 'critical other', r: 4 }]);
    if (withToday)
        items.push(['today', 'line', { class: 'today' }]);
    element('legend').replaceChildren(...items.map(([label, shape, attributes]) => {
        const item = document.createElement('li');
        const swatch = svgChild(item, 'svg', { width: 30, height: 12, 'aria-hidden': 'true' });
        const geometry = shape === 'circle' ? { cx: 15, cy: 6 }
            : label === 'today' ? { x1: 15, x2: 15, y1: 0, y2: 12 } : { x1: 1, x2: 29, y1: 6, y2: 6 };
        svgChild(swatch, shape, Object.assign(geometry, attributes));
        item.append(label);
        return item;
    }));
}
