// SPDX-License-Identifier: ISC
// A file of contacts as the bytes the card reader takes: UTF-16, as Windows programs write it, little- or
// big-endian, with or without a byte-order mark, made UTF-8; any other file as it is.

// The bytes of UTF-16 decoded between two yields of contactsUtf8: a few milliseconds' work.
const contactsPiece = 1 << 20;

// Takes the file's bytes; returns 'utf-16le' or 'utf-16be' where they are UTF-16, known by a byte-order
// mark or, without one, by a NUL in every other byte of the first line; else ''.
export function contactsUtf16(bytes) {
    if (bytes[0] === 0xff && bytes[1] === 0xfe)
        return 'utf-16le';
    if (bytes[0] === 0xfe && bytes[1] === 0xff)
        return 'utf-16be';
    // The first line: up to its CR or LF, whose byte is the first of its two in UTF-16LE, the second in BE.
    const [lf, cr] = [bytes.indexOf(0x0a), bytes.indexOf(0x0d)].map((at) => (at < 0 ? bytes.length : at));
    const end = Math.min(lf, cr);
    const whole = end - end % 2;
    const nulAt = (parity) => {
        if (whole < 2 || bytes[1 - parity] === 0)
            return false;
        for (let at = parity; at < whole; at += 2) {
            if (bytes[at] !== 0)
                return false;
        }
        return true;
    };
    if ((end % 2 === 0 || end === bytes.length) && nulAt(1))
        return 'utf-16le';
    if ((end % 2 === 1 || end === bytes.length) && nulAt(0))
        return 'utf-16be';
    return '';
}

// Takes the file's bytes; returns { bytes, utf16 }: the bytes as UTF-8 where the file is UTF-16, else as
// they are, and whether it was. Yields between pieces of work, so that the page can answer.
export function* contactsUtf8(bytes) {
    const encoding = contactsUtf16(bytes);
    if (encoding === '')
        return { bytes, utf16: false };
    // A byte-order mark at the start is dropped; one further on (files joined) is kept, as U+FEFF.
    const decoder = new TextDecoder(encoding);
    const encoder = new TextEncoder();
    const pieces = [];
    // In streaming, a surrogate pair cut between two pieces is kept until its second half comes.
    for (let at = 0; at < bytes.length; at += contactsPiece) {
        pieces.push(encoder.encode(decoder.decode(bytes.subarray(at, at + contactsPiece), { stream: true })));
        yield;
    }
    pieces.push(encoder.encode(decoder.decode()));
    const utf8 = new Uint8Array(pieces.reduce((size, piece) => size + piece.length, 0));
    let at = 0;
    for (const piece of pieces) {
        utf8.set(piece, at);
        at += piece.length;
    }
    return { bytes: utf8, utf16: true };
}
