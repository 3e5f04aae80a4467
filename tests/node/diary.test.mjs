// SPDX-License-Identifier: ISC
// The diary in web storage, against a stand-in storage: a change made in the diary as stored now, storage
// that holds what the page cannot read, refuses a write or is missing; a day rated and cleared, the ratings
// through a rename and a removal's Undo.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { changeDiary, diaryKey, putBackRatings, rateDay, readDiary, renameRatings, takeRatings }
    from '../../web/diary.mjs';

// A storage that holds TEXT under the diary's key.
const storage = (text) => ({ text, getItem(key) { return key === diaryKey ? this.text : null; },
    setItem(key, value) { this.text = value; } });
const stored = (people) => JSON.stringify({ version: 1, people });
const [anna, ben] = ['2000-01-01 Anna', '2000-01-01 Ben'];
const rate = (diary) => rateDay(diary, anna, '2026-01-01', 'body', 2);
const rename = (diary) => renameRatings(diary, anna, ben);
const kept = 'what it holds now is kept until you rate a day';
const [a, b, ab] = [{ [anna]: { '2026-01-01': { body: 2 } } }, { [anna]: { '2026-01-02': { mood: 5 } } },
    { [anna]: { '2026-01-01': { body: 2 }, '2026-01-02': { mood: 5 } } }];
const garbage = '{"version":2,"people":{}}';

// The storage, the diary shown and whether storage lacks it, the change and whether it is a rating; the diary
// then and whether storage lacks it, the stored text the page cannot read, what storage holds then and why
// the write failed. A write refused and no storage at all are the people's rows: one mechanism serves both.
const cases = [
    ['nothing stored', storage(null), {}, false, rate, true, a, false, undefined, stored(a), ''],
    ['another tab rated a day', storage(stored(b)), {}, false, rate, true, ab, false, undefined, stored(ab), ''],
    ["a write failed before: the page's rating wins", storage(stored({ [anna]: { ...b[anna],
        '2026-01-01': { body: 5 } } })), a, true, (same) => same, false, ab, false, undefined, stored(ab), ''],
    ['garbage', storage(garbage), b, false, rename, false, { [ben]: b[anna] }, true, garbage, garbage, kept],
    ['garbage, and a day rated', storage(garbage), b, false, rate, true, ab, false, garbage, stored(ab), ''],
];

test('a change made in the diary as stored now', () => {
    for (const [what, place, shown, unstored, change, rating, ...expected] of cases) {
        const changed = changeDiary(place, shown, unstored, change, rating);
        const held = place?.text && JSON.parse(place.text);
        assert.deepEqual([changed.diary, changed.unstored, changed.unreadable, held, changed.failure],
            [...expected.slice(0, 3), expected[3] && JSON.parse(expected[3]), expected[4]], what);
    }
});

test('what storage holds that this page does not write is not read', () => {
    const day = (ratings) => stored({ [anna]: { '2026-01-01': ratings } });
    for (const text of [garbage, '{"version":1,', '{"version":1,"people":[]}', day({ body: 6 }), day({ body: 2.5 }),
        day({ soul: 3 }), day({}), stored({ [anna]: {} }), stored({ [anna]: { '2026-02-30': { body: 3 } } })])
        assert.deepEqual(readDiary(storage(text)), { unreadable: text }, text);
    assert.deepEqual(readDiary(storage(stored({}))), { diary: {} });
});

// A diary, a change of it, and the diary changed.
const [day1, day2] = ['2026-01-01', '2026-01-02'];
const changes = [
    ['another rating', a, (diary) => rateDay(diary, anna, day1, 'body', 5), { [anna]: { [day1]: { body: 5 } } }],
    ['the same again: cleared', a, rate, {}],
    ['a rename that keeps the name', a, (diary) => renameRatings(diary, anna, anna), a],
    ["a rename onto Ben: Ben's rating of the day wins", { [anna]: { [day1]: { body: 2, mood: 3 } },
        [ben]: { [day1]: { body: 4 }, [day2]: { mind: 1 } } }, rename,
    { [ben]: { [day1]: { body: 4, mood: 3 }, [day2]: { mind: 1 } } }],
    ['removed, then put back with a rating made since in another tab', { [anna]: { [day1]: { body: 2, mood: 3 } } },
        (diary) => {
            const { taken, diary: rest } = takeRatings(diary, anna);
            assert.deepEqual(rest, {});
            return putBackRatings(rateDay(rest, anna, day1, 'body', 5), anna, taken);
        }, { [anna]: { [day1]: { body: 5, mood: 3 } } }],
];

test('a day rated and cleared, the ratings through a rename and an Undo', () => {
    for (const [what, diary, change, expected] of changes)
        assert.deepEqual(change(diary), expected, what);
});
