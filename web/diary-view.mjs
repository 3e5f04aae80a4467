// SPDX-License-Identifier: ISC
// The Diary section: how the shown person's days went, rated 1 to 5 for the body, the mood and the mind,
// today's or an earlier day's, each rating kept on this device as it is chosen; the diary follows a person
// renamed, and goes and comes back with one removed and their Undo.
import { isoDate } from './dates.mjs';
import { changeDiary, diaryKey, diaryScales, putBackRatings, rateDay, readDiary, renameRatings, takeRatings }
    from './diary.mjs';
import { showFit } from './fit-view.mjs';
import { element } from './form.mjs';
import { personKey } from './people.mjs';
import { peopleStorage } from './people-store.mjs';
import { personShown } from './person-shown.mjs';
import { toolDate } from './tool.mjs';

export { diaryKey };

// The diary shown, whether it holds a change that storage lacks (a write failed), the day chosen for the
// person shown (null: today) and the ratings of the people removed, by key, for their Undo.
let diary = {};
let unstored = false;
let chosen = { key: null, day: null };
const taken = new Map();

// Returns the diary shown: every saved person's ratings ({ [personKey]: { [day]: { body, mood, mind } } }).
export function diaryShown() {
    return diary;
}

// Takes a message, or ''; shows it where storage's failures are told.
function diaryMessage(message) {
    element('diary-msg').textContent = message;
}

// Reads the stored diary, with what a failed write left unstored; where storage cannot be read, keeps the
// diary shown and says why.
export function diaryLoad() {
    const stored = readDiary(peopleStorage(), diary, unstored);
    if (stored.unreadable !== undefined)
        diaryMessage('The diary stored in this browser is in a form this page cannot read (another version of ' +
            'the page wrote it, or it was edited): the page writes over it only when you rate a day.');
    else if (stored.failure !== undefined)
        diaryMessage(`The diary cannot be read from this browser's storage: ${stored.failure}.`);
    if (stored.diary !== undefined)
        diary = stored.diary;
}

// Takes a change of the diary and whether it is a rating the person made; makes it in the diary as stored
// now, which another tab may have changed since, and stores it; a write that fails leaves the change on the
// page and says so.
export function diaryChange(change, rating) {
    const changed = changeDiary(peopleStorage(), diary, unstored, change, rating);
    ({ diary, unstored } = changed);
    diaryMessage(changed.failure === '' ? '' : `The diary could not be stored in this browser ` +
        `(${changed.failure}). It stays on this page while the page is open: save it as diary.csv to keep it.`);
}

// Takes a person's key before and after a rename; moves their ratings to the new key.
export function diaryRename(from, to) {
    diaryChange((stored) => renameRatings(stored, from, to), false);
}

// Takes a person's key; takes their ratings out of the diary, kept on this page for their Undo.
export function diaryTake(key) {
    diaryChange((stored) => {
        const { diary: rest, taken: ratings } = takeRatings(stored, key);
        taken.set(key, ratings);
        return rest;
    }, false);
}

// Takes a person's key; puts back the ratings taken from them.
export function diaryPutBack(key) {
    diaryChange((stored) => putBackRatings(stored, key, taken.get(key) ?? {}), false);
    taken.delete(key);
}

// Takes the person shown and today; returns the day whose ratings are shown: the one chosen for them, else
// today.
function dayShown(person, today) {
    return chosen.key === personKey(person) && chosen.day !== null ? chosen.day : today;
}

// Takes a day as typed, '' for today; chooses it for the person shown, as the tool reads a date, where it is
// a day from their birth to today; else says why under the field.
export function diaryChooseDay(typed) {
    const [person, today] = [personShown(), isoDate(new Date())];
    const written = typed.trim() === '' ? today : typed.trim();
    const { day, refusal: read } = toolDate(written);
    const refusal = read ?? (day > today ? `${day} is after today: rate it once it has been.`
        : day < person.birth ? `${day} is before ${person.name} was born.` : '');
    element('diary-day-msg').textContent = refusal;
    element('diary-day').toggleAttribute('aria-invalid', refusal !== '');
    if (refusal === '')
        chosen = { key: personKey(person), day };
    diaryShow();
}

// Takes a scale and a rating; rates the day shown of the person shown, or clears a rating chosen again.
function rate(scale, rating) {
    const person = personShown();
    const day = dayShown(person, isoDate(new Date()));
    diaryChange((stored) => rateDay(stored, personKey(person), day, scale, rating), true);
    diaryShow();
}

// Makes the rows of five buttons, one row a scale, once.
export function diaryButtons() {
    element('ratings').replaceChildren(...diaryScales.map(({ scale, cycle }) => {
        const row = document.createElement('fieldset');
        const legend = document.createElement('legend');
        legend.textContent = `${scale[0].toUpperCase() + scale.slice(1)}, the ${cycle} cycle's claim`;
        row.append(legend, ...[1, 2, 3, 4, 5].map((rating) => {
            const button = document.createElement('button');
            button.type = 'button';
            button.textContent = rating;
            button.dataset.scale = scale;
            button.setAttribute('aria-pressed', 'false');
            button.addEventListener('click', () => rate(scale, rating));
            return button;
        }));
        return row;
    }));
}

// Shows the diary of the person shown: the day and its ratings, and the test of their cycles; where no
// saved person is shown, says how to keep one.
export function diaryShow() {
    const person = personShown();
    element('diary-none').hidden = person !== null;
    element('diary-person').hidden = person === null;
    if (person === null)
        return;
    const today = isoDate(new Date());
    const day = dayShown(person, today);
    element('diary-title').textContent = `Diary of ${person.name}`;
    if (document.activeElement !== element('diary-day'))
        element('diary-day').value = day;
    element('diary-day-label').textContent = `How was ${day === today ? 'today' : day}? From 1, bad, to 5, good`;
    const ratings = diary[personKey(person)]?.[day] ?? {};
    for (const button of element('ratings').querySelectorAll('button'))
        button.setAttribute('aria-pressed', String(ratings[button.dataset.scale] === Number(button.textContent)));
    showFit(person, diary);
}
