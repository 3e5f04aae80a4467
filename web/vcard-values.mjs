// SPDX-License-Identifier: ISC
// A vCard property's value as text: decoded from quoted-printable and from its charset, and split and
// unescaped as vCard writes structured text.

// The decoders of a value that names no charset, and of those named, by label, made once each.
const contactsUtf8 = new TextDecoder('utf-8', { fatal: true });
const contactsLatin = new TextDecoder('windows-1252');
const contactsDecoders = new Map();

// Takes a property; returns its value as text, decoded from quoted-printable
// where it says so and from its charset, escapes still in.
export function contactsText(property) {
    const quoted = (property.params.ENCODING ?? '').toUpperCase() === 'QUOTED-PRINTABLE';
    return contactsDecode(quoted ? contactsQuotedPrintable(property.value) : property.value, property.params.CHARSET);
}

// Takes a byte (undefined past the end); returns its value as a hex digit, or -1.
function contactsHex(code) {
    if (code >= 0x30 && code <= 0x39)
        return code - 0x30;
    const lower = code | 0x20;
    return lower >= 0x61 && lower <= 0x66 ? lower - 0x57 : -1;
}

// Takes the bytes of quoted-printable text; returns the bytes it encodes. An
// '=' not followed by two hex digits is kept as written.
function contactsQuotedPrintable(written) {
    const bytes = new Uint8Array(written.length);
    let size = 0;
    for (let at = 0; at < written.length; at++) {
        const [high, low] = written[at] === 0x3d ? [contactsHex(written[at + 1]), contactsHex(written[at + 2])]
            : [-1, -1];
        if (high >= 0 && low >= 0) {
            bytes[size++] = high * 16 + low;
            at += 2;
        } else {
            bytes[size++] = written[at];
        }
    }
    return bytes.subarray(0, size);
}

// Takes bytes and their charset's label (undefined when the card names none);
// returns the text. With no charset named, or one this browser does not know,
// bytes that are not UTF-8 are read as windows-1252, as old phones that wrote
// Latin-1 without saying so meant.
function contactsDecode(bytes, charset) {
    if (charset !== undefined && !contactsDecoders.has(charset)) {
        try {
            contactsDecoders.set(charset, new TextDecoder(charset));
        } catch {
            // A label this browser does not know: read as a value without one.
            contactsDecoders.set(charset, null);
        }
    }
    const decoder = charset === undefined ? null : contactsDecoders.get(charset);
    if (decoder !== null)
        return decoder.decode(bytes);
    try {
        return contactsUtf8.decode(bytes);
    } catch {
        return contactsLatin.decode(bytes);
    }
}

// Takes a value and a separator (';' or ','); returns the pieces between the
// separators that no backslash escapes, escapes still in.
export function contactsSplit(text, separator) {
    const pieces = [];
    let from = 0;
    for (let at = 0; at < text.length; at++) {
        if (text[at] === '\\') {
            at++;
        } else if (text[at] === separator) {
            pieces.push(text.slice(from, at));
            from = at + 1;
        }
    }
    pieces.push(text.slice(from));
    return pieces;
}

// Takes text with escapes; returns it without: \, \; \\ and \n (or \N, a
// newline). A backslash before any other character stays, as vCard 2.1 means it.
export function contactsUnescape(text) {
    return text.replace(/\\([,;\\nN])/g, (escape, char) => (char === 'n' || char === 'N' ? '\n' : char));
}
