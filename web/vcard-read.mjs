// SPDX-License-Identifier: ISC
// Reads the people out of a vCard file: each contact's name and date of birth, for the page's list of
// people, and the sentence that tells the reader what was added and what was left out, and why.
import { atOnce } from './slices.mjs';
import { contactsUtf8 } from './vcard-bytes.mjs';
import { contactsCards } from './vcard-cards.mjs';
import { contactsSplit, contactsText, contactsUnescape } from './vcard-values.mjs';

// The largest file read, in bytes; a larger one is refused before it is read.
const contactsSizeLimit = 50000000;
// The longest name the tool takes as a calendar's name, in bytes of UTF-8.
const contactsNameLimit = 100;
// Made once, for every contact's name.
const contactsEncoder = new TextEncoder();
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

// Takes the size of a file in bytes; returns { error } where it is over the
// limit, else null.
export function contactsOversize(size) {
    return size <= contactsSizeLimit ? null : { error: `This file is over ${contactsSizeLimit / 1e6} MB ` +
        `(${contactsSizeLimit.toLocaleString('en')} bytes), more than the page reads: nobody was added.` };
}

// Takes the file's bytes (a Uint8Array, or null where the file could not be
// read) and the people already in the list ([{ name, birth }]); returns
// { error } for a file that is too large or holds no vCard, else { people:
// [{ name, birth }], skipped: { noBirthday, noYear, badDate, noName, badName,
// known }, cutOff }, the people in the file's order, each name NFC and each
// birth YYYY-MM-DD, and how many cards were cut off. Yields between pieces of
// work, so that the page can answer while a large file is read.
export function* contactsReading(bytes, known = []) {
    if (!(bytes instanceof Uint8Array))
        return { error: 'This file could not be read.' };
    const oversize = contactsOversize(bytes.length);
    if (oversize !== null)
        return oversize;
    const file = yield* contactsUtf8(bytes);
    const { cards, cutOff } = yield* contactsCards(file.bytes, !file.utf16);
    if (cards.length === 0)
        return { error: 'This file holds no contacts in vCard form: nobody was added.' };
    const seen = new Set(known.map((person) => contactsKey(person.name.normalize('NFC'), person.birth)));
    const skipped = Object.fromEntries(contactsReasons.map(([reason]) => [reason, 0]));
    const people = [];
    for (const card of cards) {
        yield;
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
    return { people, skipped, cutOff };
}

// Takes the file's bytes and the people already in the list; returns what
// contactsReading returns, read all at once.
export function contactsRead(bytes, known = []) {
    return atOnce(contactsReading(bytes, known));
}

// Takes what contactsRead returned; returns the sentence to show the reader.
export function contactsSummary(result) {
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
    const cut = result.cutOff;
    if (cut > 0)
        sentence += `. ${cut} ${cut === 1 ? 'contact was' : 'contacts were'} cut off in the file and read as far ` +
            `as ${cut === 1 ? 'it' : 'they'} went`;
    return sentence + '.';
}

// Takes a card; returns its name, NFC: FN where it has one, else the given
// and middle names then the family name from N; '' for neither.
function contactsName(card) {
    if (card.FN !== undefined) {
        const formatted = contactsUnescape(contactsText(card.FN)).trim();
        if (formatted !== '')
            return contactsNfc(formatted);
    }
    if (card.N === undefined)
        return '';
    const [family = '', given = '', middle = ''] = contactsSplit(contactsText(card.N), ';');
    const names = [given, middle, family].flatMap((field) => contactsSplit(field, ','))
        .map((name) => contactsUnescape(name).trim()).filter((name) => name !== '');
    return contactsNfc(names.join(' '));
}

// Takes text; returns it NFC. Text with no character from U+0300 up, where
// the combining marks begin, is NFC already, which is far quicker to tell.
function contactsNfc(text) {
    return /[^\u0000-\u02ff]/.test(text) ? text.normalize('NFC') : text;
}

// Takes a name; returns whether the tool takes it as a calendar's name: not
// empty, no control character (C0, DEL, C1), at most 100 bytes of UTF-8.
function contactsNameUsable(name) {
    // A name of more characters than the limit has more bytes too.
    if (name === '' || name.length > contactsNameLimit || /[\u0000-\u001f\u007f-\u009f]/.test(name))
        return false;
    return contactsEncoder.encode(name).length <= contactsNameLimit;
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
    // The page saves nobody born in the year 0 (birthToSave in person-form.mjs), so neither does a file.
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
