// SPDX-License-Identifier: ISC
// The people: a name and a date of birth each, one person however the name's letters are composed; their
// list as web storage holds it, read and changed as the list stored now, which another tab may have
// changed since. Takes the storage as an argument: the page passes the browser's.
import { storedChange, storedLoad } from './stored.mjs';

// Where the list is stored; its form there is { version: 1, people: [{ name, birth }] }.
export const peopleKey = 'tivorel.people';

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

// Takes the stored people; returns them, each name NFC and each person once, or null where they are not a
// list in the form this version of the page writes.
function readPeople(people) {
    const isPerson = (person) => typeof person?.name === 'string' && person.name !== '' &&
        /^\d{4}-\d\d-\d\d$/.test(person.birth);
    if (!Array.isArray(people) || !people.every(isPerson))
        return null;
    return mergePeople(people.map(({ name, birth }) => ({ name: name.normalize('NFC'), birth })));
}

// The list's stored form, for stored.mjs: a list of people; where a write failed, the list stored and the
// one shown make one, the stored people first.
const peopleForm = { key: peopleKey, version: 1, empty: [], read: readPeople, merge: mergePeople,
    kept: 'what it holds now is kept until you save a person' };

// Takes web storage, or null where the page may not use it, and the list shown and whether it holds a
// change that storage lacks (a write failed); returns { people }, the list stored, merged with the list
// shown where a write failed, { unreadable: the stored text } or, where storage cannot be read at all,
// { failure: why }.
export function readStored(storage, shown = [], unstored = false) {
    const { value, ...rest } = storedLoad(storage, peopleForm, shown, unstored);
    return value === undefined ? rest : { people: value };
}

// Takes web storage or null, the list shown and whether it holds a change that storage lacks (a write
// failed), a change of the list (people in, people out) and whether it saves a person; makes the change in
// the list as stored now and stores the result. What storage cannot read is written over only by a save.
// Returns the list, whether storage lacks it, the stored text it could not read, if any, and why the write
// failed, or ''.
export function changeStored(storage, shown, unstored, change, saving) {
    const { value, ...rest } = storedChange(storage, peopleForm, shown, unstored, change, saving);
    return { list: value, ...rest };
}

// Takes a name; returns it as the stem of a file name that every system
// takes: its letters and digits in any script, a '-' for each run of anything
// else, at most 40 characters; 'person' where nothing is left.
export function fileStem(name) {
    const stem = [...name.normalize('NFC').replace(/[^\p{L}\p{M}\p{N}]+/gu, '-').replace(/^-+/, '')]
        .slice(0, 40).join('').replace(/-+$/, '');
    return stem === '' ? 'person' : stem;
}
