// SPDX-License-Identifier: ISC
// The tool's chart and table as the page shows them: the chart's text unchanged, the table as a table.
import { element } from './form.mjs';

// Takes the table; shows it as a table, a header cell for each column and the
// tool's own text in every cell. The rows shown are kept and only the texts
// that differ are changed: a change of the count changes a few rows, not all.
export function showTable(table) {
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

// Takes the chart's text; shows it, the tool's text unchanged, with each row's first 12 columns, its
// date, in a part of its own that stays in view while the row, wider than a phone, scrolls sideways.
export function showChart(text) {
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
