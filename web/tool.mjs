// SPDX-License-Identifier: ISC
// Runs the tool: its own main, compiled to WebAssembly, with arguments as its command line. The page's
// script begins with what make-page.js puts before the modules: tivorelWasm, the WebAssembly in base64,
// and emscripten's createTivorel, which makes an instance of the tool's module.
/* global createTivorel, tivorelWasm */
import { parseTable } from './table.mjs';

// Compiled once, off the main thread as the page opens (toolCompile), so that a busy phone answers while it
// compiles; each run of the tool gets an instance of its own, as each run of the command gets a process of
// its own, and runs synchronously, so that a save's file is made within the click that asks for it.
let toolModule = null;

// Returns the tool's WebAssembly as bytes.
function toolBytes() {
    return Uint8Array.from(atob(tivorelWasm), (char) => char.charCodeAt(0));
}

// The compile begun, a promise kept, so that everyone who waits for it waits for the same.
let compiling = null;

// Compiles the tool off the main thread, unless a run has compiled it already; returns the promise of it
// done. A failure is left for the first run to tell.
export function toolCompile() {
    compiling ??= WebAssembly.compile(toolBytes()).then((compiled) => {
        toolModule ??= compiled;
    }, () => {});
    return compiling;
}

// Takes the tool's arguments after argv[0]; runs the tool's main; returns its
// exit status and what it wrote to standard output and standard error.
export function runTool(args) {
    // A run before the compile is done (a click at once), or after it failed, compiles here; a browser
    // that cannot gets its reason shown.
    toolModule ??= new WebAssembly.Module(toolBytes());
    const run = { status: -1, out: '', err: '' };
    createTivorel({
        arguments: args,
        thisProgram: 'tivorel',
        // Emscripten hands over each line without its newline, and a last
        // line without one as if it had one; every line the tool writes ends
        // in a newline.
        print: (line) => { run.out += line + '\n'; },
        printErr: (line) => { run.err += line + '\n'; },
        // Called on every way out, after the atexit routine has flushed
        // standard output.
        onExit: (status) => { run.status = status; },
        // An instance at once, so that main runs and ends within this call.
        instantiateWasm: (imports, receive) => {
            const instance = new WebAssembly.Instance(toolModule, imports);
            receive(instance, toolModule);
            return instance.exports;
        },
    });
    return run;
}

// Takes a date as typed; returns { day } as the tool's table writes it, so that two ways to type one date
// are one day, or { refusal }, the tool's message.
export function toolDate(typed) {
    const run = runTool(['--table', '--', typed, typed, '1']);
    return run.status === 0 ? { day: parseTable(run.out).rows[0][0] } : { refusal: run.err };
}
