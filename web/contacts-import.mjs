// SPDX-License-Identifier: ISC
// "Add people from a vCard file": the people of a file of contacts added to the list in one change, and
// the sentence that says how many were added and skipped, and why.
import { element } from './form.mjs';
import { mergePeople } from './people.mjs';
import { showPeople } from './people-list.mjs';
import { changePeople, peopleList } from './people-store.mjs';
import { contactsRead, contactsSummary } from './vcard-read.mjs';

// Takes the file input; adds the people of the file chosen in it to the list,
// all in one change, says how many were added and how many skipped and why,
// and empties the input, so that the same file chosen again is read again.
export async function addFromFile(input) {
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
    const result = contactsRead(bytes, peopleList());
    // Not a save: storage that this page cannot read is kept.
    if (result.people?.length > 0) {
        changePeople((list) => mergePeople(list, result.people), false);
        showPeople();
    }
    message.textContent = contactsSummary(result);
    input.value = '';
}
