// SPDX-License-Identifier: ISC
// The page's own code: runs the tool's main (emscripten's createTivorel) with
// the inputs as its command line, shows what it prints, and plots the values
// of its table, with a second person's curves where one is compared. The same
// script defines tivorelWasm, the WebAssembly in base64, createTivorel and the
// people's functions (people.js) before this.
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

// Compiled once, off the main thread as the page opens (start), so that a busy phone answers while it
// compiles; each run of the tool gets an instance of its own, as each run of the command gets a process of
// its own, and runs synchronously, so that a save's file is made within the click that asks for it.
let toolModule = null;

// Returns the tool's WebAssembly as bytes.
function toolBytes() {
    return Uint8Array.from(atob(tivorelWasm), (char) => char.charCodeAt(0));
}

// Takes the tool's arguments after argv[0]; runs the tool's main; returns its
// exit status and what it wrote to standard output and standard error.
function runTool(args) {
    // A run before the compile is done (a click at once), or after it failed, compiles here; a browser
    // that cannot gets its reason shown.
    toolModule ??= new WebAssembly.Module(toolBytes());
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
// defaults: today as the first day, 31 days, no curve chosen. An address
// without inputs, as the installed app opens, opens on the saved person shown
// last (lastPerson() in people.js), or on the empty form.
function fillFields() {
    const address = new URLSearchParams(location.hash.slice(1));
    const person = [...address.keys()].length === 0 ? lastPerson() : null;
    fields.birth.value = address.get('birth') ?? person?.birth ?? '';
    if (person !== null)
        element('name').value = person.name;
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

// What the page shows, or null: the tool's arguments, the table (parseTable),
// the plot's scale and the day read out (-1: none).
let shown = null;

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

// Takes the table, the width the plot has and the person compared, or null
// (comparison() in people.js); draws the curves over the days, the second
// person's under them, the critical days on the zero line, a line at today
// where today is among the days, a cursor for the day read out, and the
// legend; returns the plot's scale.
function drawPlot(table, room, compared) {
    // Only a person whose table the tool gave is drawn.
    const other = compared?.table ? compared : null;
    const { names, rows } = table;
    const plotted = curves.filter((curve) => names.includes(curve.name));
    const criticalColumn = names.indexOf('critical');
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
function readDayAtPointer(event) {
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
function readDayAtKey(event) {
    const move = dayKeys[event.key];
    if (shown === null || move === undefined || event.altKey || event.ctrlKey || event.metaKey)
        return;
    event.preventDefault();
    const last = shown.table.rows.length - 1;
    const day = shown.day < 0 && event.key.startsWith('Arrow') ? Math.max(0, shown.scale.today)
        : move(shown.day, last);
    readDay(Math.max(0, Math.min(last, day)));
}

// Takes the table; shows it as a table, a header cell for each column and the
// tool's own text in every cell. The rows shown are kept and only the texts
// that differ are changed: a change of the count changes a few rows, not all.
function showTable(table) {
    const shownTable = element('table');
    const body = shownTable.tBodies[0];
    if (shownTable.tHead.textContent !== table.names.join('')) {
        const head = document.createElement('tr');
        for (const name of table.names) {
            const cell = document.createElement('th');
            cell.scope = 'col';
            cell.textContent = name;
            head.append(cell);
        }
        shownTable.tHead.replaceChildren(head);
        body.replaceChildren();
    }
    while (body.rows.length > table.rows.length)
        body.lastChild.remove();
    table.rows.forEach((row, k) => {
        if (k === body.rows.length) {
            const line = body.insertRow();
            for (const field of row)
                line.insertCell().append(field);
            return;
        }
        const cells = body.rows[k].cells;
        row.forEach((field, column) => {
            const text = cells[column].firstChild;
            if (text.data !== field)
                text.data = field;
        });
    });
}

// Takes the tool's message, or '' where the tool writes the calendar; offers
// the calendar's link, or disables it and shows the message beside it.
function offerCalendar(message) {
    const link = element('save-calendar');
    element('calendar-msg').textContent = message;
    if (message === '') {
        // Made when the link is followed; until then, an empty file or the last one made.
        if (!link.hasAttribute('href'))
            link.href = 'data:text/calendar;base64,';
        link.removeAttribute('aria-disabled');
    } else {
        dropFile(link);
        link.removeAttribute('href');
        link.setAttribute('aria-disabled', 'true');
    }
}

// Takes the tool's arguments and the table; offers the calendar, or where the
// table shows that the tool refuses it (no critical day, as for the average
// alone, or a year outside 1 to 9999), the tool's message: only then does the
// tool run for it here, as the calendar itself is made when it is saved.
function checkCalendar(args, table) {
    const year = (date) => Number(date.slice(0, date.indexOf('-', 1)));
    const refused = table.rows.every((row) => row[row.length - 1] === '') ||
        table.rows.some((row) => year(row[0]) < 1 || year(row[0]) > 9999);
    offerCalendar(refused ? runTool(['--calendar', ...args]).err : '');
}

// Takes a link; lets go of the file made for it, if any.
function dropFile(link) {
    if (link.href.startsWith('blob:'))
        URL.revokeObjectURL(link.href);
}

// Takes a link, a text and its media type; points the link at a file of that
// text in UTF-8, and lets go of the file it pointed at before.
function offerFile(link, text, type) {
    dropFile(link);
    link.href = URL.createObjectURL(new Blob([text], { type: type + ';charset=utf-8' }));
}

// Takes the chart's text; shows it, the tool's text unchanged, with each row's first 12 columns, its
// date, in a part of its own that stays in view while the row, wider than a phone, scrolls sideways.
function showChart(text) {
    element('chart').replaceChildren(...text.split(/(?<=\n)/).flatMap((line) => {
        const date = /^(?:[\d -]{10} {2}|YYYY-MM-DD {2}|-{12})/.exec(line)?.[0];
        if (date === undefined)
            return [line];
        const part = document.createElement('span');
        part.className = 'date';
        part.textContent = date;
        return [part, line.slice(date.length)];
    }));
}

// Takes the tool's arguments, its chart's and table's text, or nulls, and the
// person compared (comparison() in people.js) or null; shows them, or nothing.
function showResult(args, chartText, tableText, other) {
    element('result').hidden = tableText === null;
    showChart(chartText ?? '');
    element('readout').textContent = '';
    showComparison(other);
    if (tableText === null) {
        shown = null;
        element('plot').replaceChildren();
        element('legend').replaceChildren();
        element('table').tHead.replaceChildren();
        element('table').tBodies[0].replaceChildren();
        element('save').removeAttribute('href');
        return;
    }
    // Read while the layout is the last frame's: read after the table has
    // changed, it would be made anew at once, and again for the frame.
    const room = element('plot').clientWidth;
    const table = parseTable(tableText);
    // The table is ASCII, which btoa takes as it is.
    element('save').href = 'data:text/tab-separated-values;base64,' + btoa(tableText);
    showTable(table);
    shown = { args, table, other, scale: drawPlot(table, room, other), day: -1 };
    checkCalendar(args, table);
}

// Runs the tool on the inputs and shows what it prints: the chart, the
// table and the plot, or its message under the field it refused.
function show() {
    // Something shown, and no longer loading: start() need not show the address's chart.
    element('result').removeAttribute('aria-busy');
    const inputs = readFields();
    const args = toolArgs(inputs);
    element('command').textContent = ['tivorel', ...args.map(shellWord)].join(' ');
    element('failure').textContent = '';
    markShown();
    if (inputs.birth === '') {
        showMessage(null, '');
        showResult(null, null, null, null);
        return;
    }
    const chart = runTool(args);
    if (chart.status !== 0) {
        showMessage(refusedField(inputs), chart.err);
        showResult(null, null, null, null);
        return;
    }
    showMessage(null, '');
    showResult(args, chart.out, runTool(['--table', ...args]).out, comparison(inputs));
}

// Takes a routine; runs it, and where the tool cannot run at all, says why.
function orFail(routine) {
    try {
        routine();
    } catch (error) {
        element('failure').textContent = 'The page could not run tivorel: ' + error.message;
    }
}

function update() {
    writeAddress();
    orFail(show);
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
    orFail(show);
});
// The plot is drawn at the width it has; a phone turned sideways has more.
window.addEventListener('resize', () => {
    if (shown === null)
        return;
    shown.scale = drawPlot(shown.table, element('plot').clientWidth, shown.other);
    readDay(shown.day);
});
element('plot').addEventListener('pointermove', readDayAtPointer);
element('plot').addEventListener('pointerdown', readDayAtPointer);
element('plot').addEventListener('keydown', readDayAtKey);
element('print').addEventListener('click', () => window.print());
// The calendar is made as the link is followed, from the inputs shown, with
// the name of the saved person shown; where the tool refuses it after all,
// the link goes nowhere and says why.
element('save-calendar').addEventListener('click', (event) => orFail(() => {
    const person = personShown();
    const calendar = runTool(['--calendar', ...(person === null ? [] : ['--name', person.name]), ...shown.args]);
    if (calendar.status !== 0) {
        event.preventDefault();
        offerCalendar(calendar.err);
        return;
    }
    offerFile(event.currentTarget, calendar.out, 'text/calendar');
}));

// Fills the fields, then compiles the tool off the main thread, the page answering meanwhile, and shows the
// chart, unless a change of the fields has shown one already.
async function start() {
    fillFields();
    const compiled = await WebAssembly.compile(toolBytes()).catch(() => null);
    toolModule ??= compiled;
    if (element('result').hasAttribute('aria-busy'))
        orFail(show);
}

start();
