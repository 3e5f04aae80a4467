// SPDX-License-Identifier: ISC
// Dates as the tool writes them.

// Takes a date; returns its day in the reader's time zone as the table
// writes dates: a '-' before a year below 0, the year in four digits at least.
export function isoDate(date) {
    const pad = (number, width) => String(number).padStart(width, '0');
    const year = date.getFullYear();
    return (year < 0 ? '-' : '') + pad(Math.abs(year), 4) + '-' + pad(date.getMonth() + 1, 2) +
        '-' + pad(date.getDate(), 2);
}
