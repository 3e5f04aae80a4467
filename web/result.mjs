// SPDX-License-Identifier: ISC
// Runs the tool on the inputs and shows what it prints: the command line, the plot, the chart, the table and
// the files to save, or its message under the field it refused.
import { addressWrite, shellWord, toolArgs } from './address.mjs';
import { showChart, showTable } from './chart-view.mjs';
import { comparison, showComparison } from './compare.mjs';
import { diaryShow } from './diary-view.mjs';
import { dropFile, offerFile } from './files.mjs';
import { element, fields, readFields, showMessage, showNameMessage } from './form.mjs';
import { markShown, personShown } from './person-shown.mjs';
import { plotClear, plotShow } from './readout.mjs';
import { parseTable } from './table.mjs';
import { runTool } from './tool.mjs';

// The tool's arguments for the chart shown, or null.
let shownArgs = null;

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

// Takes the tool's arguments, its chart's and table's text, or nulls, and the
// person compared (comparison() in compare.mjs) or null; shows them, or nothing.
function showResult(args, chartText, tableText, other) {
    element('result').hidden = tableText === null;
    showChart(chartText ?? '');
    element('readout').textContent = '';
    showComparison(other);
    shownArgs = args;
    if (tableText === null) {
        plotClear();
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
    plotShow(table, room, other);
    checkCalendar(args, table);
}

// Runs the tool on the inputs and shows what it prints: the chart, the
// table and the plot, or its message under the field it refused.
export function show() {
    // Something shown, and no longer loading: start() need not show the address's chart.
    element('result').removeAttribute('aria-busy');
    const inputs = readFields();
    const args = toolArgs(inputs);
    element('command').textContent = ['tivorel', ...args.map(shellWord)].join(' ');
    element('failure').textContent = '';
    markShown();
    diaryShow();
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

// Takes an error thrown where the tool was run; says why the page could not run it.
export function showFailure(error) {
    element('failure').textContent = 'The page could not run tivorel: ' + error.message;
}

// Takes a routine; runs it, and where the tool cannot run at all, says why.
export function orFail(routine) {
    try {
        routine();
    } catch (error) {
        showFailure(error);
    }
}

// Takes a saved person and a first day, or null; draws their chart, from that day, or with the first day
// kept, the count and the curves kept.
export function drawPerson(person, first = null) {
    fields.birth.value = person.birth;
    element('name').value = person.name;
    if (first !== null)
        fields.first.value = first;
    showNameMessage('');
    update();
}

// Puts the inputs in the page's address and shows their chart.
export function update() {
    history.replaceState(null, '', '#' + addressWrite(readFields()));
    orFail(show);
}

// Takes the click on the calendar's link; makes the calendar from the inputs shown, with the name of the
// saved person shown; where the tool refuses it after all, the link goes nowhere and says why.
export function saveCalendar(event) {
    orFail(() => {
        const person = personShown();
        const calendar = runTool(['--calendar', ...(person === null ? [] : ['--name', person.name]),
            ...shownArgs]);
        if (calendar.status !== 0) {
            event.preventDefault();
            offerCalendar(calendar.err);
            return;
        }
        offerFile(event.currentTarget, calendar.out, 'text/calendar');
    });
}
