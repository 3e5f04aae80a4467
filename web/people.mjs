// SPDX-License-Identifier: ISC
// The people: a name and a date of birth each, one person however the name's letters are composed; their
// list as web storage holds it, read and changed as the list stored now, which another tab may have
// changed since. Takes the storage as an argument: the page passes the browser's.

// Where the list is stored, and the version of its form there:
// { version, people: [{ name, birth }] }.
export const peopleKey = 'tivorel.people';
const peopleVersion = 1;

// Takes a person; returns what makes them one person: the date of birth and
// the name after NFC normalization, as two ways to write "ü" are one name.
export function personKey(person) {
    return person.birth + ' ' + person.name.normalize('NFC');
}

// Takes lists of people; returns one list with each person once, where first met.
export function mergePeople(...lists) {
    const merged = new Map();
    for (const person of lists.flat()) {
        if (!merged.has(personKey(person)))
            merged.set(personKey(person), person);
    }
    return [...merged.values()];
}

// Takes the stored text; returns its people, or null where it is not a list
// in the form this version of the page writes.
function parsePeople(text) {
    let stored = null;
    try {
        stored = JSON.parse(text);
    } catch {
        return null;
    }
    const isPerson = (person) => typeof person?.name === 'string' && person.name !== '' &&
        /^\d{4}-\d\d-\d\d$/.test(person.birth);
    if (stored?.version !== peopleVersion || !Array.isArray(stored.people) || !stored.people.every(isPerson))
        return null;
    return mergePeople(stored.people.map(({ name, birth }) => ({ name: name.normalize('NFC'), birth })));
}

// Takes web storage, or null where the page may not use it; returns { people }, { unreadable: the stored
// text } or, where storage cannot be read at all, { failure: why }.
export function readStored(storage) {
    if (storage === null)
        return { failure: 'this browser gives this page no web storage' };
    try {
        const text = storage.getItem(peopleKey);
        const list = text === null ? [] : parsePeople(text);
        return list === null ? { unreadable: text } : { people: list };
    } catch (error) {
        return { failure: error.message };
    }
}

// Takes web storage or null, the list shown and whether it holds a change that storage lacks (a write
// failed), a change of the list (people in, people out) and whether it saves a person; makes the change in
// the list as stored now and stores the result. What storage cannot read is written over only by a save.
// Returns the list, whether storage lacks it, the stored text it could not read, if any, and why the write
// failed, or ''.
export function changeStored(storage, shown, unstored, change, saving) {
    const stored = readStored(storage);
    const base = stored.people === undefined ? shown : unstored ? mergePeople(stored.people, shown) : stored.people;
    const list = change(base);
    try {
        if (stored.unreadable !== undefined && !saving)
            throw new Error('what it holds now is kept until you save a person');
        if (storage === null)
            throw new Error(stored.failure);
        storage.setItem(peopleKey, JSON.stringify({ version: peopleVersion, people: list }));
        return { list, unstored: false, unreadable: stored.unreadable, failure: '' };
    } catch (error) {
        return { list, unstored: true, unreadable: stored.unreadable, failure: error.message };
    }
}

// Takes a name; returns it as the stem of a file name that every system
// takes: its letters and digits in any script, a '-' for each run of anything
// else, at most 40 characters; 'person' where nothing is left.
export function fileStem(name) {
    const stem = [...name.normalize('NFC').replace(/[^\p{L}\p{M}\p{N}]+/gu, '-').replace(/^-+/, '')]
        .slice(0, 40).join('').replace(/-+$/, '');
    return stem === '' ? 'person' : stem;
}
