// SPDX-License-Identifier: ISC
// The chart's inputs in the page's address, for a bookmark or a link, and as the tool's command line.

// Takes the page's address after '#'; returns the inputs it holds (the dates and the count as typed, the
// curves as option letters), each null where it holds none, and whether it holds no inputs at all.
export function addressRead(fragment) {
    const address = new URLSearchParams(fragment);
    return { birth: address.get('birth'), first: address.get('first'), days: address.get('days'),
        curves: address.get('curves'), empty: [...address.keys()].length === 0 };
}

// Takes the inputs; returns the address after '#' that holds them.
export function addressWrite({ birth, first, days, curves }) {
    return new URLSearchParams({ birth, first, days, curves }).toString();
}

// Takes the inputs; returns the tool's arguments. "--" ends the options, so
// that a date that begins with '-' is read as a date.
export function toolArgs(inputs) {
    const options = inputs.curves === '' ? [] : ['-' + inputs.curves];
    return options.concat(['--', inputs.birth, inputs.first, inputs.days]);
}

// Takes an argument; returns it as a POSIX shell reads it back unchanged.
export function shellWord(word) {
    return /^[\w%+,./:=@-]+$/.test(word) ? word : "'" + word.replace(/'/g, "'\\''") + "'";
}
