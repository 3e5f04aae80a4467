// SPDX-License-Identifier: ISC
// A day of the days ahead in words: the weekday and the date, in every year a person may be born in.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { dayInWords } from '../../web/ahead.mjs';

test('a day in words', () => {
    assert.deepEqual(['2026-12-11', '2000-02-29', '1900-03-01', '0033-04-03', '9999-12-31'].map(dayInWords),
        ['Friday, 11 December 2026', 'Tuesday, 29 February 2000', 'Thursday, 1 March 1900', 'Sunday, 3 April 33',
            'Friday, 31 December 9999']);
});
