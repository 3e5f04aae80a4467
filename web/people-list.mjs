// SPDX-License-Identifier: ISC
// The People section's list: each saved person a button that draws their chart, with Rename and Remove,
// and Undo for the one removed last; the people to compare with.
import { aheadShow } from './ahead-view.mjs';
import { diaryPutBack, diaryRename, diaryShow, diaryTake } from './diary-view.mjs';
import { element } from './form.mjs';
import { mergePeople, personKey } from './people.mjs';
import { changePeople, peopleList } from './people-store.mjs';
import { markShown, personShown } from './person-shown.mjs';
import { drawPerson, orFail, show } from './result.mjs';
import { atOnce } from './slices.mjs';
import { runTool } from './tool.mjs';

// The person removed last, for Undo.
let removed = null;
// How many showings of the list have begun: one that begins makes any earlier one, unfinished, stop.
let showings = 0;
// The people whose items peopleShowing makes between two yields: a few milliseconds' work.
const peopleSlice = 250;

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
    // Until markShown marks the one whose chart is shown.
    open.setAttribute('aria-current', 'false');
    const birth = document.createElement('span');
    birth.textContent = person.birth;
    item.append(open, birth, peopleButton('Rename', () => startRename(item, person), `Rename ${person.name}`),
        peopleButton('Remove', () => removePerson(person), `Remove ${person.name}`));
    return item;
}

// Returns a generator that shows the list a piece at a time, yielding after
// each, so that a page that answers between them draws a piece at a time;
// then the people to compare with (the one chosen stays chosen), the person
// whose chart is shown and their diary, and everyone's days ahead. It stops
// where another showing begins.
export function* peopleShowing() {
    const showing = ++showings;
    const people = peopleList();
    const options = document.createDocumentFragment();
    for (let at = 0; at === 0 || at < people.length; at += peopleSlice) {
        const slice = people.slice(at, at + peopleSlice);
        element('people')[at === 0 ? 'replaceChildren' : 'append'](...slice.map(personItem));
        options.append(...slice.map((person) => new Option(`${person.name} (${person.birth})`, personKey(person))));
        yield;
        if (showing !== showings)
            return;
    }
    const compare = element('compare');
    const chosen = compare.value;
    compare.replaceChildren(new Option('nobody', ''), options);
    compare.value = people.some((person) => personKey(person) === chosen) ? chosen : '';
    element('people-actions').hidden = people.length === 0;
    markShown();
    diaryShow();
    aheadShow();
}

// Shows the list, the people to compare with, the person whose chart is
// shown and their diary, and everyone's days ahead, at once.
export function showPeople() {
    atOnce(peopleShowing());
}

// Takes a person's key; gives their button in the list the focus.
export function focusPerson(key) {
    element('people').querySelector(`[data-key="${CSS.escape(key)}"]`)?.focus();
}

// Takes a name; returns the tool's message where the tool refuses it as the
// name in a calendar, else ''.
export function nameRefusal(name) {
    const run = runTool(['--calendar', '--name', name, '--', '2000-01-01', '2000-01-01', '1']);
    return run.status === 0 ? '' : run.err;
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
    diaryRename(before, after);
    showPeople();
    if (shownKey === before)
        element('name').value = name;
    if (comparedKey === before)
        element('compare').value = after;
    orFail(show);
    focusPerson(after);
}

// Takes a message and whether Undo goes with it; shows them.
export function note(message, withUndo) {
    element('people-note').firstChild.textContent = message;
    element('undo').hidden = !withUndo;
}

// Takes a person; removes them, with Undo offered and given the focus.
function removePerson(person) {
    changePeople((list) => list.filter((each) => personKey(each) !== personKey(person)), false);
    diaryTake(personKey(person));
    showPeople();
    removed = person;
    note(`Removed ${person.name}, born ${person.birth}.`, true);
    element('undo').focus();
    orFail(show);
}

// Puts back the person removed last.
export function undoRemoval() {
    const person = removed;
    changePeople((list) => mergePeople(list, [person]), true);
    diaryPutBack(personKey(person));
    showPeople();
    note(`${person.name} is back.`, false);
    orFail(show);
    focusPerson(personKey(person));
}
