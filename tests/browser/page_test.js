// SPDX-License-Identifier: ISC
// Uses the page, opened from disk in headless Chromium, as a person does (its
// address, typing, Tab, Enter, Space, keys, pointer and touch on the plot, the
// saves, Print), prints it to PDF and audits it with axe-core in both colour
// schemes: what it shows and saves must be what the command prints.
// usage: node page_test.js TOOL PAGE
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
let puppeteer = null;
try {
    puppeteer = require('./node_modules/puppeteer-core');
} catch { /* reported below */ }

const [toolFile, pageFile] = process.argv.slice(2).map((file) => path.resolve(file));
const missing = puppeteer === null ? 'puppeteer-core (npm ci --prefix tests/browser)'
    : !fs.existsSync(pageFile) ? pageFile : spawnSync('pdftotext', ['-v']).error ? 'pdftotext' : null;
if (missing !== null) {
    console.log(`${missing} not found: skipped`);
    process.exit(77);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tivorel-page-'));
const cycles = { P: 'physical', E: 'emotional', I: 'intellectual' };
let [failures, name] = [0, ''];

function check(ok, what) {
    if (!ok)
        console.log(`FAIL ${++failures}: ${name}: ${what}`);
}
function same(what, expected, actual) {
    const [want, got] = [expected, actual].map((value) => JSON.stringify(value).slice(0, 400));
    check(want === got, `${what} differs\n  expected: ${want}\n  shown:    ${got}`);
}
// Takes the tool's arguments, in arrays or not; returns its status and output.
function tool(...args) {
    const run = spawnSync(toolFile, args.flat(), { encoding: 'latin1' });
    return { status: run.status, out: run.stdout, err: run.stderr };
}
const fieldsOf = (text) => text.split('\n').filter((line) => line !== '').map((line) => line.split('\t'));
const todayIn = (zone) => new Intl.DateTimeFormat('en-CA', { timeZone: zone }).format(new Date());

// What the page shows, as a reader finds it.
const view = (page) => page.evaluate(() => {
    const text = (id) => document.getElementById(id).textContent;
    const all = (selector, read) => [...document.querySelectorAll(selector)].map(read);
    return {
        command: text('command'), chart: text('chart'), readout: text('readout'),
        messages: ['birth', 'first', 'days'].map((field) => text(field + '-msg')),
        table: all('#table tr', (row) => [...row.cells].map((cell) => cell.textContent)),
        saved: document.getElementById('save').href,
        curves: all('#plot polyline', (line) => line.classList[1]),
        xs: all('#plot polyline:first-of-type', (line) => line.getAttribute('points')).join()
            .split(' ').map((point) => point.split(',')[0]),
        marks: all('#plot circle', (mark) => `${mark.textContent} ${mark.getAttribute('cx')}`),
        today: document.querySelector('#plot .today')?.getAttribute('x1') ?? null,
        width: Number(document.querySelector('#plot svg')?.getAttribute('width')),
        calendar: [text('calendar-msg'), document.getElementById('save-calendar').hasAttribute('href')],
    };
});

// The page shows the command line, chart, table, saved table and plot of the
// tool's ARGS, and no message; its line at today is at one of TODAYS' x.
function checkChart(args, shown, todays) {
    const table = tool('--table', args).out;
    const [names, ...rows] = fieldsOf(table);
    same('command line', ['tivorel', ...args].join(' '), shown.command);
    same('chart', tool(args).out, shown.chart);
    same('table', fieldsOf(table), shown.table);
    same('saved table', table, Buffer.from(shown.saved.split(',')[1] ?? '', 'base64').toString('latin1'));
    same('messages and curves', [['', '', ''], names.slice(2, -1)], [shown.messages, shown.curves]);
    same("plot's critical days", rows.flatMap((row, day) => [...row.at(-1)].map((letter) =>
        `${row[0]}: critical day, ${cycles[letter]} ${shown.xs[day]}`)), shown.marks);
    const todayX = (date) => shown.xs[rows.findIndex((row) => row[0] === date)] ?? null;
    check(todays.some((date) => todayX(date) === shown.today), `a line at today at x ${shown.today}`);
    return { names, rows };
}

// The page's address after '#', the tool's arguments, the field refused or '-',
// the reader's zone if not UTC. Years as the tool reads them: 32768 is -32768
// (16 bits), 65000 is -536, "-5-1-1" is 5 unless taken for options. Without a
// first day the chart starts TODAY in the reader's zone: in one of the two
// zones another day than in UTC.
const cases = `
birth=1990-05-17&first=2026-12-09&days=31|-- 1990-05-17 2026-12-09 31|-
birth=1990-05-17&first=2026-12-09&days=31&curves=pa|-pa -- 1990-05-17 2026-12-09 31|-
birth=1990-05-17&first=2026-11-20&days=62&curves=ei|-ei -- 1990-05-17 2026-11-20 62|-
birth=-5-1-1&first=65000-6-1&days=1&curves=a|-a -- -5-1-1 65000-6-1 1|-
birth=32768-01-01&first=32767-01-01&days=500&curves=peia|-peia -- 32768-01-01 32767-01-01 500|-
birth=2000%2F1%2F5&first=10000-2-29&days=40&curves=e|-e -- 2000/1/5 10000-2-29 40|-
birth=2000-13-01&first=2000-13-01&days=31|-- 2000-13-01 2000-13-01 31|birth
birth=1990-05-17&first=2026-02-29&days=31&curves=i|-i -- 1990-05-17 2026-02-29 31|first
birth=1990-05-17&first=2026-12-09&days=501|-- 1990-05-17 2026-12-09 501|days
birth=1990-05-17|-- 1990-05-17 TODAY 31|-|Pacific/Kiritimati
birth=1990-05-17|-- 1990-05-17 TODAY 31|-|Etc/GMT+12`;

async function main(browser) {
    const page = await browser.newPage();
    page.setDefaultTimeout(0); // no time limit of puppeteer's own: ctest's bounds the test
    let loads = 0;
    // Opens the page with FRAGMENT after '#'; returns today in ZONE before and after.
    const open = async (fragment, zone = 'UTC') => {
        const before = todayIn(zone);
        await page.goto(`file://${pageFile}?${++loads}#${fragment}`);
        return [before, todayIn(zone)];
    };
    for (const [fragment, pattern, field, zone = 'UTC'] of cases.trim().split('\n').map((line) =>
        line.split('|'))) {
        name = `#${fragment} in ${zone}`;
        await page.emulateTimezone(zone);
        const todays = await open(fragment, zone);
        const shown = await view(page);
        const words = todays.map((date) => pattern.replace('TODAY', date))
            .find((each) => shown.command === 'tivorel ' + each) ?? pattern;
        const run = tool(words.split(' '));
        if (field === '-')
            checkChart(words.split(' '), shown, todays);
        else
            same('status, command line, messages, chart, table, plot', [1, 'tivorel ' + words,
                ['birth', 'first', 'days'].map((each) => (each === field ? run.err : '')), '', [], []],
            [run.status, shown.command, shown.messages, shown.chart, shown.table, shown.curves]);
    }
    await page.emulateTimezone('UTC');
    name = 'typed into the fields, Enter, a click and Space on curves';
    const args = ['-ei', '--', '1990-05-17', '2026-12-09', '62'];
    const todays = await open('');
    for (const [field, value] of [['birth', '1990-05-17'], ['first', '2026-12-09'], ['days', '62']]) {
        await page.click('#' + field, { clickCount: 3 });
        await page.keyboard.type(value);
    }
    await page.keyboard.press('Enter');
    checkChart(args.slice(1), await view(page), todays.concat(todayIn('UTC')));
    await page.click('#curve-e');
    await page.focus('#curve-i');
    await page.keyboard.press('Space');
    const { names, rows } = checkChart(args, await view(page), todays.concat(todayIn('UTC')));
    name = 'Tab alone reaches every control, in order, its focus seen';
    await open('birth=1990-05-17&first=2026-12-09&days=62&curves=ei');
    const order = [];
    for (let step = 0; step < 14; step++) {
        await page.keyboard.press('Tab');
        order.push(await page.evaluate(() => document.activeElement.id +
            (getComputedStyle(document.activeElement).outlineStyle === 'none' ? ' unmarked' : '')));
    }
    same('focus order', ['birth', 'first', 'days', 'curve-p', 'curve-e', 'curve-i', 'curve-a', 'draw',
        'plot', 'print', 'save', 'save-calendar', 'chart', 'table-box'], order);
    name = "a day's values: keys, pointer, touch";
    same('readout announced', 'polite', await page.$eval('#readout', (node) => node.ariaLive));
    await page.focus('#plot');
    const [{ xs, width }, area] = [await view(page), await (await page.$('#plot svg')).boundingBox()];
    const at = (day) => [area.x + xs[day] * area.width / width, area.y + area.height / 2];
    for (const [move, day] of [['Home', 0], ['ArrowRight', 1], ['End', 61], ['ArrowLeft', 60],
        ['pointer', 20], ['touch', 45]]) {
        await (move === 'pointer' ? page.mouse.move(...at(day))
            : move === 'touch' ? page.touchscreen.tap(...at(day)) : page.keyboard.press(move));
        const [{ readout }, row] = [await view(page), rows[day]];
        check([row[0] + ',', `age ${row[1]} days`, ...names.slice(2, -1).map((curve, k) =>
            `${curve} ${row[k + 2]}`), ...[...row.at(-1)].map((letter) => cycles[letter])]
            .every((part) => readout.includes(part)), `${move}: "${readout}" for ${row.join(' ')}`);
    }
    name = 'saves, Print, and the calendar refused';
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior',
        { behavior: 'allow', downloadPath: work, eventsEnabled: true });
    // Each save ends in the browser's report that its download completed or was cancelled.
    const ended = () => new Promise((resolve) => cdp.on('Browser.downloadProgress', function report(event) {
        if (event.state !== 'inProgress')
            resolve(cdp.off('Browser.downloadProgress', report));
    }));
    for (const [link, file, option] of [['save', 'tivorel.tsv', '--table'], ['save-calendar', 'tivorel.ics',
        '--calendar']]) {
        await Promise.all([ended(), page.click('#' + link)]);
        const saved = path.join(work, file);
        same(file, tool(option, args).out, fs.existsSync(saved) ? fs.readFileSync(saved, 'latin1') : null);
    }
    await page.evaluate(() => Object.assign(window, { printed: 0, print: () => window.printed++ }));
    await page.click('#print');
    same('calls of window.print', 1, await page.evaluate(() => window.printed));
    for (const [first, curves] of [['2026-12-09', 'a'], ['9999-12-20', '']]) {
        await open(`birth=1990-05-17&first=${first}&days=62&curves=${curves}`);
        same(`calendar link from ${first}, curves '${curves}'`, [tool('--calendar', curves ? ['-' + curves]
            : [], '--', '1990-05-17', first, '62').err, false], (await view(page)).calendar);
    }
    name = 'printed to PDF';
    await open('birth=1990-05-17&first=2026-12-09&days=92&curves=peia');
    const squeeze = (line) => line.replace(/ +/g, ' ').trim();
    const chart = tool('-peia', args.slice(1, 4), '92').out.split('\n').filter((row) => row !== '');
    for (const format of ['A4', 'Letter']) {
        const text = spawnSync('pdftotext', ['-layout', '-', '-'], { input: await page.pdf({ format }),
            encoding: 'utf8' }).stdout.replace(/\f/g, '');
        const lines = new Set(text.split('\n').map(squeeze));
        same(`${format}: chart rows not whole on paper`, [], chart.filter((row) => !lines.has(squeeze(row))));
        check(!/Date of birth|Save the|Print\n|\t/.test(text), `${format}: fields, buttons or table on paper`);
    }
    name = 'both colour schemes, and the policy';
    await page.evaluate(fs.readFileSync(path.join(__dirname, 'node_modules/axe-core/axe.min.js'), 'utf8'));
    const colours = [];
    for (const scheme of ['light', 'dark']) {
        await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
        same(`axe-core's violations in the ${scheme} scheme`, [], await page.evaluate(async () =>
            (await window.axe.run()).violations.map((found) => `${found.id}: ${found.nodes.map((node) =>
                node.target).join(' ')}`)));
        colours.push(await page.evaluate(() => [document.body, ...document.querySelectorAll('polyline')]
            .map((node, k) => getComputedStyle(node)[k === 0 ? 'backgroundColor' : 'stroke'])));
    }
    check(colours[0][0] !== colours[1][0] && new Set(colours[1]).size === 5,
        `the dark scheme's background and curves: ${colours[1].join(', ')}`);
    check((await page.$eval('meta[http-equiv="Content-Security-Policy"]', (meta) => meta.content))
        .startsWith("default-src 'none'; connect-src 'none';"), 'the page allows requests');
}

// Debian's chromium, headless, with an empty profile; without the
// background-networking flags it keeps trying to reach Google's hosts.
puppeteer.launch({ timeout: 0, executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
        '--disable-component-update', '--disable-sync'] })
    .then((browser) => main(browser).finally(() => browser.close()))
    .catch((error) => check(false, error.stack)).finally(() => {
        fs.rmSync(work, { recursive: true, force: true });
        console.log(failures === 0 ? 'the page shows what the tool prints' : `${failures} failures`);
        process.exitCode = failures === 0 ? 0 : 1;
    });
