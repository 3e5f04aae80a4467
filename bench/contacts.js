// SPDX-License-Identifier: ISC
// Times the page's vCard reader (web/vcard-read.mjs) under node on an address
// book of 5,000 contacts, made here as phones export them: vCard 3.0 with
// CRLF, one in three without a birthday, one in ten with a photo of 4 KB
// folded over many lines, one in eight with its name in quoted-printable.
// Prints the median of the runs; exits 1 where it exceeds the limit, since a
// reading that long freezes the page while the reader waits. Given the page,
// also adds the same file there, in headless Chromium, to an empty list, and
// prints the time from the file chosen to the frame that shows the sentence,
// and the longest task from then on, the time the page did not answer.
// usage: node bench/contacts.js [RUNS [PAGE]]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');

const runs = Number(process.argv[2] ?? 15);
const pageFile = process.argv[3] === undefined ? null : path.resolve(process.argv[3]);
const pageRuns = 5;
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

// In the page, before its own script: notes when a file is chosen, the longest
// task from then on, and when the frame that shows the sentence has been drawn
// (a message posted from that frame's animation callback runs once the frame's
// rendering is done).
const watcher = `
    window.longest = 0;
    new PerformanceObserver((list) => {
        for (const task of list.getEntries())
            if (task.startTime >= window.chosen)
                window.longest = Math.max(window.longest, task.duration);
    }).observe({ type: 'longtask' });
    addEventListener('change', () => { window.chosen = performance.now(); }, true);
    addEventListener('DOMContentLoaded', () => new MutationObserver(() => {
        if (document.getElementById('vcard-msg').textContent !== '')
            requestAnimationFrame(() => {
                const channel = new MessageChannel();
                channel.port1.onmessage = () => { window.shown = performance.now(); };
                channel.port2.postMessage(null);
            });
    }).observe(document.getElementById('vcard-msg'), { childList: true }));`;

// Takes the browser and the address book's bytes; adds the book in the page to
// an empty list, pageRuns times; prints the medians.
async function timePage(browser, bytes) {
    const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'tivorel-bench-')), 'contacts.vcf');
    fs.writeFileSync(file, bytes);
    const tab = await browser.newPage();
    await tab.evaluateOnNewDocument(watcher);
    const [shown, longest] = [[], []];
    let said = '';
    for (let run = 0; run < pageRuns; run++) {
        await tab.goto(`file://${pageFile}?run=${run}#birth=1990-05-17`);
        await tab.evaluate(() => localStorage.removeItem('tivorel.people'));
        await tab.reload();
        await (await tab.$('#vcard-file')).uploadFile(file);
        await tab.waitForFunction(() => window.shown !== undefined);
        const times = await tab.evaluate(() => [window.shown - window.chosen, window.longest]);
        shown.push(times[0]);
        longest.push(times[1]);
        said = await tab.$eval('#vcard-msg', (node) => node.textContent);
    }
    fs.rmSync(path.dirname(file), { recursive: true, force: true });
    console.log(`in the page, ${count} contacts added: "${said}" shown ${median(shown).toFixed(0)} ms ` +
        `after the file was chosen, longest task ${median(longest).toFixed(0)} ms (medians of ${pageRuns})`);
}

// Times the reader under node, then in the page where one is given.
async function main() {
    const { contactsRead } = await import('../web/vcard-read.mjs');
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
    if (pageFile !== null) {
        // The browser test's puppeteer-core (npm ci --prefix tests/browser).
        const puppeteer = require(path.join(__dirname, '../tests/browser/node_modules/puppeteer-core'));
        // Debian's chromium, headless, with an empty profile; without the
        // background-networking flags it keeps trying to reach Google's hosts.
        puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox',
            '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update',
            '--disable-sync'] }).then((browser) => timePage(browser, book).finally(() => browser.close()))
            .catch((error) => {
                console.error(`bench: ${error.stack}`);
                process.exitCode = 1;
            });
    }
}

main();
