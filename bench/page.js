// SPDX-License-Identifier: ISC
// Measures the page in headless Chromium (puppeteer-core, from tests/browser):
//   - the time from opening it to the frame that shows its chart;
//   - a redraw, a change of the count until the next frame is drawn, beside
//     its floor: the same chart text, table and plot, made once beforehand,
//     put in place with no tool run and no drawing; runs interleaved, so
//     that both see the same machine;
//   - the tool's chart run and table run alone, in WebAssembly;
//   - the days ahead of 20 saved people over 500 days: the time from opening
//     the page to the section drawn, and the longest task meanwhile.
// Each figure is a median. Exits 1 where the redraw takes more than 1.2
// times its floor, or a task of the days ahead more than 200 ms.
// usage: node bench/page.js PAGE [RUNS]
'use strict';
const path = require('path');
// The browser test's puppeteer-core (npm ci --prefix tests/browser).
const puppeteer = (() => {
    try {
        return require('../tests/browser/node_modules/puppeteer-core');
    } catch {
        return null;
    }
})();

const page = path.resolve(process.argv[2]);
const runs = Number(process.argv[3] ?? 40);
const address = 'birth=1990-05-17&first=2026-12-09&days=500&curves=peia';
const limit = 1.2;
const aheadLimitMs = 200;
const median = (times) => times.slice().sort((a, b) => a - b)[Math.floor(times.length / 2)];

// Runs in the page before its own script: notes when the table's first row
// is in the page, and when the frame after it has been drawn.
const watcher = `
    new MutationObserver((changes, observer) => {
        if (document.querySelector('#table tbody tr') === null)
            return;
        observer.disconnect();
        window.chartInPage = performance.now();
        requestAnimationFrame(() => { window.chartDrawn = performance.now(); });
    }).observe(document, { childList: true, subtree: true });`;

// In the page: the two ways to a field's other value, each timed until the
// frame after the change has been drawn (a message posted from that frame's
// animation callback runs once the frame's rendering is done).
function measureRedraws([runs, id, values]) {
    const frameDrawn = () => new Promise((resolve) => requestAnimationFrame(() => {
        const channel = new MessageChannel();
        channel.port1.onmessage = () => resolve(performance.now());
        channel.port2.postMessage(null);
    }));
    const ids = ['chart', 'table', 'plot', 'legend'];
    const field = document.getElementById(id);
    const redraw = (value) => {
        field.value = value;
        field.dispatchEvent(new Event('change'));
    };
    // The finished nodes of both values, a copy for each run.
    const finished = {};
    for (const value of values) {
        redraw(value);
        finished[value] = Array.from({ length: runs }, () =>
            ids.map((part) => [...document.getElementById(part).cloneNode(true).childNodes]));
    }
    const putInPlace = (value) => {
        const nodes = finished[value].pop();
        ids.forEach((part, k) => document.getElementById(part).replaceChildren(...nodes[k]));
    };
    return (async () => {
        const times = { redraw: [], floor: [] };
        await frameDrawn();
        for (let run = 0; run < 2 * runs; run++) {
            for (const [kind, change] of [['redraw', redraw], ['floor', putInPlace]]) {
                await frameDrawn();
                const start = performance.now();
                change(values[run % 2]);
                times[kind].push(await frameDrawn() - start);
            }
        }
        return times;
    })();
}

// In the page: the tool's chart and table runs of the 500-day page, each an instance of the module compiled
// once, from the WebAssembly and emscripten's glue that begin the page's script, as the page runs them.
function measureRuns(runs) {
    const compiled = new WebAssembly.Module(Uint8Array.from(atob(tivorelWasm), (char) => char.charCodeAt(0)));
    const runTool = (args) => createTivorel({ arguments: args, thisProgram: 'tivorel', print: () => {},
        printErr: () => {}, onExit: () => {}, instantiateWasm: (imports, receive) => {
            const instance = new WebAssembly.Instance(compiled, imports);
            receive(instance, compiled);
            return instance.exports;
        } });
    const args = ['-peia', '--', '1990-05-17', '2026-12-09', '500'];
    const times = { chart: [], table: [] };
    for (let run = 0; run < runs; run++)
        for (const [kind, toolArgs] of [['chart', args], ['table', ['--table', ...args]]]) {
            const start = performance.now();
            runTool(toolArgs);
            times[kind].push(performance.now() - start);
        }
    return times;
}

// Runs in the page before its own script: notes the longest task, and when the frame that shows the days
// ahead has been drawn (a message posted from that frame's animation callback runs once it is drawn).
const aheadWatcher = `
    window.longest = 0;
    new PerformanceObserver((list) => {
        for (const task of list.getEntries())
            window.longest = Math.max(window.longest, task.duration);
    }).observe({ type: 'longtask', buffered: true });
    addEventListener('DOMContentLoaded', () => new MutationObserver((changes, observer) => {
        if (document.getElementById('ahead').hasAttribute('aria-busy'))
            return;
        observer.disconnect();
        requestAnimationFrame(() => {
            const channel = new MessageChannel();
            channel.port1.onmessage = () => { window.aheadDrawn = performance.now(); };
            channel.port2.postMessage(null);
        });
    }).observe(document.getElementById('ahead'), { attributes: true }));`;

// Opens the page with 20 people saved and 500 days ahead, 5 times; prints the medians of the time to the
// section drawn and of the longest task; returns whether that task is over the limit.
async function measureAhead(browser) {
    const tab = await browser.newPage();
    await tab.evaluateOnNewDocument(aheadWatcher);
    await tab.goto(`file://${page}`);
    await tab.evaluate(() => {
        const people = Array.from({ length: 20 }, (_, k) => ({ name: `Person ${k + 1}`,
            birth: `${1940 + 3 * k}-${String(k % 12 + 1).padStart(2, '0')}-${String(k + 5).padStart(2, '0')}` }));
        localStorage.setItem('tivorel.people', JSON.stringify({ version: 1, people }));
        localStorage.setItem('tivorel.ahead', '500');
    });
    const [drawn, longest] = [[], []];
    let entries = 0;
    for (let run = 0; run < 5; run++) {
        await tab.goto(`file://${page}?ahead=${run}`);
        await tab.waitForFunction(() => window.aheadDrawn !== undefined);
        // The long tasks' report comes after them, a moment later.
        await new Promise((resolve) => setTimeout(resolve, 200));
        const figures = await tab.evaluate(() => [window.aheadDrawn, window.longest,
            document.querySelectorAll('#ahead-list button').length]);
        [drawn[run], longest[run], entries] = figures;
    }
    await tab.evaluate(() => localStorage.clear());
    console.log(`days ahead, 20 people, 500 days, ${entries} entries: drawn ${median(drawn).toFixed(0)} ms after ` +
        `opening, longest task ${median(longest).toFixed(0)} ms (limit ${aheadLimitMs}; medians of 5)`);
    return median(longest) > aheadLimitMs;
}

async function main(browser) {
    const tab = await browser.newPage();
    await tab.evaluateOnNewDocument(watcher);
    const opened = [];
    for (let run = 0; run < 10; run++) {
        // A query that changes each run, so that no run reuses the last one's document.
        await tab.goto(`file://${page}?run=${run}#${address}`);
        await tab.waitForFunction(() => window.chartDrawn !== undefined);
        opened.push(await tab.evaluate(() => window.chartDrawn));
    }
    console.log(`open to the chart's frame: ${median(opened).toFixed(1)} ms (median of 10)`);
    const tool = await tab.evaluate(measureRuns, runs);
    console.log(`the tool in WebAssembly, 500 days, 4 curves: chart ${median(tool.chart).toFixed(1)} ms, ` +
        `table ${median(tool.table).toFixed(1)} ms (medians of ${runs})`);
    let status = 0;
    // The count, as a reader tries another; the first day, which changes every row.
    for (const [id, values] of [['days', ['499', '500']], ['first', ['2026-12-10', '2026-12-09']]]) {
        const times = await tab.evaluate(measureRedraws, [runs, id, values]);
        const [redraw, floor] = [median(times.redraw), median(times.floor)];
        const ratio = redraw / floor;
        console.log(`redraw of ${id} ${values.join(' and ')} to its frame: ${redraw.toFixed(1)} ms; ` +
            `floor ${floor.toFixed(1)} ms; ${ratio.toFixed(2)} times the floor ` +
            `(limit ${limit}; medians of ${2 * runs})`);
        status |= ratio > limit;
    }
    return status | await measureAhead(browser);
}

if (puppeteer === null) {
    console.log('bench: no puppeteer-core (npm ci in tests/browser): the page is not measured');
    process.exit(0);
}
// Debian's chromium, headless, with an empty profile; without the
// background-networking flags it keeps trying to reach Google's hosts.
puppeteer.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox',
    '--disable-gpu', '--no-first-run', '--disable-background-networking', '--disable-component-update',
    '--disable-sync'] }).then((browser) => main(browser).finally(() => browser.close()))
    .then((status) => {
        process.exitCode = status;
    }, (error) => {
        console.error(`bench: ${error.stack}`);
        process.exitCode = 1;
    });
