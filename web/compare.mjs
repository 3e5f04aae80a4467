// SPDX-License-Identifier: ISC
// A second saved person to compare the chart's with: the tool's --compatibility for the two, and the
// other's table for the plot.
import { toolArgs } from './address.mjs';
import { element } from './form.mjs';
import { personKey } from './people.mjs';
import { peopleList } from './people-store.mjs';
import { personShown } from './person-shown.mjs';
import { parseTable } from './table.mjs';
import { runTool } from './tool.mjs';

// Takes the inputs of the chart; returns null where nobody is chosen to
// compare with, else: the name of the one chosen and of the chart's own
// person (or their date of birth), the tool's --compatibility run for the two,
// and the chosen one's --table for the same days and curves (parseTable), or
// null where the tool refuses it.
export function comparison(inputs) {
    const other = peopleList().find((person) => personKey(person) === element('compare').value);
    if (other === undefined)
        return null;
    const options = inputs.curves === '' ? [] : ['-' + inputs.curves];
    const run = runTool(['--compatibility', ...options, '--', inputs.birth, other.birth]);
    const table = runTool(['--table', ...toolArgs({ ...inputs, birth: other.birth })]);
    return { name: other.name, first: personShown()?.name ?? inputs.birth, run,
        table: table.status === 0 ? parseTable(table.out) : null };
}

// Takes what comparison() returned; shows the tool's output for the two, or
// its message, or nothing where nobody is compared.
export function showComparison(other) {
    element('comparison').hidden = other === null;
    if (other === null)
        return;
    element('comparison-title').textContent = `Compatibility with ${other.name}`;
    element('compatibility').textContent = other.run.out;
    element('compatibility').hidden = other.run.status !== 0;
    element('comparison-msg').textContent = other.run.err;
}
