// SPDX-License-Identifier: ISC
// Debian's chromium, headless, driven by puppeteer-core: for the page's test
// and its benchmark. Without the background-networking flags Chromium keeps
// trying to reach Google's hosts, which a closed network refuses.
'use strict';
const path = require('path');

// Returns puppeteer-core from this folder's node_modules (npm ci), or null.
function puppeteer() {
    try {
        return require(path.join(__dirname, 'node_modules', 'puppeteer-core'));
    } catch {
        return null;
    }
}

// Takes puppeteer-core; returns a new headless chromium with an empty profile.
function launch(library) {
    return library.launch({
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
        args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
            '--disable-component-update', '--disable-sync'],
    });
}

module.exports = { puppeteer, launch };
