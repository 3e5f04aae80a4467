// SPDX-License-Identifier: ISC
// "Save this person": the name and the date of birth in the fields saved as a person, as the tool takes
// them, or the tool's message under the field it refuses.
import { element, showMessage, showNameMessage } from './form.mjs';
import { mergePeople } from './people.mjs';
import { nameRefusal, note, showPeople } from './people-list.mjs';
import { changePeople } from './people-store.mjs';
import { markShown } from './person-shown.mjs';
import { update } from './result.mjs';
import { toolDate } from './tool.mjs';

// Takes a date of birth as typed; returns { birth } as the tool's table writes
// it, so that two ways to type one date are one person, or { refusal }.
// vCard dates have years 1 to 9999, and the saved list must go into one.
function birthToSave(typed) {
    const { day: birth, refusal } = toolDate(typed);
    if (refusal !== undefined)
        return { refusal };
    return /^(?!0000)\d{4}-/.test(birth) ? { birth }
        : { refusal: `${birth}: a person is saved with a year of birth from 1 to 9999.` };
}

// Saves the person in the fields, or shows the tool's message under the field
// it refuses; says whom it saved.
export function savePerson() {
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
    showPeople();
    element('name').value = name;
    note(`Saved ${name}, born ${date.birth}.`, false);
    if (element('birth').value !== date.birth) {
        element('birth').value = date.birth;
        update();
    }
    markShown();
}
