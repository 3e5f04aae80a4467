// SPDX-License-Identifier: ISC
// Serves the web site from a folder of a server of its own on 127.0.0.1, as a static host does, and uses it
// in headless Chromium: installable, its manifest as written, working with the server stopped, a second
// release made by the site's maker taking over at the next visit, no request to any other host; then
// Lighthouse's audits of it.
// usage: node site_test.js SITE MAKER page.html page.css GLUE.js MODULE.wasm SCRIPT.js...
'use strict';
const { spawnSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
let puppeteer = null;
try {
    puppeteer = require('./node_modules/puppeteer-core');
} catch { /* reported below */ }

const [siteDir, maker, template, style, ...built] = process.argv.slice(2).map((file) => path.resolve(file));
const missing = puppeteer === null || !fs.existsSync(path.join(__dirname, 'node_modules/lighthouse'))
    ? 'puppeteer-core or lighthouse (npm ci --prefix tests/browser)'
    : fs.existsSync(path.join(siteDir, 'index.html')) ? null : path.join(siteDir, 'index.html');
if (missing !== null) {
    console.log(`${missing} not found: skipped`);
    process.exit(77);
}
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tivorel-site-'));
const folder = '/apps/tivorel/';
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.svg': 'image/svg+xml',
    '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
let [failures, name, served] = [0, '', siteDir];

function check(ok, what) {
    if (!ok)
        console.log(`FAIL ${++failures}: ${name}: ${what}`);
}
function same(what, expected, actual) {
    const [want, got] = [expected, actual].map((value) => JSON.stringify(value));
    check(want === got, `${what} differs\n  expected: ${want}\n  seen:     ${got}`);
}

// The host: the site's files in FOLDER, robots.txt at the root, nothing else.
const host = http.createServer((request, response) => {
    const file = new URL(request.url, 'http://host').pathname.replace(folder, '/')
        .replace(/^\/$/, '/index.html');
    const found = /^\/[\w.-]+$/.test(file) && fs.existsSync(served + file);
    if (request.url === '/robots.txt')
        response.end('User-agent: *\nAllow: /\n');
    else
        response.writeHead(found ? 200 : 404, { 'Content-Type': types[path.extname(file)] ?? 'text/plain' })
            .end(found ? fs.readFileSync(served + file) : 'not found');
});
const listen = (server, port = 0) => new Promise((resolve) =>
    server.listen(port, '127.0.0.1', () => resolve(server.address().port)));
const stop = (server) => new Promise((resolve) => server.close(resolve).closeAllConnections());

// What the page shows of the site: its chart, its people, its note of a new version, its style, its worker.
const view = (page) => page.evaluate(async () => ({
    chart: document.getElementById('chart').textContent.split('\n').filter((row) => /^\d{4}-/.test(row))
        .length,
    people: document.getElementById('people').textContent,
    note: document.getElementById('updated')?.textContent ?? '',
    style: document.querySelector('style').textContent,
    caches: (await caches.keys()).length,
}));

// Records in URLS the requests of every service worker, from its first line on.
async function recordWorkers(browser, urls) {
    const session = await browser.target().createCDPSession();
    session.on('Target.attachedToTarget', async ({ sessionId }) => {
        const worker = session.connection().session(sessionId);
        worker.on('Network.requestWillBeSent', (event) => urls.push(event.request.url));
        await worker.send('Network.enable');
        await worker.send('Runtime.runIfWaitingForDebugger');
    });
    await session.send('Target.setAutoAttach', { autoAttach: true, waitForDebuggerOnStart: true,
        flatten: true, filter: [{ type: 'service_worker' }] });
}

async function main(browser, origin, port) {
    const site = origin + folder;
    const [requested, ofWorkers] = [[], []];
    await recordWorkers(browser, ofWorkers);
    const page = await browser.newPage();
    page.setDefaultTimeout(0); // no time limit of puppeteer's own: ctest's bounds the test
    page.on('request', (request) => requested.push(request.url()));
    name = 'the first visit: installable, the manifest, the worker in control';
    await page.goto(site);
    await page.evaluate(() => navigator.serviceWorker.ready.then(() => navigator.serviceWorker.controller ??
        new Promise((resolve) => navigator.serviceWorker.addEventListener('controllerchange', resolve))));
    const cdp = await page.createCDPSession();
    same('installability errors', [], (await cdp.send('Page.getInstallabilityErrors')).installabilityErrors);
    const { manifest, data } = await cdp.send('Page.getAppManifest');
    const written = JSON.parse(data);
    same('id, start, scope, display', [site, site, site, 'standalone'], [manifest.id, manifest.startUrl,
        manifest.scope, manifest.display.replace(/^k/, '').toLowerCase()]);
    check([manifest.name, written.short_name, manifest.description, manifest.themeColor,
        manifest.backgroundColor].every((text) => text?.length > 0), `names and colours: ${data}`);
    const icons = manifest.icons.filter((icon) => icon.url.startsWith(site)).map((icon) => icon.sizes);
    check(['192x192', '512x512', '0x0'].every((sizes) => icons.includes(sizes)) &&
        written.icons.some((icon) => icon.purpose === 'maskable'),
    `icons in the folder, of 192, 512 and any size, one maskable: ${data}`);
    await page.type('#name', 'Jürgen');
    await page.type('#birth', '1990-05-17');
    await page.focus('#save-person');
    await page.keyboard.press('Enter');
    const first = await view(page);
    same('people, note, caches', [true, '', 1], [first.people.includes('Jürgen'), first.note, first.caches]);

    name = 'the server stopped, the browser offline';
    await stop(host);
    await page.setOfflineMode(true);
    await page.goto(site + '?offline#birth=1990-05-17&first=2026-12-09&days=31');
    const offline = await view(page);
    same('chart rows, people', [31, true], [offline.chart, offline.people.includes('Jürgen')]);

    name = 'a second release, made by the maker, takes over';
    const marker = '/* the second release */';
    const [secondStyle, second] = [path.join(work, 'page.css'), path.join(work, 'second')];
    fs.writeFileSync(secondStyle, fs.readFileSync(style, 'utf8') + marker + '\n');
    const made = spawnSync(process.execPath, [maker, template, secondStyle, ...built.slice(0, 2), second,
        ...built.slice(2)], { encoding: 'utf8' });
    same('the maker', [0, ''], [made.status, made.stderr]);
    served = second;
    await listen(host, port);
    await page.setOfflineMode(false);
    await page.goto(site + '?again');
    await page.waitForSelector('#updated');
    for (const [visit, note] of [['the visit that finds it', 'A new version of tivorel is in use.'],
        ['the visit after', '']]) {
        const shown = await view(page);
        same(`${visit}: new style, note, people, caches`, [true, note, true, 1],
            [shown.style.includes(marker), shown.note, shown.people.includes('Jürgen'), shown.caches]);
        await page.goto(site + '?later');
    }
    await page.close();

    name = "Lighthouse's audits, mobile";
    const { default: lighthouse } = await import('./node_modules/lighthouse/core/index.js');
    const { lhr } = await lighthouse(site, { port: new URL(browser.wsEndpoint()).port, logLevel: 'error' });
    const categories = Object.values(lhr.categories);
    console.log('Lighthouse: ' + categories.map((category) => `${category.id} ${category.score}`).join(', '));
    for (const category of categories.filter((each) => each.id !== 'performance'))
        same(`${category.id}: audits below 1`, [], category.auditRefs.filter((ref) => ref.weight > 0 &&
            lhr.audits[ref.id].score !== null && lhr.audits[ref.id].score < 1).map((ref) => ref.id));

    name = 'no request to any other host';
    check(ofWorkers.includes(site + 'icon-512.png'), `the workers' requests seen: ${ofWorkers}`);
    same("the page's and the workers' requests elsewhere", [], requested.concat(ofWorkers)
        .filter((url) => !url.startsWith(origin + '/')));
}

listen(host).then((port) =>
    // Debian's chromium, headless, with an empty profile; without the
    // background-networking flags it keeps trying to reach Google's hosts.
    puppeteer.launch({ timeout: 0, executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        userDataDir: path.join(work, 'profile'),
        args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
            '--disable-component-update', '--disable-sync'] })
        .then((browser) => main(browser, `http://127.0.0.1:${port}`, port).finally(() => browser.close())))
    .catch((error) => check(false, error.stack)).finally(() => {
        host.close(() => {}).closeAllConnections();
        fs.rmSync(work, { recursive: true, force: true });
        console.log(failures === 0 ? 'the site installs, works offline and takes a new release'
            : `${failures} failures`);
        process.exitCode = failures === 0 ? 0 : 1;
    });
