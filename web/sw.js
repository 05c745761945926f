// The site's service worker: every file of this build cached on install, so the game starts and
// plays with no network once it has been visited. The cache is named after the build's contents.
const CACHE = 'letrazul-@VERSION@';
const FILES = @FILES@;
// The word list may be missing (the game then says so) and a school may change it on its server:
// it is fetched first and cached, and the cached copy is used when the network fails.
const WORD_LIST = 'dic.txt';

self.addEventListener('install', event => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await cache.addAll(FILES.filter(name => name !== WORD_LIST));
    await cache.add(WORD_LIST).catch(() => {});
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', event => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith('letrazul-') && name !== CACHE) await caches.delete(name);
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', event => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== self.location.origin) return;
  if (url.pathname.endsWith('/' + WORD_LIST)) {
    event.respondWith((async () => {
      try {
        const response = await fetch(request, {cache: 'no-cache'});
        if (response.ok) (await caches.open(CACHE)).put(WORD_LIST, response.clone());
        return response;
      } catch (failure) {
        const cached = await caches.match(WORD_LIST);
        if (cached) return cached;
        throw failure;
      }
    })());
    return;
  }
  event.respondWith((async () => (await caches.match(request, {ignoreSearch: true})) || fetch(request))());
});
