// SPDX-License-Identifier: ISC
// Emscripten hands the tool the script's path as argv[0], and the tool names
// itself in its messages by that path's last part: "tivorel.js". The name
// without ".js" is the one the native tool has beside it.
Module['thisProgram'] = process.argv[1].replace(/\.js$/, '');
