// SPDX-License-Identifier: ISC
// Makes the page: the template with its style and its script inlined, the
// WebAssembly inside the script as base64, and a Content-Security-Policy that
// allows that style and that script by their SHA-256 hashes and nothing else:
// no request of any kind, and no other script, even one an input smuggled in.
// For the web site, the same script may instead be a file beside the page.
// The script is the WebAssembly, emscripten's glue and the page's modules as
// esbuild bundles them, in that order, in strict mode.
// usage: node make-page.js page.html page.css GLUE.js MODULE.wasm OUT.html BUNDLE.js
'use strict';
const crypto = require('crypto');
const fs = require('fs');

function read(file) {
    return fs.readFileSync(file, 'utf8');
}

// Takes the text of an inline element; returns its CSP source expression.
function hashSource(text) {
    return "'sha256-" + crypto.createHash('sha256').update(text, 'utf8').digest('base64') + "'";
}

// Takes the text of an inline element and its end tag; stops the build where
// the text would end the element early or change how the parser reads it.
function checkInline(text, endTag) {
    if (text.toLowerCase().includes(endTag) || text.includes('<!--')) {
        console.error(`make-page: the inlined text holds ${endTag} or <!--`);
        process.exit(1);
    }
}

// Takes the page's files and, for the web site, more policy directives, each in place of
// the page's own of its name, and whether the script is a file beside the page; returns
// the page, its script and the name of the script's file, made of its bytes.
function makePage(templateFile, styleFile, glueFile, wasmFile, bundleFile, morePolicy = [], scriptBeside = false) {
    const style = read(styleFile);
    const wasm = fs.readFileSync(wasmFile).toString('base64');
    // One script, so that the one hash in the policy allows it. The bundle's modules
    // find tivorelWasm and createTivorel, the glue's, in its scope; the bundle's own
    // "use strict" would come too late to hold for the whole script.
    const script = ["'use strict';", `const tivorelWasm = '${wasm}';`, read(glueFile),
        read(bundleFile).replace(/^"use strict";\n/, '')].join('\n');
    const scriptName = `tivorel-${crypto.createHash('sha256').update(script).digest('hex').slice(0, 16)}.js`;
    checkInline(style, '</style');
    checkInline(script, '</script');

    // 'wasm-unsafe-eval' lets the script compile WebAssembly and nothing else. A script
    // beside the page is allowed as one of the site's own files: not every browser matches
    // a hash against a script that comes as a file. An inline script is still refused.
    const policy = [
        "default-src 'none'",
        "connect-src 'none'",
        `script-src ${scriptBeside ? "'self'" : hashSource(script)} 'wasm-unsafe-eval'`,
        `style-src ${hashSource(style)}`,
        "base-uri 'none'",
        "form-action 'none'",
        ...morePolicy,
    ].filter((directive, k, all) => !all.slice(k + 1).some((later) => later.split(' ')[0] === directive.split(' ')[0]))
        .join('; ');

    // A script beside the page waits for none of it: the page is drawn while the script comes.
    const parts = { POLICY: policy, STYLE: style,
        SCRIPT: scriptBeside ? `<script src="${scriptName}" defer></script>` : `<script>${script}</script>` };
    // A function as replacement, so that no "$" in the script means anything.
    const page = read(templateFile).replace(/\{\{([A-Z]+)\}\}/g, (mark, name) => parts[name]);
    return { page, script, scriptName };
}

module.exports = { makePage };
if (require.main === module) {
    const [templateFile, styleFile, glueFile, wasmFile, outFile, bundleFile] = process.argv.slice(2);
    fs.writeFileSync(outFile, makePage(templateFile, styleFile, glueFile, wasmFile, bundleFile).page);
}
