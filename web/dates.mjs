// SPDX-License-Identifier: ISC
// Dates as the tool writes them, and whole days between them.

// Milliseconds in a day. UTC has no daylight saving time, so every UTC day
// is this long and day arithmetic in UTC never lands on another date.
const dayLength = 86400000;

// Takes a year, a month (1 to 12) and a day of the month; returns the date
// as the table writes it: a '-' before a year below 0, the year in four digits at least.
function dateText(year, month, date) {
    const pad = (number, width) => String(number).padStart(width, '0');
    return (year < 0 ? '-' : '') + pad(Math.abs(year), 4) + '-' + pad(month, 2) + '-' + pad(date, 2);
}

// Takes a date; returns its day in the reader's time zone as the table writes dates.
export function isoDate(date) {
    return dateText(date.getFullYear(), date.getMonth() + 1, date.getDate());
}

// Takes a day as the table writes it (YYYY-MM-DD); returns its number of days
// after 1970-01-01 (before it, below 0), or NaN where it is not a real date so written.
export function dayNumber(day) {
    const parts = /^(-?\d{4,})-(\d\d)-(\d\d)$/.exec(day);
    if (parts === null)
        return NaN;
    const [year, month, date] = parts.slice(1).map(Number);
    // setUTCFullYear, not Date.UTC, which reads the years 0 to 99 as 1900 to 1999.
    const utc = new Date(0);
    utc.setUTCFullYear(year, month - 1, date);
    // A date past its month's end lands in the next month, and is no date the table writes.
    const written = dateText(utc.getUTCFullYear(), utc.getUTCMonth() + 1, utc.getUTCDate());
    return written === day ? utc.getTime() / dayLength : NaN;
}

// Takes a text; returns whether it is a real date as the table writes it.
export function isRealDay(text) {
    return !Number.isNaN(dayNumber(text));
}

// Takes two days as the table writes them; returns the number of days from the
// first to the second, below 0 where the second comes first.
export function daysBetween(from, to) {
    return dayNumber(to) - dayNumber(from);
}

// Takes a day as the table writes it and a number of days (below 0 for earlier);
// returns the day that many days later, as the table writes it.
export function addDays(day, count) {
    const utc = new Date((dayNumber(day) + count) * dayLength);
    return dateText(utc.getUTCFullYear(), utc.getUTCMonth() + 1, utc.getUTCDate());
}
