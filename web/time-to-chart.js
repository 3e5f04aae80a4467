// SPDX-License-Identifier: ISC
// Measures, in headless Chromium, the time from opening the page to the first
// frame that shows its chart: the page opened RUNS times with ADDRESS's inputs
// (after '#'), each time from the start of the navigation (performance's time
// origin) to the animation frame after the table's text is in the page.
// Speaks the DevTools protocol over the pipe that --remote-debugging-pipe
// opens (descriptors 3 and 4), so it needs nothing but node and chromium.
// usage: node web/time-to-chart.js PAGE [ADDRESS [RUNS]]
'use strict';
const { spawn } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

const page = path.resolve(process.argv[2]);
const address = process.argv[3] ?? 'birth=1990-05-17&first=2026-12-09&days=500&curves=peia';
const runs = Number(process.argv[4] ?? 10);

const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tivorel-time-'));
const browser = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
    `--user-data-dir=${profile}`, '--remote-debugging-pipe', 'about:blank'],
{ stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });

// Messages are JSON, each ended by a NUL byte, both ways.
let lastId = 0;
const waiting = new Map();
const eventWaiters = [];
let received = '';
browser.stdio[4].on('data', (chunk) => {
    received += chunk.toString();
    let end;
    while ((end = received.indexOf('\0')) >= 0) {
        const message = JSON.parse(received.slice(0, end));
        received = received.slice(end + 1);
        if (message.id && waiting.has(message.id)) {
            waiting.get(message.id)(message);
            waiting.delete(message.id);
        } else if (message.method) {
            for (const waiter of eventWaiters.splice(0))
                if (!waiter(message))
                    eventWaiters.push(waiter);
        }
    }
});

function send(method, params = {}, sessionId = undefined) {
    const id = ++lastId;
    browser.stdio[3].write(JSON.stringify({ id, method, params, sessionId }) + '\0');
    return new Promise((resolve, reject) => waiting.set(id, (message) => {
        if (message.error)
            reject(new Error(`${method}: ${message.error.message}`));
        else
            resolve(message.result);
    }));
}

function nextEvent(method) {
    return new Promise((resolve) => eventWaiters.push((message) => {
        if (message.method !== method)
            return false;
        resolve(message.params);
        return true;
    }));
}

// Runs in the page before its own script: notes when the table's text
// arrives and the animation frame after it.
const watcher = `
    new MutationObserver((changes, observer) => {
        const table = document.getElementById('table');
        if (!table || table.textContent === '')
            return;
        observer.disconnect();
        window.chartInPage = performance.now();
        requestAnimationFrame(() => { window.chartDrawn = performance.now(); });
    }).observe(document, { childList: true, subtree: true, characterData: true });`;

async function main() {
    const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
    await send('Page.enable', {}, sessionId);
    await send('Page.addScriptToEvaluateOnNewDocument', { source: watcher }, sessionId);
    const times = [];
    for (let run = 0; run < runs; run++) {
        const loaded = nextEvent('Page.loadEventFired');
        // A query that changes each run, so that no run reuses the last one's document.
        await send('Page.navigate', { url: `file://${page}?run=${run}#${address}` }, sessionId);
        await loaded;
        const { result } = await send('Runtime.evaluate', {
            expression: `new Promise((resolve) => (function poll() {
                if (window.chartDrawn !== undefined)
                    resolve([window.chartInPage, window.chartDrawn]);
                else
                    setTimeout(poll, 10);
            })())`,
            awaitPromise: true, returnByValue: true }, sessionId);
        times.push(result.value);
    }
    const drawn = times.map((time) => time[1]).sort((a, b) => a - b);
    for (const [inPage, frame] of times)
        console.log(`chart in the page ${inPage.toFixed(1)} ms, its frame ${frame.toFixed(1)} ms`);
    console.log(`median to the frame: ${drawn[Math.floor(drawn.length / 2)].toFixed(1)} ms ` +
        `over ${runs} runs (min ${drawn[0].toFixed(1)}, max ${drawn[drawn.length - 1].toFixed(1)})`);
}

main().then(() => 0, (error) => {
    console.error(`time-to-chart: ${error.message}`);
    return 1;
}).then((status) => {
    process.exitCode = status;
    // The browser's helper processes may outlive it by a moment.
    browser.on('exit', () => fs.rmSync(profile,
        { recursive: true, force: true, maxRetries: 10, retryDelay: 100 }));
    send('Browser.close').catch(() => browser.kill());
});
