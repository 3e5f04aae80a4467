// SPDX-License-Identifier: ISC
// The chart's inputs through the page's address and back, and as the tool's command line in a shell; the
// tool's table and dates as the page reads and writes them.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { addressRead, addressWrite, shellWord, toolArgs } from '../../web/address.mjs';
import { isoDate } from '../../web/dates.mjs';
import { parseTable } from '../../web/table.mjs';

// Inputs as typed, and the command line the page shows for them.
const cases = [
    [['1990-05-17', '2026-12-09', '31', ''], '-- 1990-05-17 2026-12-09 31'],
    [['-5-1-1', '65000-6-1', '1', 'a'], '-a -- -5-1-1 65000-6-1 1'],
    [['2000/1/5', ' 2000 1 5', '40', 'peia'], "-peia -- 2000/1/5 ' 2000 1 5' 40"],
    [['1990-05-17&days=9', "it's #1+%20", '=', 'ei'], "-ei -- '1990-05-17&days=9' 'it'\\''s #1+%20' ="],
    [['Jürgen 😀', '', '', ''], "-- 'Jürgen 😀' '' ''"],
];

test('inputs through the address and back, and as a command line', () => {
    for (const [[birth, first, days, curves], command] of cases) {
        const inputs = { birth, first, days, curves };
        assert.deepEqual(addressRead(addressWrite(inputs)), { ...inputs, empty: false });
        assert.equal(toolArgs(inputs).map(shellWord).join(' '), command);
    }
    assert.deepEqual(addressRead(''), { birth: null, first: null, days: null, curves: null, empty: true });
});

test("the table's text read, and a day written as the table writes it", () => {
    assert.deepEqual(parseTable('date\tage\tphysical\tcritical\n2026-12-10\t13356\t-0.942261\tE\n'),
        { names: ['date', 'age', 'physical', 'critical'], rows: [['2026-12-10', '13356', '-0.942261', 'E']] });
    const day = (year, month, date) => isoDate(new Date(new Date(2000, month - 1, date).setFullYear(year)));
    assert.deepEqual([day(-5, 1, 2), day(33, 11, 9), day(2026, 12, 31)], ['-0005-01-02', '0033-11-09', '2026-12-31']);
});
