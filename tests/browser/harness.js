// SPDX-License-Identifier: ISC
// What the browser tests share: checks that count the failures and show each under the part of the test
// that found it, a folder of the test's own, and Debian's chromium, headless, with an empty profile there.
'use strict';
const [fs, os, path] = ['fs', 'os', 'path'].map(require);

const test = { part: '', failures: 0, work: '', modules: path.join(__dirname, 'node_modules') };

// Notes a failure of the part being tested, unless OK.
test.check = (ok, what) => ok || console.log(`FAIL ${++test.failures}: ${test.part}${test.part && ': '}${what}`);

// Notes a failure where EXPECTED and ACTUAL differ as JSON; shows the first 400 characters of each.
test.same = (what, expected, actual) => {
    const [want, got] = [expected, actual].map((value) => JSON.stringify(value));
    test.check(want === got, `${what} differs\n  expected: ${want.slice(0, 400)}\n  shown:    ${got.slice(0, 400)}`);
};

// Takes what the test needs besides puppeteer-core, each name to whether it is found, the line it prints
// when it passes and its main, an async function of the browser. Reports the test skipped where something
// is missing; else runs main in chromium and exits 1 where a check failed, ending any server of the test's.
test.run = (needs, passed, main) => {
    const missing = Object.entries({ 'puppeteer-core (npm ci --prefix tests/browser)':
        fs.existsSync(`${test.modules}/puppeteer-core`), ...needs }).find(([, found]) => !found);
    if (missing) {
        console.log(`${missing[0]} not found: skipped`);
        process.exit(77);
    }
    test.work = fs.mkdtempSync(path.join(os.tmpdir(), 'tivorel-browser-'));
    // Without the background-networking flags chromium keeps trying to reach Google's hosts, and without
    // its autofill server's, it asks it about the page's fields.
    require(`${test.modules}/puppeteer-core`).launch({ timeout: 0, userDataDir: `${test.work}/profile`,
        executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu',
            '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
            '--disable-features=AutofillServerCommunication'] })
        .then((browser) => main(browser).finally(() => browser.close()))
        .catch((error) => test.check(false, error.stack)).finally(() => {
            fs.rmSync(test.work, { recursive: true, force: true });
            console.log(test.failures === 0 ? passed : `${test.failures} failures`);
            process.exit(test.failures === 0 ? 0 : 1);
        });
};

module.exports = test;
