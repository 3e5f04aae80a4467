// SPDX-License-Identifier: ISC
// The page's own code: runs the tool's main (emscripten's createTivorel) with
// the inputs as its command line, shows what it prints, and plots the values
// of its table. The same script defines tivorelWasm, the WebAssembly in
// base64, and createTivorel before this.
'use strict';

// The curves in the tool's order: the option's letter, the table's column.
const curves = [
    { letter: 'p', name: 'physical' },
    { letter: 'e', name: 'emotional' },
    { letter: 'i', name: 'intellectual' },
    { letter: 'a', name: 'average' },
];
// The letters of the table's critical column, in drawing order.
const cycleOfLetter = { P: 'physical', E: 'emotional', I: 'intellectual' };
const svgNamespace = 'http://www.w3.org/2000/svg';

function element(id) {
    return document.getElementById(id);
}

const fields = { birth: element('birth'), first: element('first'), days: element('days') };

// Compiled once; each run of the tool gets an instance of its own, as each run
// of the command gets a process of its own. Compiled and run synchronously: it
// takes milliseconds, and a page that has drawn its chart by the time its
// script ends is a page whose state never lags its inputs. Compiled at the
// first run, so that a browser that cannot gets its reason shown.
let toolModule = null;

// Takes the tool's arguments after argv[0]; runs the tool's main; returns its
// exit status and what it wrote to standard output and standard error.
function runTool(args) {
    toolModule ??= new WebAssembly.Module(
        Uint8Array.from(atob(tivorelWasm), (char) => char.charCodeAt(0)));
    const run = { status: -1, out: '', err: '' };
    createTivorel({
        arguments: args,
        thisProgram: 'tivorel',
        // Emscripten hands over each line without its newline, and a last
        // line without one as if it had one; every line the tool writes ends
        // in a newline.
        print: (line) => { run.out += line + '\n'; },
        printErr: (line) => { run.err += line + '\n'; },
        // Called on every way out, after the atexit routine has flushed
        // standard output.
        onExit: (status) => { run.status = status; },
        // An instance at once, so that main runs and ends within this call.
        instantiateWasm: (imports, receive) => {
            const instance = new WebAssembly.Instance(toolModule, imports);
            receive(instance, toolModule);
            return instance.exports;
        },
    });
    return run;
}

// Takes a date; returns its day in the reader's time zone as the table
// writes dates: a '-' before a year below 0, the year in four digits at least.
function isoDate(date) {
    const pad = (number, width) => String(number).padStart(width, '0');
    const year = date.getFullYear();
    return (year < 0 ? '-' : '') + pad(Math.abs(year), 4) + '-' + pad(date.getMonth() + 1, 2) +
        '-' + pad(date.getDate(), 2);
}

// Returns the inputs as the fields hold them, the curves as option letters.
function readFields() {
    const chosen = curves.filter((curve) => element('curve-' + curve.letter).checked);
    return {
        birth: fields.birth.value,
        first: fields.first.value,
        days: fields.days.value,
        curves: chosen.map((curve) => curve.letter).join(''),
    };
}

// Fills the fields from the page's address; what it lacks takes the
// defaults: today as the first day, 31 days, no curve chosen.
function fillFields() {
    const address = new URLSearchParams(location.hash.slice(1));
    fields.birth.value = address.get('birth') ?? '';
    fields.first.value = address.get('first') ?? isoDate(new Date());
    fields.days.value = address.get('days') ?? '31';
    const chosen = address.get('curves') ?? '';
    for (const curve of curves)
        element('curve-' + curve.letter).checked = chosen.includes(curve.letter);
}

// Puts the inputs in the page's address, for a bookmark or a link.
function writeAddress() {
    history.replaceState(null, '', '#' + new URLSearchParams(readFields()));
}

// Takes the inputs; returns the tool's arguments. "--" ends the options, so
// that a date that begins with '-' is read as a date.
function toolArgs(inputs) {
    const options = inputs.curves === '' ? [] : ['-' + inputs.curves];
    return options.concat(['--', inputs.birth, inputs.first, inputs.days]);
}

// Takes an argument; returns it as a POSIX shell reads it back unchanged.
function shellWord(word) {
    return /^[\w%+,./:=@-]+$/.test(word) ? word : "'" + word.replace(/'/g, "'\\''") + "'";
}

// The tool reads the date of birth, then the first day, then the count, and
// stops at the first it refuses. Takes refused inputs; returns the field of
// the refusal, by running the tool on the date of birth alone, then on both
// dates. The messages themselves may not tell: both dates may be one text.
function refusedField(inputs) {
    if (runTool(['--', inputs.birth, inputs.birth, '1']).status !== 0)
        return 'birth';
    if (runTool(['--', inputs.birth, inputs.first, '1']).status !== 0)
        return 'first';
    return 'days';
}

// Takes a field's name, or null, and the tool's message; shows the message
// under that field alone.
function showMessage(fieldName, message) {
    for (const [name, field] of Object.entries(fields)) {
        const text = name === fieldName ? message : '';
        element(name + '-msg').textContent = text;
        if (text !== '')
            field.setAttribute('aria-invalid', 'true');
        else
            field.removeAttribute('aria-invalid');
    }
}

// Takes the table's text; returns its column names and its rows' fields.
function parseTable(text) {
    const lines = text.split('\n').filter((line) => line !== '');
    return { names: lines[0].split('\t'), rows: lines.slice(1).map((line) => line.split('\t')) };
}

// Takes a parent, an SVG element's name, its attributes and its text; makes
// the element, adds it to the parent and returns it.
function svgChild(parent, name, attributes, text) {
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

// Takes the table's text; draws its curves over the days, the critical days
// on the zero line and a line at today where today is among the days, and
// the legend.
function drawPlot(tableText) {
    const { names, rows } = parseTable(tableText);
    const shown = curves.filter((curve) => names.includes(curve.name));
    const criticalColumn = names.indexOf('critical');
    const width = Math.max(300, Math.min(960, element('plot').clientWidth || 720));
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
    const shownNames = shown.map((curve) => curve.name);
    const listed = shownNames.length === 1 ? shownNames[0] + ' curve'
        : shownNames.slice(0, -1).join(', ') + ' and ' + shownNames[shownNames.length - 1] + ' curves';
    svgChild(svg, 'title', {}, `The ${listed} from ${first} to ${last}, -1 to +1, ` +
        'with the critical days on the zero line');

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

    for (const curve of shown) {
        const column = names.indexOf(curve.name);
        const points = rows.map((row, day) => `${x(day)},${y(Number(row[column]))}`);
        // One day is one point: twice, so that the round line cap draws it.
        if (points.length === 1)
            points.push(points[0]);
        svgChild(svg, 'polyline', { class: 'curve ' + curve.name, points: points.join(' ') });
    }

    // Smaller for each later cycle, so that marks on one day all show.
    rows.forEach((row, day) => {
        for (const letter of row[criticalColumn]) {
            const cycle = cycleOfLetter[letter];
            const mark = svgChild(svg, 'circle', { class: 'critical ' + cycle, cx: x(day), cy: y(0),
                r: 6 - Object.keys(cycleOfLetter).indexOf(letter) });
            svgChild(mark, 'title', {}, `${row[0]}: critical day, ${cycle}`);
        }
    });

    element('plot').replaceChildren(svg);
    drawLegend(shown, today >= 0);
}

// Takes the curves shown and whether today is among the days; writes the
// legend under the plot.
function drawLegend(shown, withToday) {
    const items = shown.map((curve) => [curve.name, 'line', { class: 'curve ' + curve.name }]);
    items.push(['critical day, in its cycle\'s colour', 'circle', { class: 'critical', r: 5 }]);
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

// Takes the chart's and the table's text, or nulls; shows them, or nothing.
function showResult(chartText, tableText) {
    element('result').hidden = tableText === null;
    element('chart').textContent = chartText ?? '';
    element('table').textContent = tableText ?? '';
    if (tableText === null) {
        element('plot').replaceChildren();
        element('legend').replaceChildren();
        element('save').removeAttribute('href');
        return;
    }
    // The table is ASCII, which btoa takes as it is.
    element('save').href = 'data:text/tab-separated-values;base64,' + btoa(tableText);
    drawPlot(tableText);
}

// Runs the tool on the inputs and shows what it prints: the chart, the
// table and the plot, or its message under the field it refused.
function show() {
    const inputs = readFields();
    const args = toolArgs(inputs);
    element('command').textContent = ['tivorel', ...args.map(shellWord)].join(' ');
    element('failure').textContent = '';
    if (inputs.birth === '') {
        showMessage(null, '');
        showResult(null, null);
        return;
    }
    const chart = runTool(args);
    if (chart.status !== 0) {
        showMessage(refusedField(inputs), chart.err);
        showResult(null, null);
        return;
    }
    showMessage(null, '');
    showResult(chart.out, runTool(['--table', ...args]).out);
}

// Runs show(); where the tool cannot run at all, says why.
function showOrFail() {
    try {
        show();
    } catch (error) {
        element('failure').textContent = 'The page could not run tivorel: ' + error.message;
    }
}

function update() {
    writeAddress();
    showOrFail();
}

element('inputs').addEventListener('submit', (event) => {
    event.preventDefault();
    update();
});
for (const field of Object.values(fields))
    field.addEventListener('change', update);
for (const curve of curves)
    element('curve-' + curve.letter).addEventListener('change', update);
window.addEventListener('hashchange', () => {
    fillFields();
    showOrFail();
});
// The plot is drawn at the width it has; a phone turned sideways has more.
window.addEventListener('resize', () => {
    if (element('table').textContent !== '')
        drawPlot(element('table').textContent);
});

fillFields();
showOrFail();
