// SPDX-License-Identifier: ISC
// The list of people this page shows, kept in the browser's web storage and nowhere else, and what the page
// says where storage fails it; and the saved person shown last, to open on.
import { element } from './form.mjs';
import { offerFile } from './files.mjs';
import { changeStored, personKey, readStored } from './people.mjs';

// Where the key of the saved person shown last is stored, to open on them (lastPerson).
const shownKey = 'tivorel.shown';

// The people shown, in the order saved, and whether the list shown holds a change that storage lacks (a
// write failed).
let list = [];
let unstored = false;

// Returns the browser's web storage, or null where the page may not use it:
// some browsers refuse it to a page opened from disk, some throw at the look.
export function peopleStorage() {
    try {
        return window.localStorage ?? null;
    } catch {
        return null;
    }
}

// Returns the people shown, in the order saved.
export function peopleList() {
    return list;
}

// Takes a message, or ''; shows it where storage's failures are told.
function storageMessage(message) {
    element('storage-msg').textContent = message;
}

// Takes the stored text this page cannot read; offers it as a file, while
// the page is open, even once a save has written over it.
function offerStored(text) {
    offerFile(element('save-stored'), text, 'text/plain');
    element('stored-msg').hidden = false;
}

// Reads the stored list, with what a failed write left unstored; where
// storage cannot be read, keeps the list and says why.
export function loadPeople() {
    const stored = readStored(peopleStorage(), list, unstored);
    if (stored.unreadable !== undefined)
        offerStored(stored.unreadable);
    else if (stored.failure !== undefined)
        storageMessage(`The list of people cannot be read from this browser's storage: ${stored.failure}.`);
    if (stored.people !== undefined)
        list = stored.people;
}

// Takes a change of the list (people in, people out) and whether it saves a
// person; makes it in the list as stored now, which another tab may have
// changed since, and stores the result. What storage cannot read is written
// over only by a save; a write that fails leaves the change on the page and
// says so.
export function changePeople(change, saving) {
    const changed = changeStored(peopleStorage(), list, unstored, change, saving);
    ({ list, unstored } = changed);
    if (changed.unreadable !== undefined)
        offerStored(changed.unreadable);
    storageMessage(changed.failure === '' ? '' : `The list could not be stored in this browser ` +
        `(${changed.failure}). It stays on this page while the page is open: save the people as people.vcf ` +
        'to keep them.');
}

// Takes a key; returns the text kept under it on this device, or null: none, or no storage.
export function keptText(key) {
    try {
        return peopleStorage()?.getItem(key) ?? null;
    } catch {
        return null;
    }
}

// Takes a key and a text; keeps the text under the key on this device, where storage takes it.
export function keepText(key, text) {
    try {
        peopleStorage()?.setItem(key, text);
    } catch {
        // Not kept: the caller keeps what it needs while the page is open.
    }
}

// Takes the key of the saved person shown; keeps it on this device, never in the address. Where storage
// refuses it, the page opens on the empty form, as it did before.
export function rememberShown(key) {
    keepText(shownKey, key);
}

// Returns the saved person shown last, or null: none shown yet, removed since, or no storage.
export function lastPerson() {
    const key = keptText(shownKey);
    return list.find((person) => personKey(person) === key) ?? null;
}
