// SPDX-License-Identifier: ISC
// Makes the web site: a folder to copy to any static web host, at any path, that installs as an app and
// works with no network. It holds index.html, the page as make-page.js makes it from the site's bundle,
// which also registers the worker, its script a file beside it named by its bytes, a policy that also
// allows the site's own files and a head that names them; the manifest; the worker sw.js, whose version is
// made of the other files' bytes, so that the page, which names the worker, need not name a version; and
// the icons. Every address in them is relative to the folder.
// The PNG icons are drawn from the SVGs once and kept with them; in web/site/, each of them thus
// (as root, with --no-sandbox):
//   chromium --headless --default-background-color=00000000 --hide-scrollbars --window-size=192,192 \
//       --screenshot="$PWD/icon-192.png" "file://$PWD/icon.svg"
// (icon.svg: icon-192.png, icon-512.png; icon-maskable.svg, drawn within the middle 80% that every mask
// keeps: icon-maskable-512.png, apple-touch-icon.png at 180.)
// usage: node make-site.js page.html page.css GLUE.js MODULE.wasm OUT-FOLDER BUNDLE.js
'use strict';
const crypto = require('crypto');
const fs = require('fs');
const path = require('path');
const { makePage } = require('../make-page.js');

const [templateFile, styleFile, glueFile, wasmFile, outFolder, bundleFile] = process.argv.slice(2);
// The site's files that are copied as they are.
const copied = ['manifest.webmanifest', 'icon.svg', 'icon-192.png', 'icon-512.png', 'icon-maskable-512.png',
    'apple-touch-icon.png'];
// Nothing from elsewhere. The page itself fetches nothing; connect-src 'self' lets the tools that audit a
// site, Lighthouse among them, read the host's robots.txt through the page.
const policy = ["connect-src 'self'", "manifest-src 'self'", "worker-src 'self'", "img-src 'self'"];
// The description is for search engines, which find the site, never the page on disk.
const description = JSON.parse(fs.readFileSync(path.join(__dirname, 'manifest.webmanifest'))).description;
const head = [`<meta name="description" content="${description.replace(/&/g, '&amp;')
    .replace(/"/g, '&quot;')}">`,
    '<link rel="manifest" href="manifest.webmanifest">',
    '<link rel="icon" href="icon.svg" type="image/svg+xml">',
    '<link rel="apple-touch-icon" href="apple-touch-icon.png">'];

// Returns the page, its policy also allowing the site's own files and nothing more, its head naming them,
// and its script as a file beside it: the page is then a few kilobytes, drawn before its script comes.
function sitePage() {
    const { page, script, scriptName } = makePage(templateFile, styleFile, glueFile, wasmFile, bundleFile,
        policy, true);
    if (page.split('</head>').length !== 2) {
        console.error('make-site: the page has no single </head> to put the site\'s lines before');
        process.exit(1);
    }
    return [['index.html', page.replace('</head>', head.join('\n') + '\n</head>')], [scriptName, script]];
}

// Takes the site's files, name to bytes; returns the worker that keeps them, its version made of them all.
function worker(files) {
    const sums = [...files].map(([name, bytes]) =>
        crypto.createHash('sha256').update(bytes).digest('hex') + '  ' + name + '\n').join('');
    const version = crypto.createHash('sha256').update(sums).digest('hex').slice(0, 16);
    const template = fs.readFileSync(path.join(__dirname, 'sw.js'), 'utf8');
    return template.replace('{{FILES}}', JSON.stringify([...files.keys()]))
        .replace('{{VERSION}}', version);
}

const files = new Map([...sitePage().map(([name, text]) => [name, Buffer.from(text)]),
    ...copied.map((name) => [name, fs.readFileSync(path.join(__dirname, name))])]);
files.set('sw.js', Buffer.from(worker(files)));
fs.mkdirSync(outFolder, { recursive: true });
// No script of an earlier build is left to go into a release.
for (const name of fs.readdirSync(outFolder).filter((name) => /^tivorel-\w+\.js$/.test(name) && !files.has(name)))
    fs.rmSync(path.join(outFolder, name));
for (const [name, bytes] of files)
    fs.writeFileSync(path.join(outFolder, name), bytes);
