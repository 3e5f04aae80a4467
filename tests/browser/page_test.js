// SPDX-License-Identifier: ISC
// Uses the page, opened from disk in headless Chromium, as a person does (its
// address, typing, Tab, Enter, Space, keys, pointer and touch on the plot, the
// saves, Print, the people), prints it to PDF and audits it with axe-core in
// both colour schemes: what it shows and saves must be what the command prints.
// usage: node page_test.js TOOL PAGE
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const path = require('path');
const test = require('./harness.js');
const { check, same } = test;

const [toolFile, pageFile] = process.argv.slice(2).map((file) => path.resolve(file));
const cycles = { P: 'physical', E: 'emotional', I: 'intellectual' };

// Takes the tool's arguments, in arrays or not; returns its status and output, as text and bytes.
function tool(...args) {
    const run = spawnSync(toolFile, args.flat());
    return { status: run.status, out: run.stdout.toString(), err: run.stderr.toString(), bytes: run.stdout };
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
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior',
        { behavior: 'allow', downloadPath: test.work, eventsEnabled: true });
    // Each save ends in the browser's report that its download completed or was cancelled.
    const ended = () => new Promise((resolve) => cdp.on('Browser.downloadProgress', function report(event) {
        if (event.state !== 'inProgress')
            resolve(cdp.off('Browser.downloadProgress', report));
    }));
    // Follows the link SELECTOR in FROM; returns the bytes saved in FILE, or null.
    const save = async (selector, file, from = page) => {
        await Promise.all([ended(), from.click(selector)]);
        const saved = path.join(test.work, file);
        return fs.existsSync(saved) ? fs.readFileSync(saved) : null;
    };
    let loads = 0;
    // Opens the page with FRAGMENT after '#'; returns today in ZONE before and after.
    const open = async (fragment, zone = 'UTC') => {
        const before = todayIn(zone);
        await page.goto(`file://${pageFile}?${++loads}#${fragment}`);
        await page.waitForSelector('#result:not([aria-busy])');
        return [before, todayIn(zone)];
    };
    for (const [fragment, pattern, field, zone = 'UTC'] of cases.trim().split('\n').map((line) =>
        line.split('|'))) {
        test.part = `#${fragment} in ${zone}`;
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
    test.part = 'typed into the fields, Enter, a click and Space on curves';
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
    await checkPeople(browser, page, open, save, args);
    test.part = 'Tab alone reaches every control, in order, its focus seen';
    await open('birth=1990-05-17&first=2026-12-09&days=62&curves=ei');
    const people = (await listed(page)).flatMap(([who]) => [who, 'Rename', 'Remove']);
    const ahead = ['ahead-days', ...await page.$$eval('#ahead-list button', (all) => all.map((entry) =>
        entry.textContent)), 'save-everyone'];
    const order = [];
    for (let step = 0; step < 21 + ahead.length + people.length; step++) {
        await page.keyboard.press('Tab');
        order.push(await page.evaluate((focused = document.activeElement) => (focused.id ||
            focused.textContent) + (getComputedStyle(focused).outlineStyle === 'none' ? ' unmarked' : '')));
    }
    same('focus order', [...ahead, 'birth', 'name', 'save-person', 'first', 'days', 'curve-p', 'curve-e', 'curve-i',
        'curve-a', 'draw', ...people, 'compare', 'save-people', 'vcard-file', 'save-diary', 'diary-file', 'plot',
        'print', 'save',
        'save-calendar', 'chart', 'table-box'], order);
    test.part = "a day's values: keys, pointer, touch";
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
    test.part = 'saves, Print, and the calendar refused';
    for (const [link, file, option] of [['save', 'tivorel.tsv', '--table'], ['save-calendar', 'tivorel.ics',
        '--calendar']])
        same(file, tool(option, args).out, (await save('#' + link, file))?.toString());
    await page.evaluate(() => Object.assign(window, { printed: 0, print: () => window.printed++ }));
    await page.click('#print');
    same('calls of window.print', 1, await page.evaluate(() => window.printed));
    for (const [first, curves] of [['2026-12-09', 'a'], ['9999-12-20', '']]) {
        await open(`birth=1990-05-17&first=${first}&days=62&curves=${curves}`);
        same(`calendar link from ${first}, curves '${curves}'`, [tool('--calendar', curves ? ['-' + curves]
            : [], '--', '1990-05-17', first, '62').err, false], (await view(page)).calendar);
    }
    test.part = 'printed to PDF, compared with another';
    await open('birth=1990-05-17&first=2026-12-09&days=92&curves=peia');
    await page.select('#compare', await page.$eval('#compare', (list) => list.options[1].value));
    const squeeze = (line) => line.replace(/ +/g, ' ').trim();
    const chart = tool('-peia', args.slice(1, 4), '92').out.split('\n').filter((row) => row !== '');
    for (const format of ['A4', 'Letter']) {
        const text = spawnSync('pdftotext', ['-layout', '-', '-'], { input: await page.pdf({ format }),
            encoding: 'utf8' }).stdout.replace(/\f/g, '');
        const lines = new Set(text.split('\n').map(squeeze));
        same(`${format}: chart rows not whole on paper`, [], chart.filter((row) => !lines.has(squeeze(row))));
        check(!/Date of birth|Save the|Print\n|\t/.test(text), `${format}: fields, buttons or table on paper`);
    }
    test.part = 'both colour schemes, and the policy';
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
    await checkAhead(browser, save);
}

// Returns a new tab whose clock is fixed before the page's script runs, at 2026-12-11T10:30:00Z, on the page.
async function clockedTab(browser) {
    const tab = await browser.newPage();
    await tab.evaluateOnNewDocument(() => {
        const [Real, instant] = [Date, Date.parse('2026-12-11T10:30:00Z')];
        window.Date = class extends Real {
            constructor(...given) {
                super(...(given.length === 0 ? [instant] : given));
            }
            static now() {
                return instant;
            }
        };
    });
    await tab.goto(`file://${pageFile}`);
    return tab;
}

// The days ahead, in a tab whose clock is fixed before the page's script runs, at an instant that is the
// 12th in Kiritimati and the 10th 12 hours west of UTC: three people's critical days by day, as the tool's
// --table marks them, the count kept across a reload, everyone's calendar, the bytes of the page guide's
// commands, read back by python's icalendar; a person's chart from a day.
async function checkAhead(browser, save) {
    const { dayInWords } = await import('../../web/ahead.mjs');
    const tab = await clockedTab(browser);
    const [before, people] = [await stored(tab), [['Anna', '1990-05-17'], ['Jürgen Müller', '1968-06-14'],
        ['Anna', '2026-12-10']]];
    const uids = (today, days) => people.flatMap(([name, birth]) => tool('--calendar', '--name', name, '--', birth,
        today, days).out.match(/(?<=^UID:).*(?=\r$)/gm) ?? []);
    // The words of an entry: the name, with the date of birth where two share it, the cycles, double or triple.
    const words = ([name, birth], letters) => `${name}${name === 'Anna' ? ` (${birth})` : ''}: ${letters.map((letter) =>
        cycles[letter]).join(' and ').replace(/ and (?=.* and)/, ', ')}${['', '', ' double', ' triple'][letters.length]}`;
    for (const [zone, today, days] of [['Pacific/Kiritimati', '2026-12-12', '14'], ['Etc/GMT+12', '2026-12-10', '40']]) {
        test.part = `the days ahead on ${today} in ${zone}`;
        await tab.emulateTimezone(zone);
        await tab.goto(`file://${pageFile}?${zone}#days=31`);
        if (days === '14') {
            await stored(tab, noPeople);
            await savePeople(tab, people);
        } else {
            await tab.click('#ahead-days', { clickCount: 3 });
            await tab.keyboard.type(days);
            await tab.keyboard.press('Tab');
            await tab.reload();
        }
        await tab.waitForSelector('#ahead:not([aria-busy])');
        const want = new Map();
        for (const person of people) {
            for (const [day, , , , , letters] of fieldsOf(tool('--table', '--', person[1], today, days).out).slice(1))
                letters && want.set(day, [...want.get(day) ?? [], words(person, [...letters])]);
        }
        same('the count, the days, their entries', [days, [...want].sort().map(([day, entries]) => [day,
            (day === today ? 'Today, ' : '') + dayInWords(day), entries])], [await tab.$eval('#ahead-days', (field) =>
            field.value), await tab.$$eval('#ahead-list > li', (all) => all.map((item) => [item.querySelector(
            'time').dateTime, item.querySelector('h3').textContent, [...item.querySelectorAll('button')].map((entry) =>
            entry.textContent)]))]);
        fs.rmSync(path.join(test.work, 'everyone-critical-days.ics'), { force: true });
        const everyone = (await save('#save-everyone', 'everyone-critical-days.ics', tab))?.toString();
        const commands = fs.readFileSync(path.join(__dirname, '..', '..', 'doc', 'page.md'), 'utf8')
            .split('makes everyone-critical-days.ics')[1].split('```')[1].trim().split('\n').slice(2);
        const shell = fs.mkdtempSync(path.join(test.work, 'shell-'));
        spawnSync('sh', ['-c', [`days=${days} today=${today}`, `set -- ${people.flat().map((word) => `'${word}'`)
            .join(' ')}`, ...commands].join('\n')], { cwd: shell, env: { ...process.env,
            PATH: `${path.dirname(toolFile)}:${process.env.PATH}` } });
        same("everyone's calendar: the guide's commands' bytes", fs.readFileSync(path.join(shell,
            'everyone-critical-days.ics'), 'utf8'), everyone);
        const read = spawnSync('/usr/bin/python3', ['-c', 'import icalendar, sys; [print(event["UID"]) for event in ' +
            'icalendar.Calendar.from_ical(sys.stdin.read()).walk("VEVENT")]'], { input: everyone, encoding: 'utf8' });
        same("python's icalendar: each person's events in turn", uids(today, days), read.stdout.split('\n')
            .slice(0, -1));
    }
    // Today's last entry is the Anna born today, the last in the list.
    await tab.click('#ahead-list > li:first-child li:last-child button');
    same('her chart from today', tool('--', '2026-12-10', '2026-12-10', '31').out, await text(tab, 'chart'));
    await stored(tab, before);
    await tab.close();
}

// The people in FROM's list: a name and a date of birth each.
const listed = (from) => from.$$eval('#people li', (items) => items.map((item) =>
    [...item.children].slice(0, 2).map((part) => part.textContent)));
const text = (from, id) => from.$eval('#' + id, (node) => node.textContent);
const pointsOf = (from, lines) => from.$$eval(lines, (all) => all.map((line) => line.getAttribute('points')));
const stored = (from, text) => from.evaluate((value) => (value === undefined
    ? localStorage.getItem('tivorel.people') : localStorage.setItem('tivorel.people', value)), text);
const noPeople = '{"version":1,"people":[]}';

// Adds the people of FILE in FROM with the vCard file's input; returns the people listed then and the
// message.
async function addFile(from, file) {
    await from.$eval('#vcard-msg', (node) => { node.textContent = ''; });
    await (await from.$('#vcard-file')).uploadFile(file);
    await from.waitForFunction(() => document.getElementById('vcard-msg').textContent !== '' &&
        !document.getElementById('people').hasAttribute('aria-busy'));
    return [await listed(from), await text(from, 'vcard-msg')];
}

// Files added in turn to an emptied list, the same file twice in a row read twice, then files that the test
// writes (in UTF-16; a card cut off, then more than the list shows at once), a file that the browser fails to
// read and, with reading failing still, one over the size limit, refused unread; the reader's own tests
// (tests/node) check what it reads in each.
const additions = ['iphone.vcf', 'iphone.vcf', 'v4.vcf', 'utf-16.vcf', 'cut-off.vcf', null, 'over-limit.vcf'];
const contacts = path.join(__dirname, '..', 'contacts');
const fixture = (file) => path.join(fs.existsSync(path.join(contacts, file)) ? contacts : test.work, file);
// Takes a file, or null, and the people listed; returns the people listed once the reader has added its
// people, and the reader's sentence.
async function reading(file, people) {
    const { contactsRead, contactsSummary } = await import('../../web/vcard-read.mjs');
    const result = contactsRead(file && new Uint8Array(fs.readFileSync(fixture(file))),
        people.map(([name, birth]) => ({ name, birth })));
    return [[...people, ...(result.people ?? []).map(({ name, birth }) => [name, birth])], contactsSummary(result)];
}

// Takes PEOPLE (a name and a date of birth each); saves each in FROM as typed.
async function savePeople(from, people) {
    await from.bringToFront(); // a tab behind another draws no frame, which a click waits for
    for (const [who, birth] of people) {
        await from.$eval('#birth', (field, value) => { field.value = value; }, birth);
        await from.$eval('#name', (field, value) => { field.value = value; }, who);
        await from.click('#save-person');
    }
}

// The people: saved, refused, kept through a reload, compared, renamed, removed and back, saved as
// files, saved in two tabs at once and beside storage that this page cannot read.
async function checkPeople(browser, page, open, save, args) {
    test.part = 'people saved, refused, reloaded';
    const address = 'birth=1990-05-17&first=2026-12-09&days=62&curves=ei';
    const hana = '山田 花子, "Hana"; Tōkyō \\ 東京都渋谷区神南一丁目代々木 🌸';
    // The second is the first: "ü" in NFD, the date typed otherwise.
    await savePeople(page, [['Jürgen', '1990-05-17'], ['Ju\u0308rgen', '1990/5/17'], [hana, '1992-03-04'],
        ['Anna', '2001-02-03']]);
    const people = [['Jürgen', '1990-05-17'], [hana, '1992-03-04'], ['Anna', '2001-02-03']];
    const saved = await listed(page);
    for (const refused of ['', 'x'.repeat(101), 'tab\there']) {
        await savePeople(page, [[refused, '1990-05-17']]);
        same(`message on the name ${JSON.stringify(refused)}`, tool('--calendar', '--name', refused, '--',
            '2000-01-01', '2000-01-01', '1').err, await text(page, 'name-msg'));
    }
    await open(address);
    same('people saved, and after a reload', [people, people], [saved, await listed(page)]);

    test.part = 'compared, saved as files';
    await open(address.replace('1990-05-17', '1992-03-04'));
    await page.click('#people .person');
    same('the address: the birth changed, no name', address, page.url().split('#')[1]);
    await page.select('#compare', await page.$eval('#compare', (list) => list.options[2].value));
    const compared = [await text(page, 'compatibility'), await pointsOf(page, '#plot polyline.other'),
        (await text(page, 'legend')).includes(', ' + hana), (await view(page)).marks.filter((mark) =>
            mark.includes(' of '))];
    await open(address.replace('1990-05-17', '1992-03-04'));
    same("the tool's --compatibility, the second's own curves and critical days, named", [tool('--compatibility',
        '-ei', '--', '1990-05-17', '1992-03-04').out, await pointsOf(page, '#plot polyline'), true,
    (await view(page)).marks.map((mark) => mark.replace(', ', ` of ${hana}, `))], compared);
    await page.click('#people li:nth-child(2) .person');
    const file = '山田-花子-Hana-Tōkyō-東京都渋谷区神南一丁目代々木-critical-days.ics';
    const calendar = await save('#save-calendar', file);
    const want = tool('--calendar', '--name', hana, '-ei', '--', '1992-03-04', '2026-12-09', '62').bytes;
    check(calendar !== null && want.equals(calendar), `${hana}'s calendar is not the tool's bytes`);
    await save('#save-people', 'people.vcf');
    await stored(page, noPeople);
    await open(address);
    same('people.vcf added to the emptied list', [people, '3 people added.'],
        await addFile(page, path.join(test.work, 'people.vcf')));

    test.part = 'renamed, removed and back';
    await page.click('[aria-label="Rename Anna"]');
    await page.keyboard.type('Anna Maria\n');
    await page.click('[aria-label="Remove Anna Maria"]');
    const removed = await listed(page);
    await page.keyboard.press('Enter');
    people[2] = ['Anna Maria', '2001-02-03'];
    same('people without and with Anna Maria', [people.slice(0, 2), people], [removed, await listed(page)]);

    test.part = 'two tabs, storage changed under a tab, a failed write';
    const tab = await browser.newPage();
    await tab.goto(page.url());
    // FROM's next write by another tab that stores WHO.
    const listen = (from, who) => from.evaluate((awaited) => {
        window.heard = new Promise((resolve) => addEventListener('storage', (event) =>
            event.newValue?.includes(awaited) && resolve()));
    }, who);
    await listen(page, 'Tab Two');
    await savePeople(tab, [['Tab Two', '2000-01-02']]);
    await page.evaluate(() => window.heard);
    // Another tab's write that this one has not heard of yet.
    await stored(page, (await stored(page)).replace(/]}$/, ',{"name":"Tab Three","birth":"2000-01-03"}]}'));
    await listen(tab, 'Tab One');
    await savePeople(page, [['Tab One', '2000-01-01']]);
    await tab.evaluate(() => window.heard);
    people.push(['Tab Two', '2000-01-02'], ['Tab Three', '2000-01-03'], ['Tab One', '2000-01-01']);
    same('people in either tab', [people, people], [await listed(page), await listed(tab)]);
    await tab.evaluate(() => { Storage.prototype.setItem = () => { throw new Error('no room'); }; });
    await savePeople(tab, [['Kept', '2000-01-04']]);
    same('a failed write: the message, the person kept', [true, [...people, ['Kept', '2000-01-04']]],
        [(await text(tab, 'storage-msg')).includes('no room'), await listed(tab)]);
    await tab.close();

    test.part = 'storage that the page cannot read';
    const [before, unreadable] = [await stored(page), '{"version":2}'];
    await stored(page, unreadable);
    await open(address);
    same('the chart, the people, what was stored saved and kept',
        [tool(args).out, [], unreadable, unreadable], [await text(page, 'chart'), await listed(page),
            (await save('#save-stored', 'tivorel-people-stored.txt'))?.toString(), await stored(page)]);

    test.part = 'people added from vCard files, in a zone east of UTC';
    // Tokyo was 9 hours east of UTC in 1969 too: there, 1969-07-20T23:30:00Z was on the 21st.
    await page.emulateTimezone('Asia/Tokyo');
    await stored(page, noPeople);
    await open(address);
    fs.writeFileSync(fixture('utf-16.vcf'), Buffer.from(fs.readFileSync(fixture('android-2.1.vcf'), 'latin1'),
        'utf16le'));
    fs.writeFileSync(fixture('cut-off.vcf'), 'BEGIN:VCARD\nFN:Cut Short\nBDAY:1999-09-09\n' +
        Array.from({ length: 300 }, (_, k) => `BEGIN:VCARD\nFN:Whole ${k}\nBDAY:1988-08-08\nEND:VCARD\n`).join(''));
    fs.writeFileSync(fixture('over-limit.vcf'), '');
    fs.truncateSync(fixture('over-limit.vcf'), 50000001);
    let added = [];
    for (const file of additions) {
        if (file === null)
            await page.evaluate(() => { Blob.prototype.arrayBuffer = () => Promise.reject(new Error('gone')); });
        const [people, message] = await reading(file, added);
        same(`${file}: the people listed, the message`, [people, message], await addFile(page, fixture(file ??
            'v4.vcf')));
        added = people;
    }
    await open(address);
    same('the people after a reload', added, await listed(page));
    await page.click('[data-key="1969-07-20 Tomás Ferreira"]');
    same('the chart of one born 1969-07-20T23:30:00Z', tool('-ei', '--', '1969-07-20', '2026-12-09',
        '62').out, await text(page, 'chart'));
    await page.emulateTimezone('UTC');
    await checkDiary(browser, save);
    await stored(page, before);
}

// The diary of a saved person: days rated and a rating cleared, found again after a reload, a rename, and
// a removal and its Undo; saved as diary.csv and added back to an emptied page, with the person.
async function checkDiary(browser, save) {
    test.part = 'the diary, on 2026-12-11';
    const page = await clockedTab(browser);
    let loads = 0;
    const open = async (fragment) => {
        await page.goto(`file://${pageFile}?diary${++loads}#${fragment}`);
        await page.waitForSelector('#result:not([aria-busy])');
    };
    // Rates on DAY, as typed, the scales of RATINGS, each a scale and a rating.
    const rate = async (day, ratings) => {
        await page.$eval('#diary-day', (field, value) => { field.value = value; }, day);
        await page.$eval('#diary-day', (field) => field.dispatchEvent(new Event('change')));
        for (const [scale, rating] of ratings)
            await page.click(`#ratings [data-scale=${scale}]:nth-of-type(${rating})`);
    };
    // The ratings shown of DAY, and the diary's title.
    const shown = async (day) => {
        await rate(day, []);
        return [await text(page, 'diary-title'), await page.$$eval('#ratings [aria-pressed=true]', (all) =>
            all.map((button) => button.dataset.scale + ' ' + button.textContent))];
    };
    await stored(page, noPeople);
    await page.evaluate(() => localStorage.removeItem('tivorel.diary'));
    await open('birth=1985-01-01&first=2026-12-09&days=31');
    await savePeople(page, [['Dora', '1985-01-01']]);
    await rate('', [['body', 4], ['mood', 2]]);
    await rate('2020/2/29', [['mind', 5], ['body', 3], ['body', 3]]);
    const days = [['Diary of Dora', ['body 4', 'mood 2']], ['Diary of Dora', ['mind 5']]];
    await open('');
    same('today and a leap day, after a reload', days, [await shown(''), await shown('2020-02-29')]);
    await page.click('[aria-label="Rename Dora"]');
    await page.keyboard.type('Dora Maar\n');
    const renamed = days.map(([, ratings]) => ['Diary of Dora Maar', ratings]);
    same('renamed', renamed, [await shown(''), await shown('2020-02-29')]);
    await page.click('[aria-label="Remove Dora Maar"]');
    const gone = await page.$eval('#diary-person', (part) => part.hidden);
    await page.click('#undo');
    same('removed, and back', [true, ...renamed], [gone, await shown(''), await shown('2020-02-29')]);
    const csv = 'date,name,birth,body,mood,mind\r\n2020-02-29,Dora Maar,1985-01-01,,,5\r\n2026-12-11,Dora Maar,' +
        '1985-01-01,4,2,\r\n';
    same('diary.csv', csv, (await save('#save-diary', 'diary.csv', page))?.toString());
    await stored(page, noPeople);
    await page.evaluate(() => localStorage.removeItem('tivorel.diary'));
    await open('');
    await (await page.$('#diary-file')).uploadFile(path.join(test.work, 'diary.csv'));
    await page.waitForFunction(() => document.getElementById('diary-file-msg').textContent !== '');
    await page.click('#people .person');
    same('diary.csv added to an emptied page', ['3 ratings added for 1 person, 1 person added to the list.',
        [['Dora Maar', '1985-01-01']], ...renamed], [await text(page, 'diary-file-msg'), await listed(page),
        await shown(''), await shown('2020-02-29')]);
    await page.evaluate(() => localStorage.removeItem('tivorel.diary'));
    await page.close();
}

test.run({ [pageFile]: fs.existsSync(pageFile), pdftotext: !spawnSync('pdftotext', ['-v']).error,
    'python3-icalendar': spawnSync('/usr/bin/python3', ['-c', 'import icalendar']).status === 0 },
    'the page shows what the tool prints', main);
