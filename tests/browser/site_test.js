// SPDX-License-Identifier: ISC
// Serves the web site under a folder of a host of its own on 127.0.0.1, which is also the proxy of the
// browser context that opens it, and so sees every request the site makes, and uses it in headless Chromium:
// installable, its manifest's addresses in the folder, opening on the person shown last with the host
// stopped, a second release made by the site's maker taking over at the next visit, made for fingers on
// phones and a tablet, no request to any other host; Lighthouse's audits.
// usage: node site_test.js SITE MAKER page.html page.css GLUE.js MODULE.wasm BUNDLE.js
'use strict';
const [{ execFileSync }, fs, http, path, test] = ['child_process', 'fs', 'http', 'path', './harness.js'].map(require);

const [siteDir, maker, template, style, ...built] = process.argv.slice(2).map((file) => path.resolve(file));
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.svg': 'image/svg+xml',
    '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const [folder, marker, requested] = ['/apps/tivorel/', '/* the second release */', []];
let served = siteDir;

// The host: the site's files in FOLDER, robots.txt at the root, nothing else; as the proxy, it notes each
// request and refuses those for any other host.
const host = http.createServer((request, response) => {
    const url = new URL(request.url, 'http://host');
    if (url.href === request.url) // through the proxy
        requested.push(url.href);
    const name = url.pathname.startsWith(folder) ? url.pathname.slice(folder.length) || 'index.html' : '';
    const [file, robots] = [path.join(served, name), url.pathname === '/robots.txt'];
    const found = /^[\w.-]+$/.test(name) && fs.existsSync(file);
    response.writeHead(found || robots ? 200 : 404,
        { 'Content-Type': types[path.extname(name)] ?? 'text/plain' });
    response.end(robots ? 'User-agent: *\nAllow: /\n' : found ? fs.readFileSync(file) : '');
});
host.on('connect', (request, socket) => {
    requested.push('https://' + request.url);
    socket.destroy();
});
const listen = (port = 0) => new Promise((resolve) => host.listen(port, '127.0.0.1', resolve));
// In the page: its chart's rows, the saved person shown, its note of a new version, whether its style holds
// MARK, the caches kept; its sideways scroll, and its controls (a checkbox's label, not the box) under 44 by
// 44 pixels.
const shown = async (mark, text = (selector) => document.querySelector(selector)?.textContent ?? '') =>
    [(text('#chart').match(/^\d{4}-/gm) ?? []).length, text('[aria-current=true]'), text('#updated'),
        text('style').includes(mark), (await caches.keys()).length,
        document.documentElement.scrollWidth - document.documentElement.clientWidth,
        [...document.querySelectorAll('input:not([type=checkbox]), button, select, a, label:has(input)')]
            .map((control) => [control.id || control.textContent, control.getBoundingClientRect()])
            .filter(([, box]) => box.width > 0 && (box.width < 44 || box.height < 44))
            .map(([name, box]) => `${name} ${box.width}x${box.height}`)];

async function main(browser) {
    await listen();
    const origin = `http://127.0.0.1:${host.address().port}`;
    const [site, proxied] = [origin + folder, { proxyServer: origin, proxyBypassList: ['<-loopback>'] }];
    const page = await (await browser.createBrowserContext(proxied)).newPage();
    page.setDefaultTimeout(0); // no time limit of puppeteer's own: ctest's bounds the test
    // Opens the site with QUERY and HASH; returns what it shows, its style the second release's or not.
    const visit = async (query, hash = '') => {
        await page.goto(`${site}?${query}${hash}`);
        // The files kept, the reload to a new release's page made, the chart drawn.
        await page.waitForFunction(() => navigator.serviceWorker.controller && !document.querySelector(
            '#result[aria-busy]') && (location.search !== '?update' || document.querySelector('#updated')));
        return page.evaluate(shown, marker);
    };
    test.same('the first visit', [31, '', '', false, 1, 0, []], await visit('first', '#birth=1990-05-17&days=31'));
    // Installed from a window of its own: the proxy's context, as any off the record, installs nothing.
    const plain = await browser.newPage();
    await plain.goto(site);
    const cdp = await plain.createCDPSession();
    const { manifest, data } = await cdp.send('Page.getAppManifest');
    test.same('installability errors; start, scope, icons in the folder; a maskable one', [[], site, site, 4, true],
        [(await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, manifest.startUrl,
            manifest.scope, manifest.icons.filter((icon) => icon.url.startsWith(site)).length,
            data.includes('"maskable"')]);
    await page.type('#name', 'Jürgen');
    await page.click('#save-person');

    await new Promise((resolve) => host.close(resolve).closeAllConnections());
    test.same('with the host stopped, the person shown last', [31, 'Jürgen', '', false, 1, 0, []],
        await visit('offline'));
    fs.writeFileSync(path.join(test.work, 'page.css'), fs.readFileSync(style, 'utf8') + marker + '\n');
    served = path.join(test.work, 'second');
    execFileSync(process.execPath, [maker, template, path.join(test.work, 'page.css'), ...built.slice(0, 2), served,
        ...built.slice(2)]);
    await listen(Number(new URL(origin).port));
    test.same('the visit that finds the second release', [31, 'Jürgen', 'A new version of tivorel is in use.', true,
        1, 0, []], await visit('update'));
    // Each later visit, on phones and a tablet, the new version no longer told: no sideways scroll of the
    // page, and no control smaller than a finger's 44 by 44 pixels.
    for (const [width, height] of [[360, 740], [390, 844], [768, 1024]]) {
        await page.setViewport({ width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
        test.same(`${width} by ${height}, touch: the visit, the page's sideways scroll, its controls under 44 by 44`,
            [31, 'Jürgen', '', true, 1, 0, []], await visit('after'));
    }
    await page.goto('http://tivorel.invalid/').catch(() => {}); // another host's, to be seen
    // Only the worker fetches the Apple touch icon: its requests come through the proxy.
    test.same("the worker's requests seen, the requests to another host", [true, ['http://tivorel.invalid/']],
        [requested.includes(site + 'apple-touch-icon.png'), requested.filter((url) => !url.startsWith(origin))]);
    await page.close();

    const { default: lighthouse } = await import('./node_modules/lighthouse/core/index.js');
    const { lhr } = await lighthouse(site, { port: new URL(browser.wsEndpoint()).port, logLevel: 'error' });
    test.same("Lighthouse's audits below 1 in accessibility, best practices and SEO", [], ['accessibility',
        'best-practices', 'seo'].flatMap((id) => lhr.categories[id].auditRefs).filter((ref) => ref.weight > 0 &&
        lhr.audits[ref.id].score !== null && lhr.audits[ref.id].score < 1).map((ref) => ref.id));
}

// The server ends with the test.
test.run({ lighthouse: fs.existsSync(`${test.modules}/lighthouse`), [siteDir]: fs.existsSync(`${siteDir}/index.html`) },
    'the site installs, works offline, takes a new release and fits fingers', main);
