// SPDX-License-Identifier: ISC
// The vCard reader on the contacts files that phones and mail programs write (tests/contacts/), and on
// people.vcf as the page writes it: the people added and the sentence the page shows.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { contactsRead, contactsSummary } from '../../web/vcard-read.mjs';
import { peopleVcard } from '../../web/vcard-write.mjs';

const fixture = (name) => new Uint8Array(readFileSync(new URL(`../contacts/${name}`, import.meta.url)));
const pairs = (people) => people.map(({ name, birth }) => [name, birth]);
const iphone = [['Anna Berg', '1990-05-17'], ['Berg, Lars; Sales', '1985-11-03'],
    ['Maximiliane Charlotte von Hohenberg-Steinbach', '1972-02-29']];
// Takes text; returns it in UTF-16, big-endian or little, with a byte-order mark or without.
const utf16 = (text, big, mark) => Buffer.from((mark ? '\ufeff' : '') + text, 'utf16le')[big ? 'swap16' : 'valueOf']();
const jurgen = 'BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1:Müller;Jürgen\r\nBDAY:1968-12-24\r\nEND:VCARD\r\n';
const [ann, bo, cy] = ['Ann', 'Bo', 'Cy'].map((name, k) => `BEGIN:VCARD\nFN:${name}\nBDAY:200${k}-01-02\nEND:VCARD\n`);
const soft = (name) => `BEGIN:VCARD\nBDAY:1999-01-02\nFN;ENCODING=QUOTED-PRINTABLE:${name}=\n`;
const cut = (count) => `. ${count} ${count === 1 ? 'contact was' : 'contacts were'} cut off in the file and read ` +
    `as far as ${count === 1 ? 'it' : 'they'} went.`;

// A file, the people listed before, the people added and the sentence.
const cases = [
    ['iphone.vcf', [], iphone, '3 people added, 4 skipped: 1 had no birthday, 3 had no year.'],
    ['iphone.vcf', iphone, [], 'No one added, 7 skipped: 1 had no birthday, 3 had no year, 3 were already in the ' +
        'list.'],
    ['android-2.1.vcf', [], [['Jürgen Müller-Westerhagen', '1968-12-24'], ['Françoise Lefèvre', '1979-04-30'],
        ['Piet de Vries', '2001-03-15']], '3 people added, 2 skipped: 1 had no birthday, 1 had no name.'],
    ['v4.vcf', [], [['Tomás Ferreira', '1969-07-20'], ['Sofia Lindqvist', '1990-05-17'], ['Zoë Aalto', '1988-09-09'],
        ['Ines Okafor', '2000-02-29']], '4 people added, 7 skipped: 2 had no year, 2 had birthdays that are not ' +
        'real dates, 2 had unusable names, 1 was already in the list.'],
    ['not-a-vcard.vcf', [], [], 'This file holds no contacts in vCard form: nobody was added.'],
    ['BEGIN:VCARD\nFN:Nobody\nBDAY:0000-01-01\nEND:VCARD\n', [], [], 'No one added, 1 skipped: 1 had a birthday ' +
        'that is not a real date.'],
    [null, [], [], 'This file could not be read.'],
    ...[[false, true], [true, true], [false, false], [true, false]].map(([big, mark]) => [utf16(jurgen, big, mark), [],
        [['Jürgen Müller', '1968-12-24']], '1 person added.']),
    ['\ufeff' + ann + '\ufeff' + bo, [], [['Ann', '2000-01-02'], ['Bo', '2001-01-02']], '2 people added.'],
    [ann.replace('END:VCARD\n', 'AGENT:Bo\n') + bo.replace('END', 'AGENT:\n' + cy + 'END') + cy, [],
        [['Ann', '2000-01-02'], ['Bo', '2001-01-02'], ['Cy', '2002-01-02']], '3 people added' + cut(1)],
    [ann + bo.replace('2001-01-02\nEND:VCARD\n', '2001-01-0'), [], [['Ann', '2000-01-02']], '1 person added, 1 ' +
        'skipped: 1 had no birthday' + cut(1)],
    [soft('Ann') + bo + soft('Cy'), [], [['Bo', '2001-01-02']], '1 person added, 2 skipped: 2 had no name' + cut(2)],
    [Buffer.from(ann.replace('FN:Ann', 'FN;CHARSET=X-UNKNOWN:Fran\xe7oise'), 'latin1'), [], [['Françoise',
        '2000-01-02']], '1 person added.'],
    [new Uint8Array(50000001), [], [], 'This file is over 50 MB (50,000,000 bytes), more than the page reads: ' +
        'nobody was added.'],
    [new Uint8Array(50000000), [], [], 'This file holds no contacts in vCard form: nobody was added.'],
];

test('contacts files: the people added and the sentence', () => {
    for (const [k, [file, known, added, sentence]] of cases.entries()) {
        const bytes = typeof file !== 'string' ? file : file.endsWith('.vcf') ? fixture(file) :
            new TextEncoder().encode(file);
        const result = contactsRead(bytes, known.map(([name, birth]) => ({ name, birth })));
        assert.deepEqual([pairs(result.people ?? []), contactsSummary(result)], [added, sentence], `case ${k}`);
    }
});

// Names long enough to be folded, one in ASCII, one with what vCard escapes and characters of 2 to 4
// octets.
const hana = '山田 花子, "Hana"; Tōkyō \\ 東京都渋谷区神南一丁目代々木 🌸';
const written = [['Jürgen', '1990-05-17'], [hana, '1992-03-04'],
    ['Maximiliane Charlotte von Hohenberg-Steinbach zu Sigmaringen-Hohenzollern', '2001-02-03']];
const vcf = peopleVcard(written.map(([name, birth]) => ({ name, birth })));

test('people.vcf: read back the same people, no line over 75 octets', () => {
    const result = contactsRead(new TextEncoder().encode(vcf));
    assert.deepEqual(pairs(result.people), written);
    assert.deepEqual(vcf.split('\r\n').filter((line) => Buffer.byteLength(line) > 75), []);
});

const vobject = spawnSync('/usr/bin/python3', ['-c', 'import vobject']).status === 0;
test('people.vcf as python3-vobject reads it', { skip: !vobject && 'python3-vobject not found' }, () => {
    const read = spawnSync('/usr/bin/python3', ['-c', 'import json, sys, vobject; print(json.dumps([(card.fn.value, ' +
        "card.bday.value) for card in vobject.readComponents(sys.stdin.buffer.read().decode('utf-8'))]))"],
    { input: vcf, encoding: 'utf8' });
    assert.deepEqual(read.status === 0 ? JSON.parse(read.stdout) : read.stderr, written);
});
