// SPDX-License-Identifier: ISC
// Files the page offers to save: a link pointed at a file made in the page, and let go of again.

// Takes a link; lets go of the file made for it, if any.
export function dropFile(link) {
    if (link.href.startsWith('blob:'))
        URL.revokeObjectURL(link.href);
}

// Takes a link, a text and its media type; points the link at a file of that
// text in UTF-8, and lets go of the file it pointed at before.
export function offerFile(link, text, type) {
    dropFile(link);
    link.href = URL.createObjectURL(new Blob([text], { type: type + ';charset=utf-8' }));
}
