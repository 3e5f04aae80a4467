// SPDX-License-Identifier: ISC
// The cards of a vCard file, as phones and mail programs export their contacts (vCard 2.1, 3.0 and 4.0):
// the lines unfolded, quoted-printable soft line breaks joined, and each card's properties that give a
// contact's name and birthday, their values still the bytes written. Each byte is looked at a bounded
// number of times, so that the time grows with the file's size and no faster.

// The properties a contact's name and birthday come from, those that open and close a card and give its
// version, and AGENT, after which a card may hold another; every other one (photos above all) is passed
// over unread.
const contactsWanted = new Set(['BEGIN', 'END', 'VERSION', 'FN', 'N', 'BDAY', 'AGENT']);
// The longest of those names, in characters.
const contactsWantedLength = 7;
// The bytes read between two yields of contactsCards: well under a millisecond's work.
const contactsStride = 1 << 16;

// Takes bytes and two places; returns the bytes between them as one character per byte, of that byte's
// value.
function contactsBinary(bytes, from, to) {
    // A name or a parameter, most often: one character at a time is quicker than a call with them all.
    if (to - from <= 16) {
        let text = '';
        for (let at = from; at < to; at++)
            text += String.fromCharCode(bytes[at]);
        return text;
    }
    const chunks = [];
    // A chunk at a time: one call with a long line as arguments overflows the stack.
    for (let at = from; at < to; at += 8192)
        chunks.push(String.fromCharCode.apply(null, bytes.subarray(at, Math.min(at + 8192, to))));
    return chunks.join('');
}

// Takes the file's bytes (UTF-8, or the charsets its cards name) and whether its CHARSET parameters count
// (not in a file that was UTF-16); returns { cards, cutOff }: its cards, whole or cut off, each the card's
// first VERSION, FN, N and BDAY by name, as contactsProperty gives them, and how many were cut off. Yields
// between pieces of work, so that the page can answer.
export function* contactsCards(bytes, charsets = true) {
    const reading = { cards: [], card: null, depth: 0, cutOff: 0, agent: false, version21: false, charsets };
    // The bytes of each line of the wanted logical line read so far, or null while an unwanted one is read.
    let pending = null;
    // Whether the line before ended in a quoted-printable soft line break.
    let soft = false;
    const next = { lf: -1, cr: -1 };
    let [start, yielded] = [0, 0];
    while (start < bytes.length) {
        if (start - yielded >= contactsStride) {
            yielded = start;
            yield;
        }
        next.lf = contactsNext(bytes, 0x0a, start, next.lf);
        next.cr = contactsNext(bytes, 0x0d, start, next.cr);
        const end = Math.min(next.lf, next.cr);
        // A UTF-8 byte-order mark begins each of several exports joined into one file.
        const from = bytes[start] === 0xef && bytes[start + 1] === 0xbb && bytes[start + 2] === 0xbf &&
            start + 3 <= end ? start + 3 : start;
        start = end + (bytes[end] === 0x0d && bytes[end + 1] === 0x0a ? 2 : 1);
        if (soft) {
            // A line that opens or closes a card is no part of a value: the value ends at its soft break.
            const edge = end - from <= 32 ? contactsEdge(contactsProperty(bytes.subarray(from, end))) : '';
            if (edge === '') {
                if (pending !== null)
                    pending.push(pending.pop().subarray(0, -1), bytes.subarray(from, end));
                soft = bytes[end - 1] === 0x3d && end > from;
                continue;
            }
            // Cut off by a card that begins, the value is not taken; in a whole card, it is, without the break.
            if (edge === 'END' && pending !== null)
                contactsTake(reading, contactsProperty(contactsJoin(pending).subarray(0, -1)));
            pending = null;
            soft = false;
        }
        const first = bytes[from];
        if (first === 0x20 || first === 0x09) {
            // vCard 2.1 keeps the white space that begins a folded line; later versions drop it.
            if (pending !== null)
                pending.push(bytes.subarray(reading.version21 ? from : from + 1, end));
            continue;
        }
        if (pending !== null)
            contactsTake(reading, contactsProperty(contactsJoin(pending)));
        else
            reading.agent = false;
        pending = contactsIsWanted(bytes, from, end) ? [bytes.subarray(from, end)] : null;
        soft = bytes[end - 1] === 0x3d && end > from && contactsQuotedHead(bytes, from, end);
    }
    // A last line without its line end, or a value ending in a soft line break, may be cut short: it is
    // taken only where it closes the card.
    const ended = bytes.length === 0 || bytes[bytes.length - 1] === 0x0a || bytes[bytes.length - 1] === 0x0d;
    if (pending !== null && !soft) {
        const property = contactsProperty(contactsJoin(pending));
        if (ended || contactsEdge(property) === 'END')
            contactsTake(reading, property);
    }
    if (reading.depth > 0)
        contactsCutOff(reading);
    return { cards: reading.cards, cutOff: reading.cutOff };
}

// Takes the bytes of each line of a logical line; returns them as one.
function contactsJoin(lines) {
    if (lines.length === 1)
        return lines[0];
    const line = new Uint8Array(lines.reduce((size, each) => size + each.length, 0));
    let at = 0;
    for (const each of lines) {
        line.set(each, at);
        at += each.length;
    }
    return line;
}

// Takes the bytes, a byte, where a line starts and the place of that byte found last (-1: none looked for
// yet); returns the place of the byte from that start on, or the end of the bytes where there is none. It
// is looked for again only once passed, so that the bytes are searched once.
function contactsNext(bytes, byte, start, found) {
    if (found >= start || found === bytes.length)
        return found;
    const at = bytes.indexOf(byte, start);
    return at < 0 ? bytes.length : at;
}

// Takes a line's bytes and its bounds; returns whether the part before its first colon (or, without one,
// all but its last byte) names quoted-printable.
function contactsQuotedHead(bytes, from, end) {
    const colon = bytes.subarray(from, end).indexOf(0x3a);
    return /QUOTED-PRINTABLE/i.test(contactsBinary(bytes, from, colon < 0 ? end - 1 : from + colon));
}

// Takes the state of a reading and a property; opens, closes or fills in the card being read. A card
// inside another is vCard 2.1's inline AGENT, not a contact; any other card that begins in an open one
// ends it as cut off.
function contactsTake(reading, property) {
    const [edge, agent] = [contactsEdge(property), reading.agent];
    reading.agent = property.name === 'AGENT' && contactsWritten(property).trim() === '';
    if (!reading.charsets)
        delete property.params.CHARSET;
    if (edge === 'BEGIN') {
        if (reading.depth > 0 && !agent)
            contactsCutOff(reading);
        reading.depth++;
        if (reading.depth === 1)
            [reading.card, reading.version21] = [{}, false];
    } else if (edge === 'END' && reading.depth > 0) {
        reading.depth--;
        if (reading.depth === 0) {
            reading.cards.push(reading.card);
            [reading.card, reading.version21] = [null, false];
        }
    } else if (reading.depth === 1 && property.name !== 'AGENT' && reading.card[property.name] === undefined) {
        reading.card[property.name] = property;
        // Once for the card, not for each folded line.
        if (property.name === 'VERSION')
            reading.version21 = contactsWritten(property).trim() === '2.1';
    }
}

// Takes the state of a reading; ends the card open, and any inside it, as cut off.
function contactsCutOff(reading) {
    reading.cards.push(reading.card);
    reading.cutOff++;
    [reading.card, reading.version21] = [null, false];
    reading.depth = 0;
}

// Takes a property; returns 'BEGIN' or 'END' where it opens or closes a card, else ''.
function contactsEdge(property) {
    const opens = property.name === 'BEGIN' || property.name === 'END';
    return opens && contactsWritten(property).trim().toUpperCase() === 'VCARD' ? property.name : '';
}

// Takes a property; returns its value as written, one character per byte.
function contactsWritten(property) {
    property.written ??= contactsBinary(property.value, 0, property.value.length);
    return property.written;
}

// Takes the bytes and a line's bounds; returns whether its property is one of those wanted: the name
// before its first semicolon or colon, upper case and without its group ("item1."), where it has a colon.
function contactsIsWanted(bytes, from, end) {
    const line = bytes.subarray(from, end);
    const [colon, semicolon] = [line.indexOf(0x3a), line.indexOf(0x3b)];
    const stop = from + (colon < 0 ? (semicolon < 0 ? line.length : semicolon) : semicolon < 0 ? colon
        : Math.min(colon, semicolon));
    let dot = stop;
    while (dot > from && bytes[dot - 1] !== 0x2e && stop - dot <= contactsWantedLength)
        dot--;
    if (stop === end || stop - dot > contactsWantedLength || !contactsWanted.has(contactsBinary(bytes, dot, stop)
        .toUpperCase()))
        return false;
    return colon >= 0;
}

// Takes an unfolded line's bytes; returns { name, params, value }: the property's name, upper case and
// without its group, its parameters as contactsParams gives them and its value, the bytes written.
function contactsProperty(line) {
    // The value begins at the first colon outside a parameter's quotes; a line without a colon has none.
    let colon = 0;
    while (colon < line.length && line[colon] !== 0x3a && line[colon] !== 0x22)
        colon++;
    if (colon === line.length || (line[colon] === 0x22 && line.indexOf(0x3a, colon) < 0)) {
        colon = -1;
    } else if (line[colon] === 0x22) {
        let quoted = false;
        for (; colon < line.length; colon++) {
            if (line[colon] === 0x22)
                quoted = !quoted;
            else if (line[colon] === 0x3a && !quoted)
                break;
        }
    }
    // A line without a colon is all name and parameters, less its last byte.
    const head = contactsSplitHead(contactsBinary(line, 0, colon < 0 ? line.length - 1 : colon));
    const name = head[0].slice(head[0].lastIndexOf('.') + 1).toUpperCase();
    return { name, params: contactsParams(head.slice(1)), value: line.subarray(colon + 1) };
}

// Takes a property's name and parameters as written; returns them split at each semicolon that has an
// even number of double quotes after it, that is, outside a parameter's quotes where they pair.
function contactsSplitHead(head) {
    let after = 0;
    for (let at = head.indexOf('"'); at >= 0; at = head.indexOf('"', at + 1))
        after++;
    const pieces = [];
    let from = 0;
    for (let at = 0; at < head.length; at++) {
        const char = head.charCodeAt(at);
        if (char === 0x22) {
            after--;
        } else if (char === 0x3b && after % 2 === 0) {
            pieces.push(head.slice(from, at));
            from = at + 1;
        }
    }
    pieces.push(head.slice(from));
    return pieces;
}

// Takes a property's parameters as written; returns them by upper-case name,
// values unquoted. vCard 2.1's bare parameters name an encoding or a type.
function contactsParams(written) {
    const params = {};
    for (const param of written) {
        const equals = param.indexOf('=');
        if (equals < 0) {
            const bare = param.trim().toUpperCase();
            params[/^(QUOTED-PRINTABLE|BASE64|8BIT|7BIT)$/.test(bare) ? 'ENCODING' : 'TYPE'] = bare;
            continue;
        }
        const name = param.slice(0, equals).trim().toUpperCase();
        params[name] = param.slice(equals + 1).trim().replace(/^"(.*)"$/, '$1');
    }
    return params;
}
