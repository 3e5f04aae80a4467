// SPDX-License-Identifier: ISC
// The diary: how each saved person's days were, rated from 1 (bad) to 5 (good) for the body, the mood and
// the mind, on which the physical, emotional and intellectual cycles make their claims; as web storage holds
// it, read and changed as stored now, which another tab may have changed since. Takes the storage as an
// argument: the page passes the browser's.
import { isRealDay } from './dates.mjs';
import { storedChange, storedLoad } from './stored.mjs';

// Where the diary is stored, beside the people's list, whose stored form stays as it was; its form there is
// { version: 1, people: { [personKey]: { [YYYY-MM-DD]: { body, mood, mind } } } }, each rating a whole
// number from 1 to 5; a scale not rated is left out, and so is a day or a person with no rating.
export const diaryKey = 'tivorel.diary';

// The scales a day is rated on, each with the cycle that makes a claim about it: its column in the tool's
// table, its letter in the table's critical column and its period in days.
export const diaryScales = [
    { scale: 'body', cycle: 'physical', letter: 'P', period: 23 },
    { scale: 'mood', cycle: 'emotional', letter: 'E', period: 28 },
    { scale: 'mind', cycle: 'intellectual', letter: 'I', period: 33 },
];

// Takes a value; returns whether it is a rating: a whole number from 1 to 5.
function isRating(value) {
    return Number.isInteger(value) && value >= 1 && value <= 5;
}

// Takes the stored people; returns them as the diary ({ [personKey]: { [day]: { body, mood, mind } } }), or
// null where they are not in the form this version of the page writes.
function readDiaryPeople(people) {
    const isRecord = (value) => typeof value === 'object' && value !== null && !Array.isArray(value);
    // Some entries, each as the test says: this page writes no empty day and no person without a day.
    const isFilled = (value, test) => isRecord(value) && Object.keys(value).length > 0 &&
        Object.entries(value).every(test);
    const isDay = ([day, ratings]) => isRealDay(day) && isFilled(ratings, ([scale, rating]) =>
        diaryScales.some((each) => each.scale === scale) && isRating(rating));
    const isPerson = ([, days]) => isFilled(days, isDay);
    return isRecord(people) && Object.entries(people).every(isPerson) ? people : null;
}

// The diary's stored form, for stored.mjs: where a write failed, the diary stored and the one shown make
// one, the shown one's ratings winning.
const diaryForm = { key: diaryKey, version: 1, empty: {}, read: readDiaryPeople,
    merge: (stored, shown) => mergeDiaries(shown, stored), kept: 'what it holds now is kept until you rate a day' };

// Takes web storage, or null where the page may not use it, and the diary shown and whether it holds a
// change that storage lacks (a write failed); returns { diary }, the diary stored, merged with the diary
// shown where a write failed, { unreadable: the stored text } or, where storage cannot be read at all,
// { failure: why }.
export function readDiary(storage, shown = {}, unstored = false) {
    const { value, ...rest } = storedLoad(storage, diaryForm, shown, unstored);
    return value === undefined ? rest : { diary: value };
}

// Takes two diaries; returns one with the ratings of both, the first's where both rate one day on one scale.
export function mergeDiaries(first, second) {
    const merged = { ...second };
    for (const [key, days] of Object.entries(first)) {
        merged[key] = { ...merged[key] };
        for (const [day, ratings] of Object.entries(days))
            merged[key][day] = { ...merged[key][day], ...ratings };
    }
    return merged;
}

// Takes web storage or null, the diary shown and whether it holds a change that storage lacks (a write
// failed), a change of the diary (a function from a diary to a diary) and whether it is a rating the person
// made; makes the change in the diary as stored now and stores the result. Where a write failed before, the
// diary shown and the one stored are merged, the shown's ratings winning: a rating cleared while storage
// refused writes comes back from storage. What storage holds that the page cannot read is written over only
// by a rating. Returns { diary, unstored: whether storage lacks it, unreadable: the stored text the page
// could not read, if any, failure: why the write failed, or '' }.
export function changeDiary(storage, shown, unstored, change, rating) {
    const { value, ...rest } = storedChange(storage, diaryForm, shown, unstored, change, rating);
    return { diary: value, ...rest };
}

// Takes a diary, a person's key (personKey in people.mjs), a day YYYY-MM-DD, a scale ('body', 'mood' or
// 'mind') and a rating from 1 to 5; returns the diary with that rating of the day, or with none where the
// day had that rating already: choosing the chosen rating again clears it.
export function rateDay(diary, key, day, scale, rating) {
    const ratings = { ...diary[key]?.[day] };
    if (ratings[scale] === rating)
        delete ratings[scale];
    else
        ratings[scale] = rating;
    const days = { ...diary[key], [day]: ratings };
    if (Object.keys(ratings).length === 0)
        delete days[day];
    const changed = { ...diary, [key]: days };
    if (Object.keys(days).length === 0)
        delete changed[key];
    return changed;
}

// Takes a diary and a person's key before and after a rename; returns the diary with the ratings under the
// new key. Where the new key is a person's already (a rename that makes two people one), that person's
// ratings are kept and the renamed one's fill in the days and scales they lack.
export function renameRatings(diary, from, to) {
    if (from === to || diary[from] === undefined)
        return diary;
    const { [from]: days, ...others } = diary;
    return mergeDiaries(others, { [to]: days });
}

// Takes a diary and a person's key; returns { diary: without the person's ratings, taken: their ratings
// ({ [day]: { body, mood, mind } }, {} for none) } for an Undo to put back.
export function takeRatings(diary, key) {
    const { [key]: taken = {}, ...others } = diary;
    return { diary: others, taken };
}

// Takes a diary, a person's key and the ratings taken from them; returns the diary with the ratings put
// back. A rating of the same day and scale made since (in another tab) is newer and is kept.
export function putBackRatings(diary, key, taken) {
    return Object.keys(taken).length === 0 ? diary : mergeDiaries(diary, { [key]: taken });
}

// Takes a diary, a person's key and a scale; returns the person's ratings on that scale, a Map from each
// day rated (YYYY-MM-DD, in order) to its rating.
export function scaleRatings(diary, key, scale) {
    const days = Object.entries(diary[key] ?? {}).filter(([, ratings]) => ratings[scale] !== undefined);
    days.sort(([one], [other]) => (one < other ? -1 : 1));
    return new Map(days.map(([day, ratings]) => [day, ratings[scale]]));
}
