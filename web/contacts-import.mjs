// SPDX-License-Identifier: ISC
// "Add people from a vCard file": the people of a file of contacts added to the list in one change, and
// the sentence that says how many were added and skipped, and why. The file is read, and the list drawn,
// in slices, the page answering between them, so that a large address book does not freeze it.
import { element } from './form.mjs';
import { mergePeople } from './people.mjs';
import { peopleShowing } from './people-list.mjs';
import { changePeople, peopleList } from './people-store.mjs';
import { inSlices } from './slices.mjs';
import { contactsOversize, contactsReading, contactsSummary } from './vcard-read.mjs';

// How long a slice of the reading runs before the page may answer, in milliseconds.
const contactsSliceMs = 25;
// How long the page reads before it says that it is reading, in milliseconds.
const contactsMomentMs = 300;

// The files added so far, one after another: a file chosen while another is read waits for it.
let adding = Promise.resolve();

// Takes the file input; adds the people of the file chosen in it to the list,
// all in one change, once the files chosen before it are added, says how many
// were added and how many skipped and why, and empties the input, so that the
// same file chosen again is read again. Returns a promise kept once done.
export function addFromFile(input) {
    const file = input.files[0];
    if (file === undefined)
        return adding;
    const added = adding.then(() => addFile(file, input));
    // A failure is the browser's to report; the next file is added all the same.
    adding = added.catch(() => undefined);
    return added;
}

// Takes a file and the input it was chosen in; adds its people, as
// addFromFile says. A file over the size limit is refused before it is read.
async function addFile(file, input) {
    const [message, list] = [element('vcard-msg'), element('people')];
    // Emptied while the file is read, so that the same sentence again is heard again.
    message.textContent = '';
    list.setAttribute('aria-busy', 'true');
    const slow = setTimeout(() => { message.textContent = 'Reading the contacts…'; }, contactsMomentMs);
    let result = contactsOversize(file.size);
    if (result === null) {
        let bytes = null;
        try {
            bytes = new Uint8Array(await file.arrayBuffer());
        } catch {
            // contactsReading says that the file could not be read.
        }
        result = await inSlices(contactsReading(bytes, peopleList()), contactsSliceMs);
    }
    // Not a save: storage that this page cannot read is kept.
    if (result.people?.length > 0) {
        changePeople((people) => mergePeople(people, result.people), false);
        await inSlices(peopleShowing(), 0);
    }
    clearTimeout(slow);
    list.removeAttribute('aria-busy');
    message.textContent = contactsSummary(result);
    input.value = '';
}
