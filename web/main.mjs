// SPDX-License-Identifier: ISC
// The page's start: the people loaded and listed, every control wired to what it does, the fields filled
// from the address, and the chart drawn once the tool is compiled.
import { aheadChange, aheadCheckDay, aheadKept, aheadKey, aheadWatchDay, saveEveryone } from './ahead-view.mjs';
import { addFromFile } from './contacts-import.mjs';
import { addDiary, saveDiary } from './diary-file.mjs';
import { diaryButtons, diaryChooseDay, diaryKey, diaryLoad, diaryShow } from './diary-view.mjs';
import { offerFile } from './files.mjs';
import { element, fields, fillFields, showNameMessage } from './form.mjs';
import { showPeople, undoRemoval } from './people-list.mjs';
import { lastPerson, loadPeople, peopleList } from './people-store.mjs';
import { peopleKey } from './people.mjs';
import { savePerson } from './person-form.mjs';
import { markShown } from './person-shown.mjs';
import { plotResize, readDayAtKey, readDayAtPointer } from './readout.mjs';
import { orFail, saveCalendar, show, update } from './result.mjs';
import { curves } from './table.mjs';
import { toolCompile } from './tool.mjs';
import { peopleVcard } from './vcard-write.mjs';

// Wires the chart's inputs, the plot and the saves.
function wireChart() {
    element('inputs').addEventListener('submit', (event) => {
        event.preventDefault();
        update();
    });
    for (const field of Object.values(fields))
        field.addEventListener('change', update);
    for (const curve of curves)
        element('curve-' + curve.letter).addEventListener('change', update);
    window.addEventListener('hashchange', () => {
        fillFields(lastPerson());
        orFail(show);
    });
    // The plot is drawn at the width it has; a phone turned sideways has more.
    window.addEventListener('resize', plotResize);
    element('plot').addEventListener('pointermove', readDayAtPointer);
    element('plot').addEventListener('pointerdown', readDayAtPointer);
    element('plot').addEventListener('keydown', readDayAtKey);
    element('print').addEventListener('click', () => window.print());
    element('save-calendar').addEventListener('click', saveCalendar);
}

// Wires the People section.
function wirePeople() {
    element('save-person').addEventListener('click', () => orFail(savePerson));
    element('name').addEventListener('input', () => {
        showNameMessage('');
        markShown();
        orFail(diaryShow);
    });
    element('compare').addEventListener('change', () => orFail(show));
    element('undo').addEventListener('click', () => orFail(undoRemoval));
    element('vcard-file').addEventListener('change', (event) => addFromFile(event.currentTarget));
    // Made as the link is followed, from the list as it is then; until then, an empty file.
    element('save-people').addEventListener('click', (event) =>
        offerFile(event.currentTarget, peopleVcard(peopleList()), 'text/vcard'));
    // Another tab of this page changed the list, the diary or the days ahead, or storage was cleared (no
    // key): the diary read before the list is shown, which shows the diary and the days ahead too.
    window.addEventListener('storage', ({ key }) => {
        if (key === diaryKey || key === null)
            diaryLoad();
        if (key === peopleKey || key === null) {
            loadPeople();
            showPeople();
        } else if (key === diaryKey) {
            orFail(diaryShow);
        }
        if (key === aheadKey || key === null)
            aheadKept();
    });
}

// Wires the diary: its rows of ratings, the day chosen, diary.csv saved and added.
function wireDiary() {
    diaryButtons();
    element('diary-form').addEventListener('submit', (event) => event.preventDefault());
    element('diary-day').addEventListener('change', (event) => orFail(() => diaryChooseDay(event.currentTarget
        .value)));
    // Made as the link is followed, from the diary as it is then.
    element('save-diary').addEventListener('click', saveDiary);
    element('diary-file').addEventListener('change', (event) => addDiary(event.currentTarget));
}

// Wires the days ahead.
function wireAhead() {
    element('ahead-form').addEventListener('submit', (event) => event.preventDefault());
    element('ahead-days').addEventListener('change', (event) => aheadChange(event.currentTarget.value.trim()));
    element('save-everyone').addEventListener('click', saveEveryone);
    document.addEventListener('visibilitychange', aheadCheckDay);
    aheadWatchDay();
}

// Lists the people and wires the page, fills the fields, then compiles the tool off the main thread, the
// page answering meanwhile, and shows the chart, unless a change of the fields has shown one already.
async function start() {
    loadPeople();
    diaryLoad();
    wireDiary();
    showPeople();
    wireChart();
    wirePeople();
    wireAhead();
    fillFields(lastPerson());
    await toolCompile();
    if (element('result').hasAttribute('aria-busy'))
        orFail(show);
}

start();
