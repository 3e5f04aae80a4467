// SPDX-License-Identifier: ISC
// The people: a name and a date of birth each, kept in the browser's web
// storage and nowhere else; their list, a second person to compare the chart
// with, the list as a vCard file, and people added from one (contacts.js,
// inlined before this file, reads it). page.js, inlined after this file in the
// same script, draws the chart with what comparison() returns and starts the
// page; what this file does as it loads needs only page.js's functions.
'use strict';

// Where the list is stored, and the version of its form there:
// { version, people: [{ name, birth }] }.
const peopleKey = 'tivorel.people';
const peopleVersion = 1;
// Where the key of the saved person shown last is stored, to open on them (lastPerson).
const shownKey = 'tivorel.shown';

// The people shown, in the order saved; whether the list shown holds a change
// that storage lacks (a write failed); the person removed last, for Undo.
const people = { list: [], unstored: false, removed: null };

// Takes a person; returns what makes them one person: the date of birth and
// the name after NFC normalization, as two ways to write "ü" are one name.
function personKey(person) {
    return person.birth + ' ' + person.name.normalize('NFC');
}

// Takes lists of people; returns one list with each person once, where first met.
function mergePeople(...lists) {
    const merged = new Map();
    for (const person of lists.flat()) {
        if (!merged.has(personKey(person)))
            merged.set(personKey(person), person);
    }
    return [...merged.values()];
}

// Returns the browser's web storage, or null where the page may not use it:
// some browsers refuse it to a page opened from disk, some throw at the look.
function peopleStorage() {
    try {
        return window.localStorage ?? null;
    } catch {
        return null;
    }
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

// Reads storage; returns { people }, { unreadable: the stored text } or, where
// storage cannot be read at all, { failure: why }.
function readStored() {
    const storage = peopleStorage();
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

// Reads the stored list and shows it, with what a failed write left unstored;
// where storage cannot be read, keeps the list shown and says why.
function loadPeople() {
    const stored = readStored();
    if (stored.unreadable !== undefined)
        offerStored(stored.unreadable);
    else if (stored.failure !== undefined)
        storageMessage(`The list of people cannot be read from this browser's storage: ${stored.failure}.`);
    if (stored.people !== undefined)
        people.list = people.unstored ? mergePeople(stored.people, people.list) : stored.people;
    showPeople();
}

// Takes a change of the list (people in, people out) and whether it saves a
// person; makes it in the list as stored now, which another tab may have
// changed since, and stores the result. What storage cannot read is written
// over only by a save; a write that fails leaves the change on the page and
// says so.
function changePeople(change, saving) {
    const stored = readStored();
    const base = stored.people === undefined ? people.list
        : people.unstored ? mergePeople(stored.people, people.list) : stored.people;
    people.list = change(base);
    if (stored.unreadable !== undefined)
        offerStored(stored.unreadable);
    try {
        if (stored.unreadable !== undefined && !saving)
            throw new Error('what it holds now is kept until you save a person');
        const storage = peopleStorage();
        if (storage === null)
            throw new Error(readStored().failure);
        storage.setItem(peopleKey, JSON.stringify({ version: peopleVersion, people: people.list }));
        people.unstored = false;
        storageMessage('');
    } catch (error) {
        people.unstored = true;
        storageMessage(`The list could not be stored in this browser (${error.message}). It stays on this ` +
            'page while the page is open: save the people as people.vcf to keep them.');
    }
    showPeople();
}

// Takes a text, what a click on the button does, and a label where the text
// alone does not say whom it is for; returns the button.
function peopleButton(text, action, label) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = text;
    if (label !== undefined)
        button.setAttribute('aria-label', label);
    button.addEventListener('click', action);
    return button;
}

// Takes a person; returns their item in the list: a button with their name
// that draws their chart, their date of birth, and Rename and Remove.
function personItem(person) {
    const item = document.createElement('li');
    const open = peopleButton(person.name, () => drawPerson(person));
    open.className = 'person';
    open.dataset.key = personKey(person);
    const birth = document.createElement('span');
    birth.textContent = person.birth;
    item.append(open, birth, peopleButton('Rename', () => startRename(item, person), `Rename ${person.name}`),
        peopleButton('Remove', () => removePerson(person), `Remove ${person.name}`));
    return item;
}

// Shows the list, the people to compare with (the one chosen stays chosen)
// and the person whose chart is shown.
function showPeople() {
    element('people').replaceChildren(...people.list.map(personItem));
    const compare = element('compare');
    const chosen = compare.value;
    compare.replaceChildren(new Option('nobody', ''),
        ...people.list.map((person) => new Option(`${person.name} (${person.birth})`, personKey(person))));
    compare.value = people.list.some((person) => personKey(person) === chosen) ? chosen : '';
    element('people-actions').hidden = people.list.length === 0;
    markShown();
}

// Takes a person's key; gives their button in the list the focus.
function focusPerson(key) {
    element('people').querySelector(`[data-key="${CSS.escape(key)}"]`)?.focus();
}

// Returns the saved person whose name and date of birth the fields hold, or null.
function personShown() {
    const key = personKey({ name: element('name').value.trim(), birth: element('birth').value });
    return people.list.find((person) => personKey(person) === key) ?? null;
}

// Takes a name; returns it as the stem of a file name that every system
// takes: its letters and digits in any script, a '-' for each run of anything
// else, at most 40 characters; 'person' where nothing is left.
function fileStem(name) {
    const stem = [...name.normalize('NFC').replace(/[^\p{L}\p{M}\p{N}]+/gu, '-').replace(/^-+/, '')]
        .slice(0, 40).join('').replace(/-+$/, '');
    return stem === '' ? 'person' : stem;
}

// Marks the saved person whose chart is shown, and names the calendar's file
// after them; without one, the calendar is tivorel.ics.
function markShown() {
    const person = personShown();
    const key = person === null ? null : personKey(person);
    for (const button of element('people').querySelectorAll('.person'))
        button.setAttribute('aria-current', button.dataset.key === key ? 'true' : 'false');
    if (person !== null)
        rememberShown(key);
    const file = person === null ? 'tivorel.ics' : fileStem(person.name) + '-critical-days.ics';
    const link = element('save-calendar');
    if (link.download !== file) {
        link.download = file;
        link.textContent = 'Save the critical days as ' + file;
    }
}

// Takes the key of the saved person shown; keeps it on this device, never in the address. Where storage
// refuses it, the page opens on the empty form, as it did before.
function rememberShown(key) {
    try {
        peopleStorage()?.setItem(shownKey, key);
    } catch {
        // The page opens on the empty form next time.
    }
}

// Returns the saved person shown last, or null: none shown yet, removed since, or no storage.
function lastPerson() {
    let key = null;
    try {
        key = peopleStorage()?.getItem(shownKey);
    } catch {
        // No storage: no person.
    }
    return people.list.find((person) => personKey(person) === key) ?? null;
}

// Takes a person; draws their chart, with the first day, days and curves kept.
function drawPerson(person) {
    element('birth').value = person.birth;
    element('name').value = person.name;
    showNameMessage('');
    update();
}

// Takes the tool's message about the name, or ''; shows it under the name.
function showNameMessage(message) {
    element('name-msg').textContent = message;
    if (message === '')
        element('name').removeAttribute('aria-invalid');
    else
        element('name').setAttribute('aria-invalid', 'true');
}

// Takes a name; returns the tool's message where the tool refuses it as the
// name in a calendar, else ''.
function nameRefusal(name) {
    const run = runTool(['--calendar', '--name', name, '--', '2000-01-01', '2000-01-01', '1']);
    return run.status === 0 ? '' : run.err;
}

// Takes a date of birth as typed; returns { birth } as the tool's table writes
// it, so that two ways to type one date are one person, or { refusal }.
// vCard dates have years 1 to 9999, and the saved list must go into one.
function birthToSave(typed) {
    const run = runTool(['--table', '--', typed, typed, '1']);
    if (run.status !== 0)
        return { refusal: run.err };
    const birth = parseTable(run.out).rows[0][0];
    return /^(?!0000)\d{4}-/.test(birth) ? { birth }
        : { refusal: `${birth}: a person is saved with a year of birth from 1 to 9999.` };
}

// Saves the person in the fields, or shows the tool's message under the field
// it refuses; says whom it saved.
function savePerson() {
    const name = element('name').value.trim().normalize('NFC');
    const refusal = nameRefusal(name);
    showNameMessage(refusal);
    const date = refusal === '' ? birthToSave(element('birth').value) : {};
    if (date.refusal !== undefined)
        showMessage('birth', date.refusal);
    if (date.birth === undefined)
        return;
    const person = { name, birth: date.birth };
    changePeople((list) => mergePeople(list, [person]), true);
    element('name').value = name;
    note(`Saved ${name}, born ${date.birth}.`, false);
    if (element('birth').value !== date.birth) {
        element('birth').value = date.birth;
        update();
    }
    markShown();
}

// Takes a person's item in the list and the person; puts a field for the new
// name in the item's place, which Enter or Rename takes and Escape leaves.
function startRename(item, person) {
    const field = document.createElement('input');
    field.type = 'text';
    field.value = person.name;
    field.setAttribute('aria-label', `New name for ${person.name}`);
    const message = document.createElement('p');
    message.className = 'msg';
    const rename = () => renamePerson(person, field.value.trim().normalize('NFC'), message);
    const cancel = () => {
        showPeople();
        focusPerson(personKey(person));
    };
    field.addEventListener('keydown', (event) => {
        if (event.key === 'Enter')
            rename();
        else if (event.key === 'Escape')
            cancel();
    });
    item.replaceChildren(field, peopleButton('Rename', rename), peopleButton('Cancel', cancel), message);
    field.focus();
    field.select();
}

// Takes a person, their new name and where to show the tool's refusal of it;
// renames them, in the fields and the comparison too.
function renamePerson(person, name, message) {
    const refusal = nameRefusal(name);
    message.textContent = refusal;
    if (refusal !== '')
        return;
    const [before, after] = [person, { name, birth: person.birth }].map(personKey);
    const shownKey = personShown() === null ? null : personKey(personShown());
    const comparedKey = element('compare').value;
    changePeople((list) => mergePeople(list.map((each) => (personKey(each) === before ? { ...each, name } : each))),
        false);
    if (shownKey === before)
        element('name').value = name;
    if (comparedKey === before)
        element('compare').value = after;
    orFail(show);
    focusPerson(after);
}

// Takes a message and whether Undo goes with it; shows them.
function note(message, withUndo) {
    element('people-note').firstChild.textContent = message;
    element('undo').hidden = !withUndo;
}

// Takes a person; removes them, with Undo offered and given the focus.
function removePerson(person) {
    changePeople((list) => list.filter((each) => personKey(each) !== personKey(person)), false);
    people.removed = person;
    note(`Removed ${person.name}, born ${person.birth}.`, true);
    element('undo').focus();
    orFail(show);
}

// Puts back the person removed last.
function undoRemoval() {
    const person = people.removed;
    changePeople((list) => mergePeople(list, [person]), true);
    note(`${person.name} is back.`, false);
    orFail(show);
    focusPerson(personKey(person));
}

// Takes the file input; adds the people of the file chosen in it to the list,
// all in one change, says how many were added and how many skipped and why,
// and empties the input, so that the same file chosen again is read again.
async function addFromFile(input) {
    const file = input.files[0];
    if (file === undefined)
        return;
    const message = element('vcard-msg');
    // Emptied while the file is read, so that the same sentence again is heard again.
    message.textContent = '';
    let bytes = null;
    try {
        bytes = new Uint8Array(await file.arrayBuffer());
    } catch {
        // contactsRead says that the file could not be read.
    }
    const result = contactsRead(bytes, people.list);
    // Not a save: storage that this page cannot read is kept.
    if (result.people?.length > 0)
        changePeople((list) => mergePeople(list, result.people), false);
    message.textContent = contactsSummary(result);
    input.value = '';
}

// Takes the inputs of the chart; returns null where nobody is chosen to
// compare with, else: the name of the one chosen and of the chart's own
// person (or their date of birth), the tool's --compatibility run for the two,
// and the chosen one's --table for the same days and curves (parseTable), or
// null where the tool refuses it.
function comparison(inputs) {
    const other = people.list.find((person) => personKey(person) === element('compare').value);
    if (other === undefined)
        return null;
    const options = inputs.curves === '' ? [] : ['-' + inputs.curves];
    const run = runTool(['--compatibility', ...options, '--', inputs.birth, other.birth]);
    const table = runTool(['--table', ...toolArgs({ ...inputs, birth: other.birth })]);
    return { name: other.name, first: personShown()?.name ?? inputs.birth, run,
        table: table.status === 0 ? parseTable(table.out) : null };
}

// Takes what comparison() returned; shows the tool's output for the two, or
// its message, or nothing where nobody is compared.
function showComparison(other) {
    element('comparison').hidden = other === null;
    if (other === null)
        return;
    element('comparison-title').textContent = `Compatibility with ${other.name}`;
    element('compatibility').textContent = other.run.out;
    element('compatibility').hidden = other.run.status !== 0;
    element('comparison-msg').textContent = other.run.err;
}

// Takes a text value; returns it escaped as vCard 3.0 writes text.
function vcardText(text) {
    return text.replace(/[\\,;]/g, '\\$&').replace(/\r\n|\r|\n/g, '\\n');
}

// Takes a content line; returns it folded as vCard lines are: no line longer
// than 75 octets of UTF-8, no character split, each continuation begun by a space.
function vcardFold(line) {
    let [folded, octets] = ['', 0];
    for (const char of line) {
        const code = char.codePointAt(0);
        const size = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (octets + size > 75) {
            folded += '\r\n ';
            octets = 1;
        }
        folded += char;
        octets += size;
    }
    return folded;
}

// Takes people; returns them as vCard 3.0 text, a card each. The whole name is
// the given name: where a name splits into given and family names is unknown.
function peopleVcard(list) {
    return list.map(({ name, birth }) => ['BEGIN:VCARD', 'VERSION:3.0', `N:;${vcardText(name)};;;`,
        `FN:${vcardText(name)}`, `BDAY:${birth}`, 'END:VCARD'].map(vcardFold).join('\r\n') + '\r\n').join('');
}

element('save-person').addEventListener('click', () => orFail(savePerson));
element('name').addEventListener('input', () => {
    showNameMessage('');
    markShown();
});
element('compare').addEventListener('change', () => orFail(show));
element('undo').addEventListener('click', () => orFail(undoRemoval));
element('vcard-file').addEventListener('change', (event) => addFromFile(event.currentTarget));
// Made as the link is followed, from the list as it is then; until then, an empty file.
element('save-people').addEventListener('click', (event) =>
    offerFile(event.currentTarget, peopleVcard(people.list), 'text/vcard'));
// Another tab of this page changed the list, or storage was cleared.
window.addEventListener('storage', (event) => {
    if (event.key === peopleKey || event.key === null)
        loadPeople();
});
loadPeople();
