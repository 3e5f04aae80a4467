// SPDX-License-Identifier: ISC
// The people's list in web storage, against a stand-in storage: a change made in the list as stored now,
// one person however a name is composed, storage that holds garbage, refuses a write or is missing.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { changeStored, mergePeople, peopleKey } from '../../web/people.mjs';

// A storage that holds TEXT under the people's key and throws REFUSAL, if any, at a write.
const storage = (text, refusal) => ({ text, getItem(key) { return key === peopleKey ? this.text : null; },
    setItem(key, value) {
        if (refusal)
            throw new Error(refusal);
        this.text = value;
    } });
const list = (...names) => names.map((name) => ({ name, birth: '2000-01-01' }));
const stored = (...names) => JSON.stringify({ version: 1, people: list(...names) });
const add = (...names) => (people) => mergePeople(people, list(...names));
const kept = 'what it holds now is kept until you save a person';

// The storage, the list shown and whether storage lacks it, the change and whether it saves a person; the
// list then and whether storage lacks it, the stored text the page cannot read, what storage holds then and
// why the write failed.
const cases = [
    ['nothing stored', storage(null), [], false, add('Anna'), true, list('Anna'), false, undefined, stored('Anna'), ''],
    ['another tab saved Ben', storage(stored('Ben')), list('Anna'), false, add('Cleo'), false, list('Ben', 'Cleo'),
        false, undefined, stored('Ben', 'Cleo'), ''],
    ['a write failed before, the stored first; "ü" composed twice', storage(stored('Ju\u0308rgen', 'Ben')),
        list('Jürgen', 'Anna'), true, add('Ju\u0308rgen'), false, list('Jürgen', 'Ben', 'Anna'), false, undefined,
        stored('Jürgen', 'Ben', 'Anna'), ''],
    ['garbage', storage('{"version":2}'), list('Anna'), false, add('Cleo'), false, list('Anna', 'Cleo'), true,
        '{"version":2}', '{"version":2}', kept],
    ['garbage, and a person saved', storage('[1]'), [], false, add('Cleo'), true, list('Cleo'), false, '[1]',
        stored('Cleo'), ''],
    ['a write refused', storage(stored('Ben'), 'no room'), list('Ben'), false, add('Cleo'), true, list('Ben', 'Cleo'),
        true, undefined, stored('Ben'), 'no room'],
    ['no storage', null, list('Anna'), false, add('Ben'), true, list('Anna', 'Ben'), true, undefined, undefined,
        'this browser gives this page no web storage'],
];

test('a change made in the list as stored now', () => {
    for (const [what, place, shown, unstored, change, saving, ...expected] of cases) {
        const changed = changeStored(place, shown, unstored, change, saving);
        assert.deepEqual([changed.list, changed.unstored, changed.unreadable, place?.text, changed.failure],
            expected, what);
    }
});
