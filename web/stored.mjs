// SPDX-License-Identifier: ISC
// What the page keeps in web storage, each under a key of its own in a form of its own, { version, people }:
// read, and changed as stored now, which another tab may have changed since. Takes the storage as an
// argument: the page passes the browser's.

// Takes the stored text and the form; returns the value the page holds, or null where the text is not in
// the form this version of the page writes.
function storedParse(text, form) {
    let stored = null;
    try {
        stored = JSON.parse(text);
    } catch {
        return null;
    }
    return stored?.version === form.version ? form.read(stored.people) : null;
}

// Takes web storage, or null where the page may not use it, and the form: { key, version, empty: the value
// where nothing is stored, read: a function from the stored people to the value, or null where they are not
// in this form }. Returns { value }, { unreadable: the stored text } or, where storage cannot be read at
// all, { failure: why }.
function storedRead(storage, form) {
    if (storage === null)
        return { failure: 'this browser gives this page no web storage' };
    try {
        const text = storage.getItem(form.key);
        const value = text === null ? form.empty : storedParse(text, form);
        return value === null ? { unreadable: text } : { value };
    } catch (error) {
        return { failure: error.message };
    }
}

// Takes web storage or null, the form (storedRead's, with merge: a function from the value stored and the
// value shown to one value of both), the value shown and whether it holds a change that storage lacks (a
// write failed); returns what storedRead returns, its value merged with the value shown where a write failed.
export function storedLoad(storage, form, shown, unstored) {
    const stored = storedRead(storage, form);
    return stored.value === undefined || !unstored ? stored : { value: form.merge(stored.value, shown) };
}

// Takes web storage or null, the form (storedLoad's, with kept: why what storage holds that the page cannot
// read is kept), the value shown and whether it holds a change that storage lacks (a write failed), a change
// of the value and whether it is one the person makes to keep something (a save); makes the change in the
// value as stored now, merged with the value shown where a write failed, and stores the result. What storage
// holds that the page cannot read is written over only by a change that keeps something. Returns { value,
// unstored: whether storage lacks it, unreadable: the stored text the page could not read, if any,
// failure: why the write failed, or '' }.
export function storedChange(storage, form, shown, unstored, change, keeping) {
    const stored = storedLoad(storage, form, shown, unstored);
    const value = change(stored.value ?? shown);
    try {
        if (stored.unreadable !== undefined && !keeping)
            throw new Error(form.kept);
        if (storage === null)
            throw new Error(stored.failure);
        storage.setItem(form.key, JSON.stringify({ version: form.version, people: value }));
        return { value, unstored: false, unreadable: stored.unreadable, failure: '' };
    } catch (error) {
        return { value, unstored: true, unreadable: stored.unreadable, failure: error.message };
    }
}
