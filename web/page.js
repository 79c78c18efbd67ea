// The game's page: two framed windows on a canvas each, the browser's events
// turned into the game's input, and the game's clock woken by one timer. The
// rules run in the WebAssembly module (zorvane.js); this script owns the page.
'use strict';

(() => {
  const errorBox = document.getElementById('error');

  // A plain message instead of the game; the details go to the console.
  function fail(message, detail) {
    if (detail) console.error(detail);
    errorBox.textContent = message;
    errorBox.hidden = false;
  }
  const broken = 'Zorvane stopped because of an error in the page. Reload the page to start a new game.';
  window.addEventListener('error', (e) => fail(broken, e.message));
  window.addEventListener('unhandledrejection', (e) => fail(broken, e.reason));

  if (typeof WebAssembly !== 'object') {
    fail('Zorvane needs WebAssembly, which this browser does not offer or has switched off.');
    return;
  }
  errorBox.hidden = true;

  // The system colours of the game, as a light desktop shows them.
  const palette = {
    buttonFace: '#efefef', windowBackground: '#ffffff', windowText: '#000000', controlText: '#000000',
    window: '#efefef', dark: '#9f9f9f', shadow: '#767676', light: '#ffffff', midlight: '#cacaca',
    disabledText: '#bebebe', line: '#000000',
  };
  // Colours as CSS text, made once each: a frame names hundreds of them.
  const colours = new Map();
  function colour(c) {
    let text = colours.get(c);
    if (text === undefined) colours.set(c, text = colourText(c >>> 0));
    return text;
  }
  function colourText(v) {
    if (v & 0x80000000) {
      switch (v & 0xff) {
        case 1: return palette.buttonFace;
        case 2: return palette.windowBackground;
        case 3: return palette.windowText;
        case 4: return palette.controlText;
        default: return palette.window;
      }
    }
    return '#' + v.toString(16).padStart(6, '0');
  }
  const families = { 'MS Sans Serif': '"Zorvane Sans"', 'Narkisim': '"Zorvane Hebrew", "Zorvane Sans"' };
  function fontOf(l) {
    return (l.bold ? 'bold ' : '') + l.px + 'px ' + (families[l.family] || '"Zorvane Sans"') + ', sans-serif';
  }

  // A label: its background if opaque, then its caption wrapped at word
  // boundaries within its width, cut off at its bottom.
  function paintLabel(ctx, l) {
    const [x, y, w, h] = l.rect;
    if (w <= 0 || h <= 0) return;
    if (l.opaque) {
      ctx.fillStyle = colour(l.back);
      ctx.fillRect(x, y, w, h);
    }
    ctx.save();
    ctx.beginPath();
    ctx.rect(x, y, w, h);
    ctx.clip();
    ctx.font = fontOf(l);
    ctx.fillStyle = l.enabled ? colour(l.fore) : palette.disabledText;
    ctx.textBaseline = 'top';
    ctx.textAlign = l.center ? 'center' : 'left';
    const m = ctx.measureText('Hg');
    const ascent = m.fontBoundingBoxAscent || l.px * 0.905;
    const line = ascent + (m.fontBoundingBoxDescent || l.px * 0.212);
    let top = y;
    for (const row of wrap(ctx, l.text, w)) {
      if (top >= y + h) break;
      ctx.fillText(row, l.center ? x + w / 2 : x, top);
      top += line;
    }
    ctx.restore();
  }
  function wrap(ctx, text, width) {
    const rows = [];
    for (const paragraph of text.split('\n')) {
      let row = '';
      for (const word of paragraph.split(' ')) {
        const tried = row ? row + ' ' + word : word;
        if (row && ctx.measureText(tried).width > width) {
          rows.push(row);
          row = word;
        } else {
          row = tried;
        }
      }
      rows.push(row);
    }
    return rows;
  }

  // A picture box: background, border, then the picture at its natural size
  // from the inner top-left corner, clipped by the box. Each look (picture,
  // colour, border, size) is drawn once into a sprite of its own, and a box
  // is one copy of it: hundreds of invaders share one look.
  const sprites = new Map();
  let lastKey = '', lastLook = null;  // hundreds of invaders in a row share a look
  function paintBox(ctx, pictures, b, i) {
    if (lastLook && b[i + 2] === lastLook[0] && b[i + 3] === lastLook[1] && b[i + 4] === lastLook[2] &&
        b[i + 5] === lastLook[3] && b[i + 6] === lastLook[4]) {
      const known = sprites.get(lastKey);
      if (known) {
        ctx.drawImage(known, b[i], b[i + 1]);
        return;
      }
    }
    const key = `${b[i + 2]},${b[i + 3]},${b[i + 4]},${b[i + 5]},${b[i + 6]}`;
    lastKey = key;
    lastLook = [b[i + 2], b[i + 3], b[i + 4], b[i + 5], b[i + 6]];
    let sprite = sprites.get(key);
    if (!sprite) {
      if (sprites.size > 512) sprites.clear();
      sprite = document.createElement('canvas');
      sprite.width = b[i + 2];
      sprite.height = b[i + 3];
      drawBox(sprite.getContext('2d'), pictures[b[i + 4]], b[i + 2], b[i + 3], b[i + 5], b[i + 6]);
      sprites.set(key, sprite);
      // A bitmap is copied faster than a canvas in some browsers.
      if (window.createImageBitmap) {
        createImageBitmap(sprite).then((bitmap) => {
          if (sprites.get(key) === sprite) sprites.set(key, bitmap);
        }, () => {});
      }
    }
    ctx.drawImage(sprite, b[i], b[i + 1]);
  }
  function drawBox(ctx, image, w, h, back, border) {
    const x = 0, y = 0;
    ctx.fillStyle = colour(back);
    ctx.fillRect(x, y, w, h);
    let edge = 0;
    if (border === 1) {
      ctx.fillStyle = palette.line;
      ctx.fillRect(x, y, w, 1);
      ctx.fillRect(x, y + h - 1, w, 1);
      ctx.fillRect(x, y, 1, h);
      ctx.fillRect(x + w - 1, y, 1, h);
      edge = 1;
    } else if (border === 2) {
      // Light falls from the top left.
      ctx.fillStyle = palette.light;
      ctx.fillRect(x, y + h - 1, w, 1);
      ctx.fillRect(x + w - 1, y, 1, h);
      ctx.fillStyle = palette.dark;
      ctx.fillRect(x, y, w - 1, 1);
      ctx.fillRect(x, y, 1, h - 1);
      if (w > 2 && h > 2) {
        ctx.fillStyle = palette.midlight;
        ctx.fillRect(x + 1, y + h - 2, w - 2, 1);
        ctx.fillRect(x + w - 2, y + 1, 1, h - 2);
        ctx.fillStyle = palette.shadow;
        ctx.fillRect(x + 1, y + 1, w - 3, 1);
        ctx.fillRect(x + 1, y + 1, 1, h - 3);
      }
      edge = 2;
    }
    const iw = w - 2 * edge, ih = h - 2 * edge;
    if (!image || iw <= 0 || ih <= 0) return;
    const sw = Math.min(image.naturalWidth, iw), sh = Math.min(image.naturalHeight, ih);
    if (sw > 0 && sh > 0) ctx.drawImage(image, 0, 0, sw, sh, x + edge, y + edge, sw, sh);
  }

  function loadPicture(name) {
    return new Promise((resolve, reject) => {
      const image = new Image();
      image.onload = () => resolve(image);
      image.onerror = () => reject(new Error('Zorvane could not start: its picture ' + name + ' is missing or damaged.'));
      image.src = 'pictures/' + name;
    });
  }

  function loadModule() {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = 'zorvane.js';
      script.onload = () => resolve();
      script.onerror = () => reject(new Error('Zorvane could not start: its file zorvane.js is missing.'));
      document.head.appendChild(script);
    }).then(() => createZorvane({
      print: () => {},
      printErr: (text) => console.warn(text),
      onAbort: (what) => fail(broken, what),
    })).catch((e) => {
      throw /^Zorvane/.test(e.message) ? e
        : new Error('Zorvane could not start: its file zorvane.wasm is missing or damaged.', { cause: e });
    });
  }

  async function main() {
    const M = await loadModule();
    M._zv_start_up();
    const pictures = await Promise.all(
      Array.from({ length: M._zv_picture_count() }, (_, i) => loadPicture(M.UTF8ToString(M._zv_picture_name(i)))));
    await Promise.all(['"Zorvane Sans"', 'bold 1px "Zorvane Sans"', 'bold 1px "Zorvane Hebrew"']
      .map((f) => document.fonts.load(f.includes('px') ? f : '1px ' + f)));

    const side = M._zv_frame_side(), barHeight = M._zv_frame_top();
    // A window of the page: its element, its client canvas, its zoom.
    function makeWindow(id, field) {
      const element = document.getElementById(id);
      const canvas = element.querySelector('canvas');
      const w = {
        element, canvas, field, ctx: canvas.getContext('2d', { alpha: false }),
        width: M._zv_client_width(field), height: M._zv_client_height(field), num: 1, den: 1, scale: 1,
      };
      canvas.dataset.width = w.width;
      canvas.dataset.height = w.height;
      return w;
    }
    const title = makeWindow('title', 0), field = makeWindow('field', 1);
    const start = document.getElementById('start');
    const msgbox = document.getElementById('msgbox');
    const msgText = document.getElementById('msgbox-text');
    const msgOk = document.getElementById('msgbox-ok');
    let frames = 0, timer = 0, paintPending = false, wholeField = true, head = null, titleData = null;

    // Zoom to fit the viewport, as the desktop fits its screen; the backing
    // store follows devicePixelRatio so that the picture stays crisp.
    function layout() {
      M._zv_fit(Math.max(1, window.innerWidth), Math.max(1, window.innerHeight));
      for (const w of [title, field]) {
        w.num = M._zv_zoom_num(w.field);
        w.den = M._zv_zoom_den(w.field);
        const cssW = Math.round(w.width * w.num / w.den), cssH = Math.round(w.height * w.num / w.den);
        const ratio = window.devicePixelRatio || 1;
        w.canvas.style.width = cssW + 'px';
        w.canvas.style.height = cssH + 'px';
        w.canvas.width = Math.max(1, Math.round(cssW * ratio));
        w.canvas.height = Math.max(1, Math.round(cssH * ratio));
        w.scale = w.canvas.width / w.width;
        w.element.style.left = Math.max(0, Math.floor((window.innerWidth - cssW - 2 * side) / 2)) + 'px';
        w.element.style.top = Math.max(0, Math.floor((window.innerHeight - cssH - barHeight - side) / 2)) + 'px';
      }
      placeStart();
      paintTitle();
      // The layer beneath the boxes is made again at the new size.
      underValid = false;
      wholeField = true;
      schedulePaint();
    }

    function begin(w) {
      const ctx = w.ctx;
      ctx.setTransform(w.scale, 0, 0, w.canvas.height / w.height, 0, 0);
      // Pixel art stays crisp when it is enlarged, and is averaged when shrunk.
      ctx.imageSmoothingEnabled = w.scale < 1;
      return ctx;
    }

    function placeStart() {
      if (!titleData) return;
      const s = titleData.start, k = title.num / title.den;
      const [x, y, bw, bh] = s.rect;
      start.textContent = s.text;
      start.style.left = Math.floor(x * k) + 'px';
      start.style.top = Math.floor(y * k) + 'px';
      start.style.width = Math.ceil((x + bw) * k) - Math.floor(x * k) + 'px';
      start.style.height = Math.ceil((y + bh) * k) - Math.floor(y * k) + 'px';
      start.style.fontSize = Math.max(1, Math.round(s.px * k)) + 'px';
    }

    function paintTitle() {
      titleData = JSON.parse(M.UTF8ToString(M._zv_title()));
      placeStart();
      const ctx = begin(title);
      ctx.fillStyle = colour(titleData.back);
      ctx.fillRect(0, 0, title.width, title.height);
      for (const l of titleData.labels) paintLabel(ctx, l);
    }

    // The window's colour, picture and labels change seldom and lie beneath
    // every box: they are painted into a layer of their own when they change.
    // Its picture and labels lie in a band at the top; below it the layer is
    // the window's colour alone.
    const under = document.createElement('canvas');
    let underValid = false, band = 0;
    function paintUnder() {
      under.width = field.canvas.width;
      under.height = field.canvas.height;
      const ctx = under.getContext('2d', { alpha: false });
      const sy = field.canvas.height / field.height;
      ctx.setTransform(field.scale, 0, 0, sy, 0, 0);
      ctx.imageSmoothingEnabled = field.scale < 1;
      ctx.fillStyle = colour(head.back);
      ctx.fillRect(0, 0, field.width, field.height);
      let bottom = 0;
      if (head.picture >= 0) {
        ctx.drawImage(pictures[head.picture], 0, 0);
        bottom = pictures[head.picture].naturalHeight;
      }
      for (const l of head.labels) {
        paintLabel(ctx, l);
        if (l.rect[2] > 0 && l.rect[3] > 0) bottom = Math.max(bottom, l.rect[1] + l.rect[3]);
      }
      // Two device pixels more: an edge at a fractional scale, or a picture
      // averaged when shrunk, reaches into the next ones.
      band = Math.min(under.height, Math.ceil(bottom * sy) + 2);
      underValid = true;
    }

    // What the battlefield shows, taken after the game has run: a frame is
    // asked for only when it changed.
    let changes = 0;
    function takeScene() {
      changes |= M._zv_scene();
      if (changes || wholeField) schedulePaint();
    }

    // A frame paints the whole window: its colour, a copy of the layer's
    // band, then the boxes. A browser that keeps the last frame for the
    // screen copies the whole canvas before any draw that leaves part of it
    // as it was, so a frame painted in parts costs as much as a whole one,
    // while a canvas filled whole from the start is drawn afresh.
    const fields = M._zv_box_fields();
    function paintField() {
      const changed = changes;
      changes = 0;
      if (changed & 1 || !head) {
        head = JSON.parse(M.UTF8ToString(M._zv_scene_head()));
        underValid = false;
      }
      if (!changed && !wholeField) return;
      wholeField = false;
      if (!underValid) paintUnder();
      const at = M._zv_scene_boxes() >> 2;
      const boxes = M.HEAP32.subarray(at, at + M._zv_scene_box_count() * fields);
      const ctx = field.ctx;
      ctx.setTransform(1, 0, 0, 1, 0, 0);
      ctx.fillStyle = colour(head.back);
      ctx.fillRect(0, 0, field.canvas.width, field.canvas.height);
      if (band > 0) ctx.drawImage(under, 0, 0, under.width, band, 0, 0, under.width, band);
      begin(field);
      for (let i = 0; i < boxes.length; i += fields) paintBox(ctx, pictures, boxes, i);
      frames++;
    }

    function paint() {
      paintPending = false;
      if (!field.element.hidden) paintField();
    }
    function schedulePaint() {
      if (paintPending) return;
      paintPending = true;
      requestAnimationFrame(paint);
    }

    // One timer, armed for the game's next due firing: the page wakes once
    // per due time and not at all while nothing is due.
    function rearm() {
      clearTimeout(timer);
      timer = 0;
      const delay = M._zv_delay();
      if (delay >= 0) timer = setTimeout(wake, delay);
    }
    function wake() {
      timer = 0;
      M._zv_wake();
      follow();
    }

    // After the game has run: the windows it shows, its message boxes, the
    // next wake-up and a repaint.
    function follow() {
      const showField = M._zv_field_visible() === 1;
      if (showField && field.element.hidden) {
        field.element.hidden = false;
        wholeField = true;
        field.canvas.focus();
      }
      if (!showField) field.element.hidden = true;
      const showTitle = M._zv_title_visible() === 1;
      if (showTitle !== !title.element.hidden) {
        title.element.hidden = !showTitle;
        if (showTitle) start.focus();
      }
      if (M._zv_boxes() > 0 && !msgbox.open) {
        msgText.textContent = M.UTF8ToString(M._zv_box_text());
        msgbox.showModal();
      }
      rearm();
      if (showField) takeScene();
    }

    // A box is answered by its OK button, Enter or Escape: the next one
    // shows, or the game goes on. A box closed any other way shows again.
    function answer(event) {
      event.preventDefault();
      if (!msgbox.open) return;
      msgbox.close();
      M._zv_box_closed();
      follow();
      if (!msgbox.open && !field.element.hidden) field.canvas.focus();
    }
    msgOk.addEventListener('click', answer);
    msgbox.addEventListener('cancel', answer);

    start.addEventListener('click', () => {
      M._zv_start_clicked();
      follow();
    });

    // Keys by their physical place, as the desktop reads them. A held key's
    // repeats say nothing new. The browser keeps every key the game does not use.
    const keyCodes = new Map();
    function virtualKey(code) {
      if (!keyCodes.has(code)) {
        const vk = M.ccall('zv_virtual_key', 'number', ['string'], [code]);
        keyCodes.set(code, vk);
      }
      return keyCodes.get(code);
    }
    function key(event, down) {
      const vk = virtualKey(event.code);
      if (vk === 0) return;
      if (M._zv_key_used(vk) && !event.ctrlKey && !event.altKey && !event.metaKey) event.preventDefault();
      if (event.repeat) return;
      M._zv_key(down ? 1 : 0, vk);
      follow();
    }
    field.canvas.addEventListener('keydown', (e) => key(e, true));
    field.canvas.addEventListener('keyup', (e) => key(e, false));

    // Buttons at whole pixels of the client area; a release outside the
    // window still arrives. The field has no context menu.
    const buttons = [1, 4, 2];
    function mouse(event, down) {
      const button = buttons[event.button];
      if (!button) return;
      event.preventDefault();
      if (down) {
        field.canvas.focus();
        field.canvas.setPointerCapture(event.pointerId);
      }
      const rect = field.canvas.getBoundingClientRect();
      M._zv_mouse(down ? 1 : 0, button, Math.floor(event.clientX - rect.left), Math.floor(event.clientY - rect.top));
      follow();
    }
    field.canvas.addEventListener('pointerdown', (e) => mouse(e, true));
    field.canvas.addEventListener('pointerup', (e) => mouse(e, false));
    field.canvas.addEventListener('contextmenu', (e) => e.preventDefault());

    window.addEventListener('resize', layout);

    // A bench's own build of the module can fill the field with invaders.
    if (M._zv_bench_fill) {
      window.zorvaneBench = {
        fill(onField, seconds) { M._zv_bench_fill(onField, seconds); follow(); },
        places: (onField, seconds) => JSON.parse(M.UTF8ToString(M._zv_bench_places(onField, seconds))),
      };
    }

    layout();
    follow();  // shows the title, Start focused

    return {
      dump: () => JSON.parse(M.UTF8ToString(M._zv_dump())),
      zoom: () => {
        const w = field.element.hidden ? title : field;
        return { num: w.num, den: w.den };
      },
      frames: () => frames,
    };
  }

  // Read-only, for tests and the curious; `ready` once the title is painted.
  let started;
  const ready = new Promise((resolve) => { started = resolve; });
  window.zorvane = { ready };
  main().then((api) => {
    window.zorvane = Object.freeze({ ...api, ready });
    requestAnimationFrame(() => started());
  }, (e) => fail(/^Zorvane/.test(e.message) ? e.message : broken, e.cause || e));
})();
