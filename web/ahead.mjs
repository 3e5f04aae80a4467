// SPDX-License-Identifier: ISC
// The days ahead: each saved person's critical days over the days from today, by day, as the tool's
// --table marks them; and everyone's critical days in one calendar file, made of the tool's --calendar.
import { dayNumber } from './dates.mjs';
import { cycleOfLetter } from './table.mjs';

const weekdays = ['Sunday', 'Monday', 'Tuesday', 'Wednesday', 'Thursday', 'Friday', 'Saturday'];
const months = ['January', 'February', 'March', 'April', 'May', 'June', 'July', 'August', 'September',
    'October', 'November', 'December'];
// The word for a day on which two or three of a person's cycles are critical.
const together = ['', '', 'double', 'triple'];
// The name of everyone's calendar, which no person's calendar ("Critical days of NAME (tivorel)") and
// no unnamed one ("Critical days (tivorel)") has.
const everyoneName = "Everyone's critical days (tivorel)";
const calendarEnd = 'END:VCALENDAR\r\n';

// Takes a day as the table writes it, YYYY-MM-DD with a year from 1 to 9999; returns it in words:
// "Friday, 11 December 2026".
export function dayInWords(day) {
    const [year, month, date] = day.split('-').map(Number);
    // 1970-01-01, day 0, was a Thursday.
    return `${weekdays[((dayNumber(day) + 4) % 7 + 7) % 7]}, ${date} ${months[month - 1]} ${year}`;
}

// Takes the people in the list's order and each one's table (parseTable) of the same days, or null where
// the tool refused it; returns the days on which a cycle of someone's is critical, in order, each with its
// entries: { day, entries: [{ person, cycles: ['physical', …] }] }, the people in the list's order.
export function aheadDays(people, tables) {
    const days = new Map();
    people.forEach((person, k) => {
        const critical = tables[k]?.names.indexOf('critical');
        for (const row of tables[k]?.rows ?? []) {
            if (row[critical] === '')
                continue;
            if (!days.has(row[0]))
                days.set(row[0], []);
            days.get(row[0]).push({ person, cycles: [...row[critical]].map((letter) => cycleOfLetter[letter]) });
        }
    });
    // Years 1 to 9999, four digits each: the texts sort as the days do.
    return [...days.keys()].sort().map((day) => ({ day, entries: days.get(day) }));
}

// Takes an entry of aheadDays and the people in the list; returns its words: who ("Anna", or "Anna
// (1990-05-17)" where two saved people share the name), the cycles ("emotional and intellectual") and
// "double" or "triple" where there are two or three of them, else ''.
export function aheadWords({ person, cycles }, people) {
    const shared = people.filter((each) => each.name === person.name).length > 1;
    const what = cycles.length < 3 ? cycles.join(' and ') : `${cycles[0]}, ${cycles[1]} and ${cycles[2]}`;
    return { who: shared ? `${person.name} (${person.birth})` : person.name, what, together: together[cycles.length] };
}

// Takes the tool's --calendar outputs, one for each person with a critical day, in the list's order;
// returns one calendar of everyone's: the tool's head under everyone's name, each person's events as the
// tool wrote them, and the tool's end.
export function everyoneCalendar(calendars) {
    const head = calendars[0].split('\r\n').slice(0, 3).concat('X-WR-CALNAME:' + everyoneName, '');
    const events = calendars.map((text) => text.slice(text.indexOf('\r\nBEGIN:VEVENT\r\n') + 2,
        text.length - calendarEnd.length));
    return head.join('\r\n') + events.join('') + calendarEnd;
}
