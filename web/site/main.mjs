// SPDX-License-Identifier: ISC
// The web site's page: the page, and the worker that keeps the site for use with no network.
import '../main.mjs';
import { registerWorker } from './worker-registration.mjs';

registerWorker();
