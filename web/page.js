// The page around the game: it loads what the program needs before it starts (the font, the
// background, the word list), turns presses and menu choices into the program's queued events,
// plays the sounds once the browser allows, and shows the closing screen when the program ends.
'use strict';

(() => {
  const screen = document.getElementById('screen');
  const status = document.getElementById('status');
  const menuButton = document.getElementById('menu-opciones');
  const menu = document.getElementById('menu-opciones-items');
  const menuItems = [...menu.querySelectorAll('[role="menuitem"]')];
  const wordList = document.getElementById('word-list');
  const wordFile = document.getElementById('word-file');
  const wordReset = document.getElementById('word-list-reset');
  const closed = document.getElementById('closed');
  const closedText = document.getElementById('closed-text');
  const playAgain = document.getElementById('play-again');

  const PRESS = 1, COMMAND = 2;
  const SOUNDS = ['300', '301', '302', '303', '304', '305'];
  const LIST_NAME = 'dic.txt';

  let program = null;  // the running module, or null
  let frameShown;
  // What the page offers to look at from outside (and tests read): never written from there.
  const letrazul = {
    ready: new Promise(resolve => { frameShown = resolve; }),
    frames: 0,
    sounds: [],
    ended: false,
    lastFrame() {
      const image = screen.getContext('2d').getImageData(0, 0, screen.width, screen.height);
      return {width: image.width, height: image.height, data: image.data};
    },
  };
  window.letrazul = letrazul;

  const post = (kind, value) => {
    if (program && program.letrazulPost) program.letrazulPost(kind, value);
  };

  // The screen: as large as the window allows at 4:3, its pixels repeated rather than blurred when
  // it is shown larger than the frame on the device's pixels.
  function fitScreen() {
    const stage = screen.parentElement;
    const scale = Math.min(stage.clientWidth / screen.width, stage.clientHeight / screen.height);
    const dpr = window.devicePixelRatio || 1;
    // Whole device pixels, so that every frame pixel covers the same number of them where it can.
    const deviceWidth = Math.max(1, Math.floor(screen.width * scale * dpr));
    screen.style.width = deviceWidth / dpr + 'px';
    screen.style.height = deviceWidth * screen.height / screen.width / dpr + 'px';
    screen.classList.toggle('crisp', deviceWidth >= screen.width);
  }
  window.addEventListener('resize', fitScreen);
  new ResizeObserver(fitScreen).observe(screen.parentElement);
  fitScreen();

  // Sound: the context is made at once, so the sounds can be decoded before they are needed, and
  // resumed at the first gesture, as browsers require.
  const AudioContextType = window.AudioContext || window.webkitAudioContext;
  const audio = AudioContextType ? new AudioContextType() : null;
  const decoded = {};
  async function loadSounds() {
    if (!audio) return;
    await Promise.all(SOUNDS.map(async name => {
      try {
        const bytes = await (await fetch(`sound${name}.wav`)).arrayBuffer();
        decoded[name] = await audio.decodeAudioData(bytes);
      } catch (failure) {
        decoded[name] = null;
      }
    }));
  }
  const unlock = () => {
    if (audio && audio.state === 'suspended') audio.resume();
  };
  for (const type of ['pointerdown', 'keydown', 'touchend']) window.addEventListener(type, unlock, true);

  // Presses on the screen, in the frame's own pixels whatever its size on the page.
  screen.addEventListener('pointerdown', event => {
    if (!event.isPrimary || event.button !== 0) return;
    event.preventDefault();
    closeMenu(false);
    const box = screen.getBoundingClientRect();
    const x = Math.min(screen.width - 1, Math.max(0, Math.floor((event.clientX - box.left) * screen.width / box.width)));
    const y = Math.min(screen.height - 1, Math.max(0, Math.floor((event.clientY - box.top) * screen.height / box.height)));
    post(PRESS, x | y << 16);
  });
  screen.addEventListener('contextmenu', event => event.preventDefault());

  // The menu bar: a click or Enter/Space/Down opens it, the arrows move, Escape closes it, and
  // Alt or F10 reaches it from anywhere, as in a Windows menu bar.
  function openMenu(focusItem) {
    menu.hidden = false;
    menuButton.setAttribute('aria-expanded', 'true');
    if (focusItem !== undefined) menuItems[(focusItem + menuItems.length) % menuItems.length].focus();
  }
  function closeMenu(focusButton) {
    if (menu.hidden) return;
    menu.hidden = true;
    menuButton.setAttribute('aria-expanded', 'false');
    if (focusButton) menuButton.focus();
  }
  menuButton.addEventListener('click', event => {
    if (menu.hidden) openMenu(event.detail === 0 ? 0 : undefined);
    else closeMenu(false);
  });
  menuButton.addEventListener('keydown', event => {
    if (event.key === 'ArrowDown' || event.key === 'Enter' || event.key === ' ') {
      event.preventDefault();
      openMenu(0);
    } else if (event.key === 'ArrowUp') {
      event.preventDefault();
      openMenu(-1);
    }
  });
  menu.addEventListener('keydown', event => {
    const at = menuItems.indexOf(document.activeElement);
    if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      menuItems[(at + (event.key === 'ArrowDown' ? 1 : -1) + menuItems.length) % menuItems.length].focus();
    } else if (event.key === 'Home' || event.key === 'End') {
      event.preventDefault();
      menuItems[event.key === 'Home' ? 0 : menuItems.length - 1].focus();
    } else if (event.key === 'Escape' || event.key === 'Tab') {
      if (event.key === 'Escape') event.preventDefault();
      closeMenu(event.key === 'Escape');
    }
  });
  for (const item of menuItems) {
    item.addEventListener('click', () => {
      closeMenu(false);
      menuButton.blur();
      post(COMMAND, Number(item.dataset.command));
    });
  }
  document.addEventListener('pointerdown', event => {
    if (!event.target.closest('.menu')) closeMenu(false);
  });
  // As on Windows, Alt reaches the menu bar when it is let go with no other key pressed meanwhile.
  let altAlone = false;
  const toggleMenuBar = () => {
    if (document.activeElement === menuButton && menu.hidden) menuButton.blur();
    else menuButton.focus();
  };
  document.addEventListener('keydown', event => {
    altAlone = event.key === 'Alt' && !event.repeat;
    if (event.key === 'F10') {
      event.preventDefault();
      toggleMenuBar();
    }
  });
  document.addEventListener('keyup', event => {
    if (event.key === 'Alt' && altAlone) {
      event.preventDefault();
      toggleMenuBar();
    }
    altAlone = false;
  });

  // The word list: ours is the site's dic.txt; a file chosen or dropped takes its place until the
  // player goes back to ours. The program reads whichever is held when it next chooses a word.
  let ourList = null;   // {bytes} | {missing: true} | {unreadable: true}
  let chosenList = null;  // {name, bytes} or null
  async function fetchOurList() {
    try {
      const response = await fetch(LIST_NAME, {cache: 'no-cache'});
      if (response.status === 404 || response.status === 410) return {missing: true};
      if (!response.ok) return {unreadable: true};
      return {bytes: new Uint8Array(await response.arrayBuffer())};
    } catch (failure) {
      return {unreadable: true};
    }
  }
  function holdList() {
    if (!program) return;
    const list = chosenList || ourList;
    const name = program._malloc(LIST_NAME.length + 1);
    program.stringToUTF8(LIST_NAME, name, LIST_NAME.length + 1);
    if (list.missing) {
      program._letrazul_drop_file(name);
    } else if (list.unreadable) {
      program._letrazul_hold_file(name, 0, -1);
    } else {
      const bytes = program._malloc(Math.max(1, list.bytes.length));
      program.HEAPU8.set(list.bytes, bytes);
      program._letrazul_hold_file(name, bytes, list.bytes.length);
      program._free(bytes);
    }
    program._free(name);
  }
  function showList() {
    if (chosenList) {
      wordList.textContent = `Palabras: «${chosenList.name}», de este dispositivo`;
    } else {
      const state = ourList && ourList.missing ? ' (no está en el servidor)' : '';
      wordList.textContent = `Palabras: las del juego (dic.txt)${state}`;
    }
    wordReset.disabled = !chosenList;
  }
  async function chooseList(file) {
    if (!file) return;
    try {
      chosenList = {name: file.name, bytes: new Uint8Array(await file.arrayBuffer())};
    } catch (failure) {
      chosenList = {name: file.name, unreadable: true};
    }
    holdList();
    showList();
  }
  wordFile.addEventListener('change', () => {
    chooseList(wordFile.files[0]);
    wordFile.value = '';
  });
  wordReset.addEventListener('click', async () => {
    chosenList = null;
    ourList = await fetchOurList();
    holdList();
    showList();
  });
  document.addEventListener('dragover', event => {
    if (![...event.dataTransfer.types].includes('Files')) return;
    event.preventDefault();
    document.body.classList.add('dropping');
  });
  document.addEventListener('dragleave', event => {
    if (event.relatedTarget === null) document.body.classList.remove('dropping');
  });
  document.addEventListener('drop', event => {
    document.body.classList.remove('dropping');
    if (!event.dataTransfer.files.length) return;
    event.preventDefault();
    chooseList(event.dataTransfer.files[0]);
  });

  // The background, decoded to its own pixels: no colour conversion, no blending.
  async function loadBackground() {
    const blob = await (await fetch('background.webp')).blob();
    const bitmap = await createImageBitmap(blob, {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
    const canvas = document.createElement('canvas');
    canvas.width = bitmap.width;
    canvas.height = bitmap.height;
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    return context.getImageData(0, 0, bitmap.width, bitmap.height);
  }

  function programEnded(exitCode) {
    program = null;
    closeMenu(false);
    for (const box of document.querySelectorAll('dialog.box')) box.remove();
    closedText.textContent = exitCode === 0
      ? 'Has salido del juego. ¡Gracias por jugar!'
      : `El juego se ha cerrado por un error (código ${exitCode}).`;
    closed.hidden = false;
    letrazul.ended = true;
    playAgain.focus();
  }

  let background = null;
  // Makes an instance of the program; it starts once the page holds what it reads at start.
  function makeProgram() {
    return createLetrazul({
      letrazulSoundNames: SOUNDS,
      letrazulSounds: decoded,
      letrazulAudio: audio,
      onFrameShown() {
        letrazul.frames += 1;
        status.textContent = '';
        frameShown();
      },
      onSoundRequested(name) {
        letrazul.sounds.push(name);
      },
      onProgramEnded: programEnded,
      print: text => console.log(text),
      printErr: text => console.warn(text),
    });
  }
  function startProgram(module) {
    letrazul.ended = false;
    closed.hidden = true;
    module.letrazulPictures = {'#202': background};
    program = module;
    holdList();
    module.callMain([]);
  }
  playAgain.addEventListener('click', async () => startProgram(await makeProgram()));

  // Everything the first frame needs is fetched at once: the program, its face, its background and
  // the word list.
  async function start() {
    const font = new FontFace('Letrazul Serif', 'url(LiberationSerif-Bold.woff2) format("woff2")', {weight: 'bold'});
    const [module, , picture, list] = await Promise.all([makeProgram(), font.load(), loadBackground(), fetchOurList()]);
    document.fonts.add(font);
    background = picture;
    ourList = list;
    showList();
    startProgram(module);
    letrazul.ready.then(loadSounds);
  }
  start().catch(failure => {
    status.textContent = 'No se ha podido cargar el juego: ' + failure.message;
    console.error(failure);
  });

  if ('serviceWorker' in navigator && location.protocol !== 'file:')
    window.addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch(() => {}));
})();
