// SPDX-License-Identifier: ISC
// The tool's table (--table) as the page reads it: its curves, its critical letters and its rows.

// The curves in the tool's order: the option's letter, the table's column.
export const curves = [
    { letter: 'p', name: 'physical' },
    { letter: 'e', name: 'emotional' },
    { letter: 'i', name: 'intellectual' },
    { letter: 'a', name: 'average' },
];
// The letters of the table's critical column, in drawing order.
export const cycleOfLetter = { P: 'physical', E: 'emotional', I: 'intellectual' };

// Takes the table's text; returns its column names and its rows' fields.
export function parseTable(text) {
    const lines = text.split('\n').filter((line) => line !== '');
    return { names: lines[0].split('\t'), rows: lines.slice(1).map((line) => line.split('\t')) };
}
