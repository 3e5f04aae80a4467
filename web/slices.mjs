// SPDX-License-Identifier: ISC
// Work a generator does a piece at a time, yielding between pieces: done in slices, the page answering
// between them, or all at once.

// Returns a promise kept once the page has done what was waiting: a message to itself through a channel,
// which, unlike a timer, is not held back after several in a row.
function nextTask() {
    return new Promise((resolve) => {
        const channel = new MessageChannel();
        channel.port1.onmessage = () => {
            channel.port1.close();
            resolve();
        };
        channel.port2.postMessage(null);
    });
}

// Takes a generator and how long a slice runs (0: one piece at a time, for
// work whose cost is in the drawing that follows it); advances it in slices,
// with a pause before each where the page can answer; returns what it returns.
export async function inSlices(work, sliceMs) {
    for (;;) {
        await nextTask();
        const end = performance.now() + sliceMs;
        let step = work.next();
        while (!step.done && performance.now() < end)
            step = work.next();
        if (step.done)
            return step.value;
    }
}

// Takes a generator; advances it to its end at once; returns what it returns.
export function atOnce(work) {
    let step = work.next();
    while (!step.done)
        step = work.next();
    return step.value;
}
