// SPDX-License-Identifier: ISC
// Scores the web site with Lighthouse's mobile profile (the browser test's lighthouse and puppeteer-core,
// from tests/browser), beside pages given to compare it with: all served over HTTP from 127.0.0.1, as a
// static host serves them, robots.txt at its root. Each is scored five times on an idle machine, then five
// times with two `yes >/dev/null` keeping two cores busy, as a phone busy with other apps is; the runs
// take each address in turn, so that all see the same machine. Prints each category's median and its
// spread (lowest to highest), and the same of the metrics behind the performance score: the first and the
// largest contentful paint and the total blocking time, in milliseconds, and the layout shift. Exits 1
// where the site misses its targets: accessibility, best practices and SEO whole in every run, and a
// median performance of 1 idle and of at least 0.95 busy.
// usage: node bench/lighthouse.js SITE-FOLDER [PAGE.html...]
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const modules = path.join(__dirname, '../tests/browser/node_modules');

const [siteDir, ...pageFiles] = process.argv.slice(2).map((file) => path.resolve(file));
const runs = 5;
const loads = ['idle', 'two cores busy'];
const targets = { idle: 1, 'two cores busy': 0.95 };
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.svg': 'image/svg+xml',
    '.png': 'image/png', '.webmanifest': 'application/manifest+json' };
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];
// The metrics' audits, by the names printed, and the decimals each is printed with.
const metrics = { 'first paint ms': ['first-contentful-paint', 0], 'largest paint ms':
    ['largest-contentful-paint', 0], 'blocking ms': ['total-blocking-time', 0], 'layout shift':
    ['cumulative-layout-shift', 3] };

// Serves the site's folder at /site/, page K at /page-K/ and robots.txt at the root.
function serve(request, response) {
    const address = new URL(request.url, 'http://host').pathname;
    const page = /^\/page-(\d+)\/$/.exec(address);
    const file = address.startsWith('/site/') ? path.join(siteDir, address.slice(6) || 'index.html')
        : page ? pageFiles[page[1]] ?? null : null;
    const found = file !== null && !file.includes('..') && fs.existsSync(file);
    const robots = address === '/robots.txt';
    response.writeHead(found || robots ? 200 : 404,
        { 'Content-Type': robots ? 'text/plain' : types[path.extname(file ?? '')] ?? 'text/plain' });
    response.end(robots ? 'User-agent: *\nAllow: /\n' : found ? fs.readFileSync(file) : '');
}

// Takes the lighthouse function, a browser launcher and an address; returns one run's scores, each
// category's id to its score and each metric's name to its value. Each run has a browser of its own, so
// that none finds another's worker or files.
async function score(lighthouse, launch, url) {
    const browser = await launch();
    try {
        const { lhr } = await lighthouse(url, { port: new URL(browser.wsEndpoint()).port, logLevel: 'error' });
        return Object.fromEntries(Object.values(lhr.categories).map((category) => [category.id,
            category.score]).concat(Object.entries(metrics).map(([name, [id]]) =>
            [name, lhr.audits[id].numericValue])));
    } finally {
        await browser.close();
    }
}

// Takes what was scored, its load and its runs' scores; prints each one's median and spread.
function report(name, load, scored) {
    const parts = Object.keys(scored[0]).map((id) => {
        const all = scored.map((scores) => scores[id]);
        const decimals = metrics[id]?.[1] ?? 2;
        return `${id} ${median(all).toFixed(decimals)} (${Math.min(...all).toFixed(decimals)} to ` +
            `${Math.max(...all).toFixed(decimals)})`;
    });
    console.log(`${name}, ${load}, medians of ${scored.length} (spread):\n    ${parts.join(',\n    ')}`);
}

// Takes the site's scores under each load; returns its misses.
function misses(site) {
    const whole = ['accessibility', 'best-practices', 'seo'];
    const found = loads.flatMap((load) => site[load]).flatMap((scores) => whole.filter((id) => scores[id] < 1));
    for (const load of loads) {
        if (median(site[load].map((scores) => scores.performance)) < targets[load])
            found.push(`performance ${load} (median below ${targets[load]})`);
    }
    return [...new Set(found)];
}

// Scores the site and the pages under each load; returns the exit status.
async function main() {
    const puppeteer = require(path.join(modules, 'puppeteer-core'));
    const { default: lighthouse } = await import(path.join(modules, 'lighthouse/core/index.js'));
    const profiles = [];
    // Debian's chromium, headless, with an empty profile; without the background-networking flags it
    // keeps trying to reach Google's hosts.
    const launch = () => {
        profiles.push(fs.mkdtempSync(path.join(os.tmpdir(), 'tivorel-lighthouse-')));
        return puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
            userDataDir: profiles.at(-1), args: ['--no-sandbox', '--disable-gpu', '--no-first-run',
                '--disable-background-networking', '--disable-component-update', '--disable-sync'] });
    };
    const host = http.createServer(serve);
    await new Promise((resolve) => host.listen(0, '127.0.0.1', resolve));
    const origin = `http://127.0.0.1:${host.address().port}`;
    const addresses = [['the site', origin + '/site/'],
        ...pageFiles.map((file, k) => [file, `${origin}/page-${k}/`])];
    const scores = Object.fromEntries(addresses.map(([name]) => [name, { idle: [], 'two cores busy': [] }]));
    const busy = [];
    try {
        for (const load of loads) {
            if (load !== 'idle')
                busy.push(...[0, 1].map(() => spawn('yes', { stdio: 'ignore' })));
            for (let run = 0; run < runs; run++) {
                for (const [name, url] of addresses)
                    scores[name][load].push(await score(lighthouse, launch, url));
            }
            for (const [name] of addresses)
                report(name, load, scores[name][load]);
        }
    } finally {
        for (const child of busy)
            child.kill();
        host.close();
        for (const profile of profiles)
            fs.rmSync(profile, { recursive: true, force: true });
    }
    const missed = misses(scores['the site']);
    console.log(missed.length === 0 ? 'the site meets its targets' : `MISS: the site's ${missed.join(', ')}`);
    return missed.length === 0 ? 0 : 1;
}

if (!fs.existsSync(path.join(modules, 'lighthouse')) || !fs.existsSync(`${siteDir}/index.html`)) {
    console.log('bench: no lighthouse (npm ci --prefix tests/browser) or no site: the site is not scored');
    process.exit(0);
}
main().then((status) => {
    process.exitCode = status;
}, (error) => {
    console.error(`bench: ${error.stack}`);
    process.exitCode = 1;
});
