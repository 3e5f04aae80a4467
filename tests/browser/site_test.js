// SPDX-License-Identifier: ISC
// Serves the web site under a folder of a host of its own on 127.0.0.1 and uses it in headless Chromium:
// installable, its manifest's addresses in the folder, working with the host stopped, a second release made
// by the site's maker taking over at the next visit, no request to any other host; Lighthouse's audits.
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
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.svg': 'image/svg+xml',
    '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const folder = '/apps/tivorel/';
let [failures, served] = [0, siteDir];

function same(what, expected, actual) {
    const [want, got] = [expected, actual].map((value) => JSON.stringify(value));
    if (want !== got)
        console.log(`FAIL ${++failures}: ${what}\n  expected: ${want}\n  seen:     ${got}`);
}

// The host: the site's files in FOLDER, robots.txt at the root, nothing else.
const host = http.createServer((request, response) => {
    const name = request.url.startsWith(folder)
        ? request.url.slice(folder.length).replace(/^(\?.*)?$/, 'index.html') : '';
    const [file, robots] = [path.join(served, name), request.url === '/robots.txt'];
    const found = /^[\w.-]+$/.test(name) && fs.existsSync(file);
    response.writeHead(found || robots ? 200 : 404,
        { 'Content-Type': types[path.extname(name)] ?? 'text/plain' });
    response.end(robots ? 'User-agent: *\nAllow: /\n' : found ? fs.readFileSync(file) : '');
});
const listen = (port = 0) => new Promise((resolve) => host.listen(port, '127.0.0.1', () => resolve(port)));

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

async function main(browser, origin) {
    const site = origin + folder;
    const [requested, marker] = [[], '/* the second release */'];
    await recordWorkers(browser, requested);
    const page = await browser.newPage();
    page.setDefaultTimeout(0); // no time limit of puppeteer's own: ctest's bounds the test
    page.on('request', (request) => requested.push(request.url()));
    // Opens the site with QUERY; returns its chart's rows, whether it has the person saved, its note of a
    // new version, whether its style is the second release's, and the caches kept.
    const visit = async (query) => {
        await page.goto(`${site}?${query}#birth=1990-05-17&first=2026-12-09&days=31`);
        await page.evaluate(() => navigator.serviceWorker.ready.then(() => navigator.serviceWorker.controller ??
            new Promise((resolve) => navigator.serviceWorker.addEventListener('controllerchange', resolve))));
        if (query === 'update')
            await page.waitForSelector('#updated');
        return page.evaluate(async (second) => [document.getElementById('chart').textContent.match(/^\d{4}-/gm)
            .length, document.getElementById('people').textContent.includes('Jürgen'),
        document.getElementById('updated')?.textContent ?? '',
        document.querySelector('style').textContent.includes(second), (await caches.keys()).length], marker);
    };
    same('the first visit', [31, false, '', false, 1], await visit('first'));
    const cdp = await page.createCDPSession();
    same('installability errors', [], (await cdp.send('Page.getInstallabilityErrors')).installabilityErrors);
    const { manifest, data } = await cdp.send('Page.getAppManifest');
    const written = JSON.parse(data);
    same('id, start, scope, display, names and colours given, icons in the folder, a maskable one',
        [site, site, site, 'standalone', true, ['0x0', '192x192', '512x512', '512x512'], true],
        [manifest.id, manifest.startUrl, manifest.scope, manifest.display.replace(/^k/, '').toLowerCase(),
            [manifest.name, written.short_name, manifest.description, manifest.themeColor,
                manifest.backgroundColor].every((text) => text?.length > 0),
            manifest.icons.filter((icon) => icon.url.startsWith(site)).map((icon) => icon.sizes),
            written.icons.some((icon) => icon.purpose === 'maskable')]);
    await page.type('#name', 'Jürgen');
    await page.focus('#save-person');
    await page.keyboard.press('Enter');

    await new Promise((resolve) => host.close(resolve).closeAllConnections());
    await page.setOfflineMode(true);
    same('with the host stopped, offline', [31, true, '', false, 1], await visit('offline'));

    fs.writeFileSync(path.join(work, 'page.css'), fs.readFileSync(style, 'utf8') + marker + '\n');
    served = path.join(work, 'second');
    const made = spawnSync(process.execPath, [maker, template, path.join(work, 'page.css'),
        ...built.slice(0, 2), served, ...built.slice(2)], { encoding: 'utf8' });
    same("the maker's status and messages", [0, ''], [made.status, made.stderr]);
    await listen(Number(new URL(origin).port));
    await page.setOfflineMode(false);
    same('the visit that finds the second release', [31, true, 'A new version of tivorel is in use.', true, 1],
        await visit('update'));
    same('the visit after', [31, true, '', true, 1], await visit('after'));
    await page.close();

    const { default: lighthouse } = await import('./node_modules/lighthouse/core/index.js');
    const { lhr } = await lighthouse(site, { port: new URL(browser.wsEndpoint()).port, logLevel: 'error' });
    const categories = Object.values(lhr.categories);
    console.log('Lighthouse: ' + categories.map((category) => `${category.id} ${category.score}`).join(', '));
    for (const category of categories.filter((each) => each.id !== 'performance'))
        same(`Lighthouse's ${category.id} audits below 1`, [], category.auditRefs.filter((ref) =>
            ref.weight > 0 && lhr.audits[ref.id].score !== null && lhr.audits[ref.id].score < 1)
            .map((ref) => ref.id));

    // Only the worker fetches the Apple touch icon: its requests are seen.
    same("the worker's requests seen, those to another host", [true, []], [requested.includes(site +
        'apple-touch-icon.png'), requested.filter((url) => !url.startsWith(origin + '/'))]);
}

// Debian's chromium, headless, with an empty profile; without the
// background-networking flags it keeps trying to reach Google's hosts.
listen().then(() => puppeteer.launch({ timeout: 0, executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    userDataDir: path.join(work, 'profile'), args: ['--no-sandbox', '--disable-gpu', '--no-first-run',
        '--disable-background-networking', '--disable-component-update', '--disable-sync'] }))
    .then((browser) => main(browser, `http://127.0.0.1:${host.address().port}`).finally(() => browser.close()))
    .catch((error) => same('no error', '', error.stack)).finally(() => {
        host.close(() => {}).closeAllConnections();
        fs.rmSync(work, { recursive: true, force: true });
        console.log(failures === 0 ? 'the site installs, works offline and takes a new release'
            : `${failures} failures`);
        process.exitCode = failures === 0 ? 0 : 1;
    });
