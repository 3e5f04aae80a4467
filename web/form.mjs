// SPDX-License-Identifier: ISC
// The form: the chart's inputs as its fields hold them, filled from the page's address, and the tool's
// message under the field it refused.
import { addressRead } from './address.mjs';
import { isoDate } from './dates.mjs';
import { curves } from './table.mjs';

// Takes an element's id; returns the element.
export function element(id) {
    return document.getElementById(id);
}

export const fields = { birth: element('birth'), first: element('first'), days: element('days') };

// Returns the inputs as the fields hold them, the curves as option letters.
export function readFields() {
    const chosen = curves.filter((curve) => element('curve-' + curve.letter).checked);
    return {
        birth: fields.birth.value,
        first: fields.first.value,
        days: fields.days.value,
        curves: chosen.map((curve) => curve.letter).join(''),
    };
}

// Takes the saved person shown last, or null; fills the fields from the page's address; what it lacks
// takes the defaults: today as the first day, 31 days, no curve chosen. An address without inputs, as the
// installed app opens, opens on that person, or on the empty form.
export function fillFields(lastPerson) {
    const address = addressRead(location.hash.slice(1));
    const person = address.empty ? lastPerson : null;
    fields.birth.value = address.birth ?? person?.birth ?? '';
    if (person !== null)
        element('name').value = person.name;
    fields.first.value = address.first ?? isoDate(new Date());
    fields.days.value = address.days ?? '31';
    const chosen = address.curves ?? '';
    for (const curve of curves)
        element('curve-' + curve.letter).checked = chosen.includes(curve.letter);
}

// Takes a field's name, or null, and the tool's message; shows the message
// under that field alone.
export function showMessage(fieldName, message) {
    for (const [name, field] of Object.entries(fields)) {
        const text = name === fieldName ? message : '';
        element(name + '-msg').textContent = text;
        if (text !== '')
            field.setAttribute('aria-invalid', 'true');
        else
            field.removeAttribute('aria-invalid');
    }
}

// Takes the tool's message about the name, or ''; shows it under the name.
export function showNameMessage(message) {
    element('name-msg').textContent = message;
    if (message === '')
        element('name').removeAttribute('aria-invalid');
    else
        element('name').setAttribute('aria-invalid', 'true');
}
