// SPDX-License-Identifier: ISC
// The people as a vCard 3.0 file, people.vcf, which contacts programs read, and the page reads back.

// Takes a text value; returns it escaped as vCard 3.0 writes text.
function vcardText(text) {
    return text.replace(/[\\,;]/g, '\\$&').replace(/\r\n|\r|\n/g, '\\n');
}

// Takes a content line; returns it folded as vCard lines are: no line longer
// than 75 octets of UTF-8, no character split, each continuation begun by a space.
function vcardFold(line) {
    let [folded, octets] = ['', 0];
    for (const char of line) {
        const code = char.codePointAt(0);
        const size = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (octets + size > 75) {
            folded += '\r\n ';
            octets = 1;
        }
        folded += char;
        octets += size;
    }
    return folded;
}

// Takes people; returns them as vCard 3.0 text, a card each. The whole name is
// the given name: where a name splits into given and family names is unknown.
export function peopleVcard(list) {
    return list.map(({ name, birth }) => ['BEGIN:VCARD', 'VERSION:3.0', `N:;${vcardText(name)};;;`,
        `FN:${vcardText(name)}`, `BDAY:${birth}`, 'END:VCARD'].map(vcardFold).join('\r\n') + '\r\n').join('');
}
