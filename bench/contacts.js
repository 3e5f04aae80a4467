// SPDX-License-Identifier: ISC
// Times the page's vCard reader (web/contacts.js) under node on an address
// book of 5,000 contacts, made here as phones export them: vCard 3.0 with
// CRLF, one in three without a birthday, one in ten with a photo of 4 KB
// folded over many lines, one in eight with its name in quoted-printable.
// Prints the median of the runs; exits 1 where it exceeds the limit, since a
// reading that long freezes the page while the reader waits.
// usage: node bench/contacts.js [RUNS]
'use strict';
const path = require('path');
const { contactsRead } = require(path.join(__dirname, '../web/contacts.js'));

const runs = Number(process.argv[2] ?? 15);
const count = 5000;
const limitMs = 250;
const median = (times) => times.slice().sort((a, b) => a - b)[Math.floor(times.length / 2)];

// Takes a count of bytes; returns base64 of that many bytes, folded as vCard 3.0 folds.
function photoLines(size) {
    const bytes = Uint8Array.from({ length: size }, (_, k) => (k * 7919 + 13) % 256);
    const data = Buffer.from(bytes).toString('base64');
    const lines = ['PHOTO;ENCODING=b;TYPE=JPEG:' + data.slice(0, 48)];
    for (let at = 48; at < data.length; at += 74)
        lines.push(' ' + data.slice(at, at + 74));
    return lines;
}

// Returns the address book's bytes.
function addressBook() {
    const given = ['Anna', 'Jürgen', 'Françoise', 'Chidi', 'Layla', 'Kenji', 'Zoë', 'Piet', 'Ravi', 'Ines'];
    const family = ['Berg', 'Müller', 'Lefèvre', 'Okonkwo', 'Haddad', 'Sato', 'Aalto', 'de Vries',
        'Menon'];
    const photo = photoLines(4096);
    const lines = [];
    for (let k = 0; k < count; k++) {
        const first = given[k % given.length];
        const last = family[k % family.length] + ' ' + k;
        lines.push('BEGIN:VCARD', 'VERSION:3.0', 'PRODID:-//Apple Inc.//iPhone OS 17.5.1//EN');
        if (k % 8 === 0) {
            const quoted = [...Buffer.from(`${first} ${last}`)].map((byte) => '=' +
                byte.toString(16).toUpperCase().padStart(2, '0')).join('');
            lines.push('FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:' + quoted);
        } else {
            lines.push(`N:${last};${first};;;`, `FN:${first} ${last}`);
        }
        lines.push(`item1.EMAIL;type=INTERNET;type=pref:person${k}@example.com`,
            'item1.X-ABLabel:_$!<Other>!$_', `TEL;type=CELL;type=VOICE;type=pref:+49 170 ${5550000 + k}`);
        if (k % 10 === 0)
            lines.push(...photo);
        if (k % 3 !== 0) {
            const month = String(k % 12 + 1).padStart(2, '0');
            const day = String(k % 28 + 1).padStart(2, '0');
            lines.push(`BDAY;VALUE=date:${1940 + k % 70}-${month}-${day}`);
        }
        lines.push('END:VCARD');
    }
    return new TextEncoder().encode(lines.join('\r\n') + '\r\n');
}

const book = addressBook();
const times = [];
let result;
for (let run = 0; run < runs; run++) {
    const start = process.hrtime.bigint();
    result = contactsRead(book, []);
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
}
const took = median(times);
console.log(`vCard reader, ${count} contacts (${(book.length / 1e6).toFixed(1)} MB), ` +
    `${result.people.length} added: ${took.toFixed(1)} ms (median of ${runs}; limit ${limitMs} ms)`);
process.exitCode = took > limitMs ? 1 : 0;
