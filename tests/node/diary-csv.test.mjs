// SPDX-License-Identifier: ISC
// diary.csv written and read back, as a spreadsheet may save it too; each kind of bad line refused by its
// number; the file added to the diary without overwriting a rating, and the sentence the page shows.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { diaryCsv, diaryCsvAdd, diaryCsvRead, diaryCsvSummary } from '../../web/diary-csv.mjs';
import { personKey } from '../../web/people.mjs';

// A stand-in for the tool that the page asks about each name: it refuses an empty one and one with a control
// character, as the tool does.
const nameRefusal = (name) => (name === '' ? 'the name is empty' : /[\u0000-\u001f\u007f-\u009f]/.test(name) ?
    'the name holds a control character' : '');
const read = (input) => diaryCsvRead(input, '2026-06-30', nameRefusal);
const header = 'date,name,birth,body,mood,mind';
const key = (name, birth = '2001-02-03') => personKey({ name, birth });
const [zoe, anna, anna80, bo] = [key('Zoë "Z"', '1990-05-17'), key('Anna B'), key('Anna B', '1980-12-31'),
    key('bo, Jr.', '1999-09-09')];
const diary = { [zoe]: { '2026-01-02': { body: 3, mind: 5 }, '2026-01-01': { mood: 1 } },
    [bo]: { '2026-03-01': { body: 2 } }, [anna]: { '2026-01-05': { body: 4, mood: 4, mind: 4 } },
    [anna80]: { '2026-02-01': { mind: 1 } } };
// In order of name by code unit ('Z' before 'b'), then birth, then date; quoted only where a field must be.
const written = [header, '2026-02-01,Anna B,1980-12-31,,,1', '2026-01-05,Anna B,2001-02-03,4,4,4',
    '2026-01-01,"Zoë ""Z""",1990-05-17,,1,', '2026-01-02,"Zoë ""Z""",1990-05-17,3,,5',
    '2026-03-01,"bo, Jr.",1999-09-09,2,,'];

test('diary.csv written and read back, with a byte order mark and LF line ends too', () => {
    const text = diaryCsv(diary);
    assert.equal(text, written.join('\r\n') + '\r\n');
    const { records } = read(new TextEncoder().encode(text));
    const added = diaryCsvAdd(records, [], {});
    assert.deepEqual([added.diary, added.people.map(personKey)], [diary, [anna80, anna, zoe, bo]]);
    // As a spreadsheet may save it: a byte order mark, LF, the 'ë' decomposed, the last line with no end.
    const spreadsheet = '\uFEFF' + written.join('\n').normalize('NFD');
    for (const input of [spreadsheet, new TextEncoder().encode(spreadsheet)])
        assert.deepEqual(read(input), { records });
});

// The lines after the header, and the number of the line refused; a line 'rated' stands for a good one.
const rated = '2026-01-01,Anna,2001-02-03,1,2,3';
const refusals = [
    ['a rating of 6', [rated, '2026-01-02,Anna,2001-02-03,,6,'], 3],
    ['a rating of 2.5', ['2026-01-02,Anna,2001-02-03,2.5,,'], 2],
    ['no real date', [rated, rated.replace('01-01', '02-29')], 3],
    ['a date after today', ['2026-07-01,Anna,2001-02-03,1,,'], 2],
    ['a date before the birth', ['2001-02-02,Anna,2001-02-03,1,,'], 2],
    ['a birth in the year 0', ['2026-01-01,Anna,0000-02-03,1,,'], 2],
    ['a birth that is no real date', ['2026-01-01,Anna,2001-02-30,1,,'], 2],
    ['a day twice, the name composed two ways', ['2026-01-01,Zoë,2001-02-03,1,,', rated,
        '2026-01-01,Zoe\u0308,2001-02-03,,2,'], 4],
    ['an empty name', [rated, '2026-01-01,,2001-02-03,1,,'], 3],
    ['a line end in a name, refused where its line begins', [rated, '2026-01-02,"Anna', 'Berg",2001-02-03,1,,',
        '2026-01-03,Anna,2001-02-03,6,,'], 3],
    ['five fields', [rated, '2026-01-02,Anna,2001-02-03,1,'], 3],
    ['a quote in a field not quoted whole', [rated, rated, '2026-01-02,"Anna" B,2001-02-03,1,,'], 4],
    ['a quote that never ends', [rated, '2026-01-02,"Anna,2001-02-03,1,,', rated], 3],
    ['a carriage return alone', [rated + '\r' + rated], 2],
    ['another header', [], 1],
];

test('a file with a bad line is refused by its number', () => {
    for (const [what, lines, line] of refusals) {
        const file = [what === 'another header' ? header.replace('body', 'Body') : header, ...lines].join('\r\n');
        const refused = read(file);
        assert.deepEqual([refused.records, refused.line], [undefined, line], what);
        assert.ok(diaryCsvSummary(refused, 'diary.csv').startsWith(`diary.csv was not added: line ${line}: `), what);
    }
    const bytes = new TextEncoder().encode([header, rated, rated.replace('Anna', 'Ann?')].join('\n'));
    bytes[bytes.lastIndexOf(63)] = 0xff;
    assert.deepEqual(read(bytes).line, 3, 'not UTF-8');
    assert.deepEqual(read('').line, 1, 'empty');
});

test('a file added: no rating the device has overwritten, the people it adds, the counts', () => {
    const file = [header, '2026-01-01,Anna,2001-02-03,3,4,5', '2026-01-02,Anna,2001-02-03,1,,',
        '2026-01-01,Ben,2001-02-03,,2,', '2026-06-30,Cleo,2001-02-03,,,', '2001-02-03,Ben,2001-02-03,5,5,'].join('\n');
    const [anna, ben] = [key('Anna'), key('Ben')];
    const added = diaryCsvAdd(read(file).records, [{ name: 'Anna', birth: '2001-02-03' }],
        { [anna]: { '2026-01-01': { body: 3, mood: 2 } } });
    // Cleo's line, of today, rates nothing; Ben's second is of his birth date.
    assert.deepEqual(added, { people: [['Ben', '2001-02-03'], ['Cleo', '2001-02-03']].map(([name, birth]) =>
        ({ name, birth })), diary: { [anna]: { '2026-01-01': { body: 3, mood: 2, mind: 5 }, '2026-01-02': { body: 1 } },
        [ben]: { '2026-01-01': { mood: 2 }, '2001-02-03': { body: 5, mood: 5 } } }, added: 5, persons: 2,
        differing: 1 });
    assert.equal(diaryCsvSummary(added), '5 ratings added for 2 people, 2 people added to the list; 1 rating in ' +
        "the file differs from this device's, which is kept.");
});
