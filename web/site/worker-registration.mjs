// SPDX-License-Identifier: ISC
// The web site's page only: registers the worker that keeps the site for use with no network. When a
// new release's worker takes over a page that an earlier one served, the page reloads once, to be the new
// release's page, and then says so.
const updatedKey = 'tivorel.updated';

// Says under the page's heading that a new version is in use.
function showUpdated() {
    const note = document.createElement('p');
    note.id = 'updated';
    note.setAttribute('role', 'status');
    note.textContent = 'A new version of tivorel is in use.';
    document.querySelector('h1').after(note);
}

// Registers sw.js beside the page; reloads once when a new worker takes over from another.
export function registerWorker() {
    // A page opened from disk has none, nor wants one.
    if (!navigator.serviceWorker || !location.protocol.startsWith('http'))
        return;
    const hadWorker = navigator.serviceWorker.controller !== null;
    let reloading = false;
    navigator.serviceWorker.addEventListener('controllerchange', () => {
        if (!hadWorker || reloading)
            return;
        reloading = true;
        sessionStorage.setItem(updatedKey, 'yes');
        location.reload();
    });
    // Without a worker the page still works, as long as the network does. Registered once the page has
    // loaded, so that the worker's first fetch of every file does not slow the page's own.
    window.addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch(() => {}));
    if (sessionStorage.getItem(updatedKey) !== null) {
        sessionStorage.removeItem(updatedKey);
        showUpdated();
    }
}
