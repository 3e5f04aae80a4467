// SPDX-License-Identifier: ISC
// The web site's worker: keeps the site's files at the first visit and answers from them, so that the app
// opens and works with no network. make-site.js fills in the files and a version made of their bytes: a
// release whose files differ is a new worker, which the browser installs at the next visit that reaches the
// host; it takes over at once and deletes the files of the one before. Addresses are relative to this file.
'use strict';
const keptFiles = {{FILES}};
// Several copies of the site may share a host: each keeps to the caches of its own folder.
const cachePrefix = 'tivorel ' + self.registration.scope + ' ';
const cacheName = cachePrefix + '{{VERSION}}';
const keptPage = new URL('index.html', self.location).href;

// Fetches the files past the browser's HTTP cache, which may hold the release before, and keeps them.
async function keepFiles() {
    const cache = await caches.open(cacheName);
    await cache.addAll(keptFiles.map((file) => new Request(file, { cache: 'reload' })));
    await self.skipWaiting();
}

// Deletes the caches of this folder's earlier workers and takes over the pages open.
async function takeOver() {
    const names = await caches.keys();
    await Promise.all(names.filter((name) => name.startsWith(cachePrefix) && name !== cacheName)
        .map((name) => caches.delete(name)));
    await self.clients.claim();
}

// Takes a request in the site's folder; returns the kept response, or the network's where none is kept.
async function answer(request) {
    const url = new URL(request.url);
    // A visit to the folder or to its page, whatever the query, gets the page.
    const page = request.mode === 'navigate' && [self.registration.scope, keptPage].includes(url.origin
        + url.pathname);
    const kept = await (await caches.open(cacheName)).match(page ? keptPage : request);
    return kept ?? fetch(request);
}

self.addEventListener('install', (event) => event.waitUntil(keepFiles()));
self.addEventListener('activate', (event) => event.waitUntil(takeOver()));
self.addEventListener('fetch', (event) => {
    if (event.request.method === 'GET' && event.request.url.startsWith(self.registration.scope))
        event.respondWith(answer(event.request));
});
