// SPDX-License-Identifier: ISC
// The diary as diary.csv: saved with every saved person's ratings, and added back from such a file, with
// the people it names who are not in the list, never over a rating this device has.
import { isoDate } from './dates.mjs';
import { diaryCsv, diaryCsvAdd, diaryCsvRead, diaryCsvSummary } from './diary-csv.mjs';
import { diaryChange, diaryShow, diaryShown } from './diary-view.mjs';
import { offerFile } from './files.mjs';
import { element } from './form.mjs';
import { mergePeople } from './people.mjs';
import { nameRefusal, showPeople } from './people-list.mjs';
import { changePeople, peopleList } from './people-store.mjs';

// Takes the click on the diary's link; points it at diary.csv made of the diary as it is now.
export function saveDiary(event) {
    offerFile(event.currentTarget, diaryCsv(diaryShown()), 'text/csv');
}

// Takes the file input; adds the diary of the file chosen in it, or refuses the file whole and says at
// which line and why; empties the input, so that the same file chosen again is read again.
export async function addDiary(input) {
    const file = input.files[0];
    if (file === undefined)
        return;
    const message = element('diary-file-msg');
    message.textContent = '';
    let bytes = null;
    try {
        bytes = new Uint8Array(await file.arrayBuffer());
    } catch {
        message.textContent = 'This file could not be read.';
        input.value = '';
        return;
    }
    const read = diaryCsvRead(bytes, isoDate(new Date()), nameRefusal);
    let result = read;
    if (read.records !== undefined) {
        // Made in the diary as stored now, which another tab may have changed since.
        diaryChange((stored) => {
            result = diaryCsvAdd(read.records, peopleList(), stored);
            return result.diary;
        }, false);
        if (result.people.length > 0) {
            changePeople((list) => mergePeople(list, result.people), false);
            showPeople();
        }
        diaryShow();
    }
    message.textContent = diaryCsvSummary(result, file.name);
    input.value = '';
}
