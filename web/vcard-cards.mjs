// SPDX-License-Identifier: ISC
// The cards of a vCard file, as phones and mail programs export their contacts (vCard 2.1, 3.0 and 4.0):
// the lines unfolded, quoted-printable soft line breaks joined, and each card's properties that give a
// contact's name and birthday, their values still as written, one character per byte.

// The properties a contact's name and birthday come from, and those that open
// and close a card and give its version; every other one (photos above all)
// is passed over unread.
const contactsWanted = new Set(['BEGIN', 'END', 'VERSION', 'FN', 'N', 'BDAY']);

// Takes bytes; returns a string of one character per byte, of that byte's
// value, so that each value's bytes can be decoded in its own charset.
export function contactsBinary(bytes) {
    const start = bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf ? 3 : 0;
    const chunks = [];
    // A chunk at a time: one call with the whole file as arguments overflows the stack.
    for (let at = start; at < bytes.length; at += 8192)
        chunks.push(String.fromCharCode.apply(null, bytes.subarray(at, at + 8192)));
    return chunks.join('');
}

// Takes the file as one character per byte; returns its complete cards, each
// the card's first VERSION, FN, N and BDAY by name, as contactsProperty gives
// them. Folded lines are unfolded and quoted-printable soft line breaks joined.
export function contactsCards(text) {
    const reading = { cards: [], card: null, depth: 0 };
    // The wanted logical line read so far, or null while an unwanted one is read.
    let pending = null;
    // Whether the line before ended in a quoted-printable soft line break.
    let soft = false;
    for (const line of text.split(/\r\n|\r|\n/)) {
        if (soft) {
            if (pending !== null)
                pending = pending.slice(0, -1) + line;
            soft = line.endsWith('=');
            continue;
        }
        const first = line.charCodeAt(0);
        if (first === 0x20 || first === 0x09) {
            // vCard 2.1 keeps the white space that begins a folded line; later versions drop it.
            const version21 = reading.card !== null && reading.card.VERSION?.value.trim() === '2.1';
            if (pending !== null)
                pending += version21 ? line : line.slice(1);
            continue;
        }
        if (pending !== null)
            contactsTake(reading, contactsProperty(pending));
        pending = contactsWanted.has(contactsPropertyName(line)) ? line : null;
        soft = line.endsWith('=') && /QUOTED-PRINTABLE/i.test(line.slice(0, line.indexOf(':')));
    }
    if (pending !== null)
        contactsTake(reading, contactsProperty(pending));
    return reading.cards;
}

// Takes the state of a reading and a property; opens, closes or fills in the
// card being read. A card inside another (vCard 2.1's AGENT) is not a contact.
function contactsTake(reading, property) {
    const value = property.value.trim().toUpperCase();
    if (property.name === 'BEGIN' && value === 'VCARD') {
        reading.depth++;
        if (reading.depth === 1)
            reading.card = {};
    } else if (property.name === 'END' && value === 'VCARD' && reading.depth > 0) {
        reading.depth--;
        if (reading.depth === 0) {
            reading.cards.push(reading.card);
            reading.card = null;
        }
    } else if (reading.depth === 1 && reading.card[property.name] === undefined) {
        reading.card[property.name] = property;
    }
}

// Takes a line; returns its property's name, upper case and without its
// group ("item1."), or '' for a line with no colon.
function contactsPropertyName(line) {
    const colon = line.indexOf(':');
    if (colon < 0)
        return '';
    let end = line.indexOf(';');
    if (end < 0 || end > colon)
        end = colon;
    return line.slice(line.lastIndexOf('.', end) + 1, end).toUpperCase();
}

// Takes an unfolded line; returns { name, params, value }: the property's
// name as contactsPropertyName gives it, its parameters as contactsParams
// gives them and its value as written (one character per byte).
function contactsProperty(line) {
    // The value begins at the first colon outside a parameter's quotes.
    let colon = line.indexOf(':');
    const quote = line.indexOf('"');
    if (quote >= 0 && quote < colon) {
        let quoted = false;
        for (colon = 0; colon < line.length; colon++) {
            if (line[colon] === '"')
                quoted = !quoted;
            else if (line[colon] === ':' && !quoted)
                break;
        }
    }
    const head = line.slice(0, colon).split(/;(?=(?:[^"]*"[^"]*")*[^"]*$)/);
    const name = head[0].slice(head[0].lastIndexOf('.') + 1).toUpperCase();
    return { name, params: contactsParams(head.slice(1)), value: line.slice(colon + 1) };
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
