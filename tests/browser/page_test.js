// SPDX-License-Identifier: ISC
// Opens the page from disk in headless Chromium and uses it as a person does:
// inputs in its address or typed into its fields, Tab, Enter and Space, the
// plot read out by keys, pointer and touch, the saves clicked, Print pressed,
// the page printed to PDF and audited by axe-core in both colour schemes.
// What it shows and saves must be what the command prints for its inputs.
// usage: node page_test.js TOOL PAGE
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const chromium = require('./chromium.js');

const [toolFile, pageFile] = process.argv.slice(2).map((file) => path.resolve(file));
const library = chromium.puppeteer();
const missing = library === null ? 'puppeteer-core (npm ci in tests/browser)'
    : !fs.existsSync(pageFile) ? `${pageFile} (the emscripten build makes it)`
        : spawnSync('pdftotext', ['-v']).error ? 'pdftotext' : null;
if (missing !== null) {
    console.log(`${missing} not found: skipped`);
    process.exit(77);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tivorel-page-'));
const cycles = { P: 'physical', E: 'emotional', I: 'intellectual' };
let failures = 0;
let name = '';

function check(ok, what) {
    if (!ok) {
        failures++;
        console.log(`FAIL: ${name}: ${what}`);
    }
}
function same(what, expected, actual) {
    const [want, got] = [expected, actual].map((value) => JSON.stringify(value).slice(0, 400));
    check(want === got, `${what} differs\n  expected: ${want}\n  shown:    ${got}`);
}
// Takes the tool's arguments; returns its status and what it writes.
function tool(args) {
    const run = spawnSync(toolFile, args, { encoding: 'latin1' });
    return { status: run.status, out: run.stdout, err: run.stderr };
}
const fieldsOf = (text) => text.split('\n').filter((line) => line !== '').map((line) => line.split('\t'));
const todayIn = (zone) => new Intl.DateTimeFormat('en-CA', { timeZone: zone }).format(new Date());

// What the page shows, as a reader finds it.
function view(page) {
    return page.evaluate(() => {
        const text = (id) => document.getElementById(id).textContent;
        const curve = document.querySelector('#plot polyline');
        return {
            command: text('command'), chart: text('chart'), readout: text('readout'),
            messages: ['birth', 'first', 'days'].map((field) => text(field + '-msg')),
            table: [...document.querySelectorAll('#table tr')].map((row) =>
                [...row.cells].map((cell) => cell.textContent)),
            saved: document.getElementById('save').href,
            curves: [...document.querySelectorAll('#plot polyline')].map((line) => line.classList[1]),
            xs: curve ? curve.getAttribute('points').split(' ').map((point) => point.split(',')[0]) : [],
            marks: [...document.querySelectorAll('#plot circle')].map((mark) =>
                `${mark.textContent} ${mark.getAttribute('cx')}`),
            today: document.querySelector('#plot .today')?.getAttribute('x1') ?? null,
            calendar: [text('calendar-msg'), document.getElementById('save-calendar').hasAttribute('href')],
        };
    });
}

// The page shows the command line, chart, table, saved table and plot of the
// tool's ARGS, and no message; its line at today is at one of TODAYS' x.
function checkChart(args, shown, todays) {
    const table = tool(['--table', ...args]).out;
    const [names, ...rows] = fieldsOf(table);
    same('command line', ['tivorel', ...args].join(' '), shown.command);
    same('chart', tool(args).out, shown.chart);
    same('table', fieldsOf(table), shown.table);
    same('saved table', table, Buffer.from(shown.saved.split(',')[1] ?? '', 'base64').toString('latin1'));
    same('messages', ['', '', ''], shown.messages);
    same("plot's curves", names.slice(2, -1), shown.curves);
    same("plot's critical days", rows.flatMap((row, day) =>
        [...row.at(-1)].map((letter) => `${row[0]}: critical day, ${cycles[letter]} ${shown.xs[day]}`)),
    shown.marks);
    const todayX = (date) => shown.xs[rows.findIndex((row) => row[0] === date)] ?? null;
    check(todays.some((date) => todayX(date) === shown.today), `a line at today at x ${shown.today}`);
    return { names, rows };
}

// The page shows the command line and the tool's message for ARGS under
// FIELD alone, and no chart, table or plot.
function checkRefusal(args, field, shown) {
    const run = tool(args);
    check(run.status !== 0, 'the tool takes what the case says it refuses');
    same('command line', ['tivorel', ...args].join(' '), shown.command);
    same('messages', ['birth', 'first', 'days'].map((each) => (each === field ? run.err : '')), shown.messages);
    same('chart, table and plot', ['', [], []], [shown.chart, shown.table, shown.curves]);
}

// The page's address after '#', the tool's arguments, the field refused or
// '-'. Years outside 1 to 9999 as the tool reads them: 32768 is year -32768
// (a 16-bit year), 65000 year -536; "-5-1-1" is year 5 unless taken for options.
const cases = `
birth=1990-05-17&first=2026-12-09&days=31|-- 1990-05-17 2026-12-09 31|-
birth=1990-05-17&first=2026-12-09&days=31&curves=pa|-pa -- 1990-05-17 2026-12-09 31|-
birth=1990-05-17&first=2026-11-20&days=62&curves=ei|-ei -- 1990-05-17 2026-11-20 62|-
birth=-5-1-1&first=65000-6-1&days=1&curves=a|-a -- -5-1-1 65000-6-1 1|-
birth=32768-01-01&first=32767-01-01&days=500&curves=peia|-peia -- 32768-01-01 32767-01-01 500|-
birth=2000%2F1%2F5&first=10000-2-29&days=40&curves=e|-e -- 2000/1/5 10000-2-29 40|-
birth=2000-13-01&first=2000-13-01&days=31|-- 2000-13-01 2000-13-01 31|birth
birth=1990-05-17&first=2026-02-29&days=31&curves=i|-i -- 1990-05-17 2026-02-29 31|first
birth=1990-05-17&first=2026-12-09&days=501|-- 1990-05-17 2026-12-09 501|days`;

async function main(browser) {
    const page = await browser.newPage();
    let loads = 0;
    const open = (fragment) => page.goto(`file://${pageFile}?${++loads}#${fragment}`);
    const key = (...keys) => keys.reduce((done, each) => done.then(() => page.keyboard.press(each)),
        Promise.resolve());
    await page.emulateTimezone('UTC');
    for (const line of cases.trim().split('\n')) {
        const [fragment, args, field] = line.split('|');
        name = '#' + fragment;
        const before = todayIn('UTC');
        await open(fragment);
        const shown = await view(page);
        if (field === '-')
            checkChart(args.split(' '), shown, [before, todayIn('UTC')]);
        else
            checkRefusal(args.split(' '), field, shown);
    }

    // Only the date of birth: 31 days from today in the reader's zone, which
    // is another day than UTC's at any hour in one of these two.
    for (const zone of ['Pacific/Kiritimati', 'Etc/GMT+12']) {
        name = `defaults in ${zone}`;
        await page.emulateTimezone(zone);
        const todays = [todayIn(zone)];
        await open('birth=1990-05-17');
        todays.push(todayIn(zone));
        const shown = await view(page);
        const first = todays.find((date) => shown.command === `tivorel -- 1990-05-17 ${date} 31`);
        check(first !== undefined, `command line ${shown.command}, not from today, ${todays[0]}`);
        checkChart(['--', '1990-05-17', first ?? todays[0], '31'], shown, todays);
    }
    await page.emulateTimezone('UTC');

    name = 'typed into the fields, Tab and Enter, Space on a curve';
    const todays = [todayIn('UTC')];
    await open('');
    await page.click('#birth');
    await page.keyboard.type('1990-05-17');
    for (const value of ['2026-12-09', '62']) {
        await key('Tab', 'End');
        await page.keyboard.down('Shift');
        await key('Home');
        await page.keyboard.up('Shift');
        await page.keyboard.type(value);
    }
    await key('Enter');
    todays.push(todayIn('UTC'));
    checkChart(['--', '1990-05-17', '2026-12-09', '62'], await view(page), todays);
    await page.click('#curve-e');
    await page.focus('#curve-i');
    await key('Space');
    const { names, rows } = checkChart(['-ei', '--', '1990-05-17', '2026-12-09', '62'], await view(page), todays);

    name = 'Tab alone reaches every control, in order, its focus seen';
    await open('birth=1990-05-17&first=2026-12-09&days=62&curves=ei');
    const order = [];
    for (let step = 0; step < 14; step++) {
        await key('Tab');
        order.push(await page.evaluate(() => {
            const style = getComputedStyle(document.activeElement);
            return document.activeElement.id + (style.outlineStyle === 'none' ? ' unmarked' : '');
        }));
    }
    same('focus order', ['birth', 'first', 'days', 'curve-p', 'curve-e', 'curve-i', 'curve-a', 'draw',
        'plot', 'print', 'save', 'save-calendar', 'chart', 'table-box'], order);

    name = "a day's values: keys, pointer, touch";
    const readsOut = (text, row) => [row[0] + ',', `age ${row[1]} days`,
        ...names.slice(2, -1).map((curve, k) => `${curve} ${row[k + 2]}`),
        ...[...row.at(-1)].map((letter) => cycles[letter])].every((part) => text.includes(part));
    await page.focus('#plot');
    for (const [press, day] of [['Home', 0], ['ArrowRight', 1], ['End', 61], ['ArrowLeft', 60]]) {
        await key(press);
        const { readout } = await view(page);
        check(readsOut(readout, rows[day]), `after ${press}, "${readout}" for ${rows[day].join(' ')}`);
    }
    same('readout announced', 'polite', await page.$eval('#readout', (node) => node.ariaLive));
    const area = await (await page.$('#plot svg')).boundingBox();
    const { xs } = await view(page);
    const width = Number(await page.$eval('#plot svg', (svg) => svg.getAttribute('width')));
    for (const [how, day] of [['pointer', 20], ['touch', 45]]) {
        const [x, y] = [area.x + xs[day] * area.width / width, area.y + area.height / 2];
        await (how === 'pointer' ? page.mouse.move(x, y) : page.touchscreen.tap(x, y));
        const { readout } = await view(page);
        check(readsOut(readout, rows[day]), `${how} on day ${day}: "${readout}"`);
    }

    name = 'saves, Print, and the calendar refused';
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: work });
    for (const [link, file, args] of [['#save', 'tivorel.tsv', ['--table']], ['#save-calendar',
        'tivorel.ics', ['--calendar']]]) {
        await page.click(link);
        const saved = path.join(work, file);
        for (let wait = 0; wait < 100 && !fs.existsSync(saved); wait++)
            await new Promise((resolve) => setTimeout(resolve, 100));
        same(file, tool([...args, '-ei', '--', '1990-05-17', '2026-12-09', '62']).out,
            fs.existsSync(saved) ? fs.readFileSync(saved, 'latin1') : null);
    }
    await page.evaluate(() => {
        window.printed = 0;
        window.print = () => window.printed++;
    });
    await page.click('#print');
    same('calls of window.print', 1, await page.evaluate(() => window.printed));
    for (const [first, curves] of [['2026-12-09', 'a'], ['9999-12-20', '']]) {
        await open(`birth=1990-05-17&first=${first}&days=62&curves=${curves}`);
        const refusal = tool(['--calendar', ...(curves ? ['-' + curves] : []), '--', '1990-05-17', first, '62']);
        same(`calendar link from ${first}, curves '${curves}'`, [refusal.err, false], (await view(page)).calendar);
    }

    name = 'printed to PDF';
    const chart = tool(['-peia', '--', '1990-05-17', '2026-12-09', '92']).out;
    await open('birth=1990-05-17&first=2026-12-09&days=92&curves=peia');
    const squeeze = (line) => line.replace(/ +/g, ' ').trim();
    for (const format of ['A4', 'Letter']) {
        fs.writeFileSync(path.join(work, 'page.pdf'), await page.pdf({ format }));
        const text = spawnSync('pdftotext', ['-layout', path.join(work, 'page.pdf'), '-'],
            { encoding: 'utf8' }).stdout.replace(/\f/g, '');
        const lines = new Set(text.split('\n').map(squeeze));
        same(`${format}: chart rows not whole on paper`, [],
            chart.split('\n').filter((row) => row !== '' && !lines.has(squeeze(row))));
        check(!/Date of birth|Save the|Print\n/.test(text) && !text.includes('\t'),
            `${format}: the fields, the buttons or the table on paper`);
    }

    name = 'both colour schemes';
    const axe = require.resolve('axe-core/axe.min.js', { paths: [path.join(__dirname, 'node_modules')] });
    await page.evaluate(fs.readFileSync(axe, 'utf8'));
    const colours = {};
    for (const scheme of ['light', 'dark']) {
        await page.emulateMediaFeatures([{ name: 'prefers-color-scheme', value: scheme }]);
        const violations = await page.evaluate(async () => (await window.axe.run()).violations
            .map((violation) => `${violation.id}: ${violation.nodes.map((node) => node.target).join(' ')}`));
        same(`axe-core's violations in the ${scheme} scheme`, [], violations);
        colours[scheme] = await page.evaluate(() => [getComputedStyle(document.body).backgroundColor,
            ...[...document.querySelectorAll('#plot polyline')].map((line) => getComputedStyle(line).stroke)]);
    }
    check(colours.light[0] !== colours.dark[0] && new Set(colours.dark).size === colours.dark.length,
        `the dark scheme's background and curves: ${colours.dark.join(', ')}`);

    name = 'policy';
    check((await page.$eval('meta[http-equiv="Content-Security-Policy"]', (meta) => meta.content))
        .startsWith("default-src 'none'; connect-src 'none';"), 'the page allows requests');
}

const started = chromium.launch(library);
started.then((browser) => main(browser).finally(() => browser.close())).catch((error) => {
    failures++;
    console.log(`FAIL: ${name}: ${error.stack}`);
}).finally(() => {
    fs.rmSync(work, { recursive: true, force: true });
    console.log(failures === 0 ? 'the page shows what the tool prints' : `${failures} failures`);
    process.exitCode = failures === 0 ? 0 : 1;
});
