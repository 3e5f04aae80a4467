// SPDX-License-Identifier: ISC
// The saved person whose chart is shown: the one whose name and date of birth the fields hold.
import { element } from './form.mjs';
import { fileStem, personKey } from './people.mjs';
import { peopleList, rememberShown } from './people-store.mjs';

// Returns the saved person whose name and date of birth the fields hold, or null.
export function personShown() {
    const key = personKey({ name: element('name').value.trim(), birth: element('birth').value });
    return peopleList().find((person) => personKey(person) === key) ?? null;
}

// Marks the saved person whose chart is shown, and names the calendar's file
// after them; without one, the calendar is tivorel.ics.
export function markShown() {
    const person = personShown();
    const key = person === null ? null : personKey(person);
    // Only the buttons whose mark changes: the list may hold thousands.
    for (const button of element('people').querySelectorAll('.person[aria-current="true"]'))
        button.setAttribute('aria-current', 'false');
    const button = key === null ? null : element('people').querySelector(`.person[data-key="${CSS.escape(key)}"]`);
    button?.setAttribute('aria-current', 'true');
    if (person !== null)
        rememberShown(key);
    const file = person === null ? 'tivorel.ics' : fileStem(person.name) + '-critical-days.ics';
    const link = element('save-calendar');
    if (link.download !== file) {
        link.download = file;
        link.textContent = 'Save the critical days as ' + file;
    }
}
