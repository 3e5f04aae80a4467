// SPDX-License-Identifier: ISC
// A vCard property's value as text: decoded from quoted-printable and from its charset, and split and
// unescaped as vCard writes structured text.

// Takes a property; returns its value as text, decoded from quoted-printable
// where it says so and from its charset, escapes still in.
export function contactsText(property) {
    const written = property.value;
    let bytes;
    if ((property.params.ENCODING ?? '').toUpperCase() === 'QUOTED-PRINTABLE')
        bytes = contactsQuotedPrintable(written);
    else
        bytes = Uint8Array.from(written, (char) => char.charCodeAt(0));
    return contactsDecode(bytes, property.params.CHARSET);
}

// Takes quoted-printable text; returns its bytes. An '=' not followed by two
// hex digits is kept as written.
function contactsQuotedPrintable(written) {
    const bytes = [];
    for (let at = 0; at < written.length; at++) {
        const hex = written.slice(at + 1, at + 3);
        if (written[at] === '=' && /^[0-9A-Fa-f]{2}$/.test(hex)) {
            bytes.push(parseInt(hex, 16));
            at += 2;
        } else {
            bytes.push(written.charCodeAt(at));
        }
    }
    return Uint8Array.from(bytes);
}

// Takes bytes and their charset's label (undefined when the card names none);
// returns the text. With no charset named, bytes that are not UTF-8 are read
// as windows-1252, as old phones that wrote Latin-1 without saying so meant.
function contactsDecode(bytes, charset) {
    if (charset === undefined) {
        try {
            return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
        } catch {
            return new TextDecoder('windows-1252').decode(bytes);
        }
    }
    try {
        return new TextDecoder(charset).decode(bytes);
    } catch {
        // A charset this browser does not know: UTF-8 is the likeliest.
        return new TextDecoder('utf-8').decode(bytes);
    }
}

// Takes a value and a separator (';' or ','); returns the pieces between the
// separators that no backslash escapes, escapes still in.
export function contactsSplit(text, separator) {
    const pieces = [''];
    for (let at = 0; at < text.length; at++) {
        if (text[at] === '\\' && at + 1 < text.length) {
            pieces[pieces.length - 1] += text[at] + text[at + 1];
            at++;
        } else if (text[at] === separator) {
            pieces.push('');
        } else {
            pieces[pieces.length - 1] += text[at];
        }
    }
    return pieces;
}

// Takes text with escapes; returns it without: \, \; \\ and \n (or \N, a
// newline). A backslash before any other character stays, as vCard 2.1 means it.
export function contactsUnescape(text) {
    return text.replace(/\\([,;\\nN])/g, (escape, char) => (char === 'n' || char === 'N' ? '\n' : char));
}
