// SPDX-License-Identifier: ISC
// The diary as a CSV file, diary.csv, which spreadsheets open, and the page adds back: a line per person
// and day rated, read whole or refused whole, and added without overwriting a rating the device has.
import { daysBetween, isRealDay } from './dates.mjs';
import { diaryScales, mergeDiaries } from './diary.mjs';
import { personKey } from './people.mjs';

// The file's first line, its fields' names; the ratings' fields follow diaryScales' order.
const csvHeader = ['date', 'name', 'birth', ...diaryScales.map(({ scale }) => scale)];
// A field in double quotes, a quote in it doubled, and a field without them, which holds none.
const csvQuoted = /"((?:[^"]|"")*)"/y;
const csvPlain = /[^",\r\n]*/y;

// Takes a field; returns it as RFC 4180 writes it: in double quotes, each quote doubled, where it holds a
// comma, a quote or a line end, and only there.
function csvField(field) {
    return /[",\r\n]/.test(field) ? '"' + field.replace(/"/g, '""') + '"' : field;
}

// Takes a diary (diary.mjs); returns it as diary.csv's text, for the page to save as UTF-8 with no byte order
// mark: the header, then a line per person and day rated, each ended by CRLF, sorted by name, then birth,
// then date. Names are compared by UTF-16 code units, which sort alike on every machine and in every
// language, unlike a locale's order. A person's key is their birth, a space and their name (personKey).
export function diaryCsv(diary) {
    const lines = [];
    for (const [key, days] of Object.entries(diary)) {
        const [birth, name] = [key.slice(0, key.indexOf(' ')), key.slice(key.indexOf(' ') + 1)];
        for (const [day, ratings] of Object.entries(days))
            lines.push([day, name, birth, ...diaryScales.map(({ scale }) => String(ratings[scale] ?? ''))]);
    }
    const order = (one, other) => (one < other ? -1 : one > other ? 1 : 0);
    lines.sort((one, other) => order(one[1], other[1]) || order(one[2], other[2]) || order(one[0], other[0]));
    return [csvHeader, ...lines].map((fields) => fields.map(csvField).join(',') + '\r\n').join('');
}

// Takes a file's bytes (a Uint8Array) or text; returns { text } without a byte order mark, or { line, why }
// where the bytes are not UTF-8, the line the first bad byte is on.
function csvText(input) {
    if (typeof input === 'string')
        return { text: input.replace(/^\uFEFF/, '') };
    // The decoder drops a byte order mark and, being fatal, throws at bytes that are not UTF-8.
    const decode = (bytes) => {
        try {
            return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
        } catch {
            return null;
        }
    };
    const text = decode(input);
    if (text !== null)
        return { text };
    // No byte of a character in UTF-8 but the line feed's own is 0x0A, so each line decodes alone.
    const ends = [];
    input.forEach((byte, at) => byte === 0x0a && ends.push(at));
    ends.push(input.length);
    const starts = [0, ...ends.slice(0, -1).map((end) => end + 1)];
    const bad = ends.findIndex((end, index) => decode(input.subarray(starts[index], end)) === null);
    return { line: bad + 1, why: 'this line is not UTF-8 text' };
}

// Takes CSV text; returns { records: [{ line, fields }] }, each record with the number of the line it begins
// on (a quoted field may hold a line end), or { line, why } for text that is not RFC 4180's CSV. A line ends
// with CRLF or LF; the last may have no end.
function csvRecords(text) {
    const records = [];
    let [at, line] = [0, 1];
    while (at < text.length) {
        const record = { line, fields: [] };
        for (;;) {
            const pattern = text[at] === '"' ? csvQuoted : csvPlain;
            pattern.lastIndex = at;
            const field = pattern.exec(text);
            if (field === null)
                return { line, why: 'a quote begins a field and none ends it' };
            record.fields.push(field[1] === undefined ? field[0] : field[1].replace(/""/g, '"'));
            line += field[0].split('\n').length - 1;
            at = pattern.lastIndex;
            if (text[at] !== ',')
                break;
            at++;
        }
        const end = /\r?\n|$/y;
        end.lastIndex = at;
        if (end.exec(text) === null)
            return { line, why: text[at] === '\r' ? 'a carriage return that ends no line' :
                'a quote in a field that is not quoted whole' };
        [at, line] = [end.lastIndex, line + 1];
        records.push(record);
    }
    return { records };
}

// Takes a record's fields, today and the tool's refusal of a name; returns the record as
// { name, birth, day, ratings: { body, mood, mind } } (a scale not rated left out), or { why } it is refused.
function csvRecord(fields, today, nameRefusal) {
    if (fields.length !== csvHeader.length)
        return { why: `it has ${fields.length} fields, not ${csvHeader.length}` };
    const [day, written, birth, ...scores] = fields;
    const name = written.normalize('NFC');
    const refusal = nameRefusal(name).trim();
    if (refusal !== '')
        return { why: refusal.replace(/\.$/, '') };
    if (!/^(?!0000)\d{4}-/.test(birth) || !isRealDay(birth))
        return { why: `the birth "${birth}" is not a date with a year from 1 to 9999` };
    if (!isRealDay(day))
        return { why: `the date "${day}" is not a real date written YYYY-MM-DD` };
    if (daysBetween(day, today) < 0 || daysBetween(birth, day) < 0)
        return { why: `the date ${day} is ${daysBetween(birth, day) < 0 ? 'before the birth' : 'after today'}` };
    const ratings = {};
    for (const [index, { scale }] of diaryScales.entries()) {
        if (!/^[1-5]?$/.test(scores[index]))
            return { why: `the ${scale} rating "${scores[index]}" is not a whole number from 1 to 5` };
        if (scores[index] !== '')
            ratings[scale] = Number(scores[index]);
    }
    return { name, birth, day, ratings };
}

// Takes a file's bytes (a Uint8Array) or text, today (YYYY-MM-DD) and a function that takes a name and
// returns the tool's message where the tool refuses it, else ''. Returns { records: [{ line, name, birth,
// day, ratings: { body, mood, mind } }] }, names NFC and each scale not rated left out, or, where any line
// is not as diary.csv writes it, { line, why }: the first such line's number in the file (1 is the header)
// and why, and no record at all.
export function diaryCsvRead(input, today, nameRefusal) {
    const decoded = csvText(input);
    const parsed = decoded.text === undefined ? decoded : csvRecords(decoded.text);
    if (parsed.records === undefined)
        return parsed;
    const [header, ...rows] = parsed.records;
    if (JSON.stringify(header?.fields) !== JSON.stringify(csvHeader))
        return { line: 1, why: `the first line is not ${csvHeader.join(',')}` };
    const [records, lines, refusals] = [[], new Map(), new Map()];
    // The tool is asked about each name once: a diary of years names one person on thousands of lines.
    const refusal = (name) => refusals.get(name) ?? refusals.set(name, nameRefusal(name)).get(name);
    for (const { line, fields } of rows) {
        const record = csvRecord(fields, today, refusal);
        if (record.why !== undefined)
            return { line, why: record.why };
        const [key, { name, birth, day }] = [personKey(record) + ' ' + record.day, record];
        if (lines.has(key))
            return { line, why: `line ${lines.get(key)} rates ${day} for ${name}, born ${birth}, already` };
        lines.set(key, line);
        records.push({ line, ...record });
    }
    return { records };
}

// Takes the records diaryCsvRead gave, the people in the list ([{ name, birth }]) and the diary as stored now;
// returns { people: the people the file names who are not in the list, in the file's order, diary: the
// diary with the file's ratings that it lacks, added: the number of ratings added, persons: the number of
// people they were added for, differing: the number of the file's ratings that differ from the diary's,
// whose rating is kept }. A rating the diary has is never overwritten.
export function diaryCsvAdd(records, people, diary) {
    const known = new Set(people.map(personKey));
    const [newcomers, persons, file] = [[], new Set(), {}];
    let [added, differing] = [0, 0];
    for (const { name, birth, day, ratings } of records) {
        const key = personKey({ name, birth });
        if (!known.has(key))
            newcomers.push({ name, birth });
        known.add(key);
        // A line with no rating names a person and adds no day: the diary holds no day without a rating.
        if (Object.keys(ratings).length > 0)
            (file[key] ??= {})[day] = ratings;
        for (const [scale, rating] of Object.entries(ratings)) {
            const kept = diary[key]?.[day]?.[scale];
            added += kept === undefined ? 1 : 0;
            differing += kept !== undefined && kept !== rating ? 1 : 0;
            if (kept === undefined)
                persons.add(key);
        }
    }
    return { people: newcomers, diary: mergeDiaries(diary, file), added, persons: persons.size, differing };
}

// Takes what diaryCsvRead refused ({ line, why }) or what diaryCsvAdd returned, and the file's name; returns
// the sentence to show the reader.
export function diaryCsvSummary(result, fileName) {
    if (result.why !== undefined)
        return `${fileName} was not added: line ${result.line}: ${result.why}.`;
    const count = (number, one, several) => `${number} ${number === 1 ? one : several}`;
    let sentence = result.added === 0 ? 'No ratings added' :
        `${count(result.added, 'rating', 'ratings')} added for ${count(result.persons, 'person', 'people')}`;
    if (result.people.length > 0)
        sentence += `, ${count(result.people.length, 'person', 'people')} added to the list`;
    if (result.differing > 0)
        sentence += `; ${count(result.differing, 'rating in the file differs', 'ratings in the file differ')} ` +
            `from this device's, which ${result.differing === 1 ? 'is' : 'are'} kept`;
    return sentence + '.';
}
