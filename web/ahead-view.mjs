// SPDX-License-Identifier: ISC
// The Days ahead section, at the top of the page whenever someone is saved: every saved person's critical
// days over the days from today, a person's entry drawing their chart from that day, and everyone's
// critical days saved as one calendar. The count of days is kept on this device.
import { aheadDays, aheadWords, dayInWords, everyoneCalendar } from './ahead.mjs';
import { isoDate } from './dates.mjs';
import { dropFile, offerFile } from './files.mjs';
import { element } from './form.mjs';
import { keepText, keptText, peopleList } from './people-store.mjs';
import { drawPerson, orFail, showFailure } from './result.mjs';
import { inSlices } from './slices.mjs';
import { parseTable } from './table.mjs';
import { runTool, toolCompile } from './tool.mjs';

// Where the count of days is kept, apart from the people's list, whose form stays as it is.
export const aheadKey = 'tivorel.ahead';
const aheadDefault = '14';
// The longest a slice of the drawing runs before the page answers again, in milliseconds.
const sliceMs = 30;

// What the section shows: its first day, the count as typed, and the people with a critical day then;
// the count chosen on this page, where storage did not keep it; the drawings begun, so that one begun
// later stops an earlier one.
let shown = { today: '', days: '', people: [] };
let chosen = null;
let drawing = 0;

// Returns the count of days chosen: on this page, else kept on this device, else the default, which also
// stands for what storage holds that is no count this page keeps.
function chosenDays() {
    const kept = keptText(aheadKey);
    return chosen ?? (/^([1-9]\d?|[1-4]\d\d|500)$/.test(kept) ? kept : aheadDefault);
}

// Takes the days of aheadDays, today and the people in the list; returns the list's items: each day,
// "Today" before today's, and a button for each person's entry.
function dayItems(days, today, people) {
    return days.map(({ day, entries }) => {
        const item = document.createElement('li');
        const heading = document.createElement('h3');
        const time = document.createElement('time');
        time.dateTime = day;
        time.textContent = dayInWords(day);
        heading.append(...(day === today ? ['Today, ', time] : [time]));
        const list = document.createElement('ul');
        list.append(...entries.map((entry) => {
            const { who, what, together } = aheadWords(entry, people);
            const button = document.createElement('button');
            button.type = 'button';
            button.append(`${who}: ${what}`);
            if (together !== '') {
                const word = document.createElement('strong');
                word.textContent = together;
                button.append(' ', word);
            }
            button.addEventListener('click', () => {
                drawPerson(entry.person, day);
                element('plot-title').scrollIntoView();
            });
            const line = document.createElement('li');
            line.append(button);
            return line;
        }));
        item.append(heading, list);
        return item;
    });
}

// Takes the people, their tables, today and the count; offers everyone's calendar, or says why there is
// nothing to save; says that nobody has a critical day, where nobody has.
function showOffer(people, tables, today, days, found) {
    const count = tables.find((table) => table !== null)?.rows.length ?? 0;
    element('ahead-none').textContent = found.length > 0 ? '' : `No critical day for anyone in the ${count} ` +
        `day${count === 1 ? '' : 's'} from today.`;
    shown = { today, days, people: people.filter((person, k) => tables[k]?.rows.some((row) => row.at(-1) !== '')) };
    const link = element('save-everyone');
    dropFile(link);
    link.removeAttribute('href');
    if (shown.people.length === 0) {
        link.setAttribute('aria-disabled', 'true');
        element('everyone-msg').textContent = 'Nobody has a critical day in these days: there is nothing to save.';
    } else {
        link.href = 'data:text/calendar,';
        link.removeAttribute('aria-disabled');
        element('everyone-msg').textContent = '';
    }
}

// Draws the section anew for today and the count chosen, unless nobody is saved: the tool's table for each
// person, one run each, in slices of sliceMs, so that the page answers while a long list is drawn.
export function aheadShow() {
    draw().catch(showFailure);
}

// Draws the section for aheadShow.
async function draw() {
    const people = peopleList();
    element('ahead').hidden = people.length === 0;
    // Busy until drawn, so that a reader and a test know when the entries are today's.
    element('ahead').toggleAttribute('aria-busy', people.length > 0);
    const mine = ++drawing;
    if (people.length === 0)
        return;
    const [today, days] = [isoDate(new Date()), chosenDays()];
    element('ahead-days').value = days;
    // Off the main thread as the page opens, not compiled here at once.
    await toolCompile();
    await inSlices(pieces(mine, people, today, days), sliceMs);
}

// Takes the number of the drawing, the people, today and the count; returns a generator that draws the
// section a piece at a time, yielding after each: the tool's table for a person, the entries of a day. It
// stops where a later drawing begins.
function* pieces(mine, people, today, days) {
    const tables = [];
    for (const person of people) {
        yield;
        if (mine !== drawing)
            return;
        const run = runTool(['--table', '--', person.birth, today, days]);
        tables.push(run.status === 0 ? parseTable(run.out) : null);
    }
    const found = aheadDays(people, tables);
    showOffer(people, tables, today, days, found);
    // A day at a time, so that the entries of a list of thousands are put in place a slice at a time.
    element('ahead-list').replaceChildren();
    for (const day of found) {
        yield;
        if (mine !== drawing)
            return;
        element('ahead-list').append(...dayItems([day], today, people));
    }
    element('ahead').removeAttribute('aria-busy');
}

// Takes the count of days as typed; keeps it as the tool reads it and draws the section, or shows the
// tool's message under it.
export function aheadChange(typed) {
    const run = runTool(['--table', '--', '2000-01-01', '2000-01-01', typed]);
    element('ahead-days-msg').textContent = run.err;
    element('ahead-days').toggleAttribute('aria-invalid', run.status !== 0);
    if (run.status !== 0)
        return;
    chosen = String(parseTable(run.out).rows.length);
    keepText(aheadKey, chosen);
    aheadShow();
}

// Takes the count kept by another tab of this page; draws the section with it.
export function aheadKept() {
    chosen = null;
    aheadShow();
}

// Draws the section anew where the day has changed since it was drawn: a page left open past midnight,
// or shown again on a later day.
export function aheadCheckDay() {
    if (shown.today !== '' && shown.today !== isoDate(new Date()))
        aheadShow();
}

// Takes the click on everyone's calendar; makes it from the tool's --calendar of each person with a
// critical day in the days shown.
export function saveEveryone(event) {
    orFail(() => {
        const calendars = shown.people.map((person) => runTool(['--calendar', '--name', person.name, '--',
            person.birth, shown.today, shown.days]).out);
        offerFile(event.currentTarget, everyoneCalendar(calendars), 'text/calendar');
    });
}

// Draws the section anew at each local midnight, and when the page is shown again on a later day: a
// timer in a hidden page may be held back until it is shown.
export function aheadWatchDay() {
    const now = new Date();
    const midnight = new Date(now.getFullYear(), now.getMonth(), now.getDate() + 1);
    setTimeout(() => {
        aheadCheckDay();
        aheadWatchDay();
    }, midnight - now + 1000);
}
