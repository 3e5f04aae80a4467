// SPDX-License-Identifier: ISC
// Reads the people out of a vCard file, as phones and mail programs export
// their contacts (vCard 2.1, 3.0 and 4.0): each contact's name and date of
// birth, for the page's list of people, and the sentence that tells the
// reader what was added and what was left out, and why. No page needed: the
// page's script calls contactsRead and contactsSummary, and so can node.
'use strict';

// The properties a contact's name and birthday come from, and those that open
// and close a card and give its version; every other one (photos above all)
// is passed over unread.
const contactsWanted = new Set(['BEGIN', 'END', 'VERSION', 'FN', 'N', 'BDAY']);
// The longest name the tool takes as a calendar's name, in bytes of UTF-8.
const contactsNameLimit = 100;
// Apple's stand-in year for a birthday whose year the owner left out; old
// iPhones wrote it without the parameter that says so.
const contactsNoYear = '1604';
// Why a contact was not added, in the order the summary tells them: the words
// for one and for several.
const contactsReasons = [
    ['noBirthday', 'had no birthday', 'had no birthday'],
    ['noYear', 'had no year', 'had no year'],
    ['badDate', 'had a birthday that is not a real date', 'had birthdays that are not real dates'],
    ['noName', 'had no name', 'had no name'],
    ['badName', 'had an unusable name', 'had unusable names'],
    ['known', 'was already in the list', 'were already in the list'],
];

// Takes the file's bytes (a Uint8Array, or null where the file could not be
// read) and the people already in the list ([{ name, birth }]); returns
// { error } for a file that holds no vCard, else { people: [{ name, birth }],
// skipped: { noBirthday, noYear, badDate, noName, badName, known } }, the
// people in the file's order, each name NFC and each birth YYYY-MM-DD.
function contactsRead(bytes, known = []) {
    if (!(bytes instanceof Uint8Array))
        return { error: 'This file could not be read.' };
    const cards = contactsCards(contactsBinary(bytes));
    if (cards.length === 0)
        return { error: 'This file holds no contacts in vCard form: nobody was added.' };
    const seen = new Set(known.map((person) => contactsKey(person.name.normalize('NFC'), person.birth)));
    const skipped = Object.fromEntries(contactsReasons.map(([reason]) => [reason, 0]));
    const people = [];
    for (const card of cards) {
        const person = contactsPerson(card);
        if (person.reason === undefined && seen.has(contactsKey(person.name, person.birth)))
            person.reason = 'known';
        if (person.reason !== undefined) {
            skipped[person.reason]++;
            continue;
        }
        seen.add(contactsKey(person.name, person.birth));
        people.push(person);
    }
    return { people, skipped };
}

// Takes what contactsRead returned; returns the sentence to show the reader.
function contactsSummary(result) {
    if (result.error !== undefined)
        return result.error;
    const added = result.people.length;
    let sentence = added === 0 ? 'No one added' : `${added} ${added === 1 ? 'person' : 'people'} added`;
    const reasons = contactsReasons.filter(([reason]) => result.skipped[reason] > 0)
        .map(([reason, one, several]) => {
            const count = result.skipped[reason];
            return `${count} ${count === 1 ? one : several}`;
        });
    const total = contactsReasons.reduce((sum, [reason]) => sum + result.skipped[reason], 0);
    if (total > 0)
        sentence += `, ${total} skipped: ${reasons.join(', ')}`;
    return sentence + '.';
}

// Takes bytes; returns a string of one character per byte, of that byte's
// value, so that each value's bytes can be decoded in its own charset.
function contactsBinary(bytes) {
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
function contactsCards(text) {
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

// Takes a property; returns its value as text, decoded from quoted-printable
// where it says so and from its charset, escapes still in.
function contactsText(property) {
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
function contactsSplit(text, separator) {
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
function contactsUnescape(text) {
    return text.replace(/\\([,;\\nN])/g, (escape, char) => (char === 'n' || char === 'N' ? '\n' : char));
}

// Takes a card; returns its name, NFC: FN where it has one, else the given
// and middle names then the family name from N; '' for neither.
function contactsName(card) {
    if (card.FN !== undefined) {
        const formatted = contactsUnescape(contactsText(card.FN)).trim();
        if (formatted !== '')
            return formatted.normalize('NFC');
    }
    if (card.N === undefined)
        return '';
    const [family = '', given = '', middle = ''] = contactsSplit(contactsText(card.N), ';');
    const names = [given, middle, family].flatMap((field) => contactsSplit(field, ','))
        .map((name) => contactsUnescape(name).trim()).filter((name) => name !== '');
    return names.join(' ').normalize('NFC');
}

// Takes a name; returns whether the tool takes it as a calendar's name: not
// empty, no control character (C0, DEL, C1), at most 100 bytes of UTF-8.
function contactsNameUsable(name) {
    if (name === '' || /[\u0000-\u001f\u007f-\u009f]/.test(name))
        return false;
    return new TextEncoder().encode(name).length <= contactsNameLimit;
}

// Takes a card's BDAY property (undefined where it has none); returns
// { birth } as YYYY-MM-DD, or { reason } why there is none to use. The date
// is taken as written, whatever time and zone follow it.
function contactsBirth(property) {
    const written = property === undefined ? '' : contactsText(property).trim();
    if (written === '')
        return { reason: 'noBirthday' };
    // vCard 4.0's date without a year: --MMDD, --MM-DD, ---DD or --MM.
    if (written.startsWith('--'))
        return { reason: 'noYear' };
    const date = /^(\d{4})-?(\d\d)-?(\d\d)(?:[T ].*)?$/i.exec(written);
    if (date === null)
        return { reason: 'badDate' };
    const [, year, month, day] = date;
    if (year === contactsNoYear || property.params['X-APPLE-OMIT-YEAR'] === year)
        return { reason: 'noYear' };
    // The page saves nobody born in the year 0 (birthToSave in people.js), so neither does a file.
    if (year === '0000' || Number(month) < 1 || Number(month) > 12 || Number(day) < 1 ||
        Number(day) > contactsDaysInMonth(Number(year), Number(month)))
        return { reason: 'badDate' };
    return { birth: `${year}-${month}-${day}` };
}

// Takes a year and a month (1 to 12); returns its number of days, leap years Gregorian.
function contactsDaysInMonth(year, month) {
    const leap = (year % 4 === 0 && year % 100 !== 0) || year % 400 === 0;
    return [31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31][month - 1];
}

// Takes a card; returns { name, birth } for a person to add, or { reason } why not.
function contactsPerson(card) {
    const birth = contactsBirth(card.BDAY);
    if (birth.reason !== undefined)
        return birth;
    const name = contactsName(card);
    if (name === '')
        return { reason: 'noName' };
    if (!contactsNameUsable(name))
        return { reason: 'badName' };
    return { name, birth: birth.birth };
}

// Takes an NFC name and a birth; returns what one person is known by.
function contactsKey(name, birth) {
    return birth + '\n' + name;
}

if (typeof module !== 'undefined')
    module.exports = { contactsRead, contactsSummary };
