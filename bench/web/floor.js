// The floor beside the game's page: a plain canvas page doing the drawing
// work the battlefield does, the plain way. Boxes of the castle killer's size,
// its picture on the field's green, walk a step left and up twenty times a
// second from the places given (twips, as zorvaneBench.places gives them); the page is woken on a 25 ms grid, as
// the game's clock is, and paints the whole canvas at the next frame after a
// step.
'use strict';

window.startFloor = ({ places, box: [boxWidth, boxHeight], step: [stepX, stepY] }) => new Promise((resolve, reject) => {
  const canvas = document.getElementById('floor');
  const ctx = canvas.getContext('2d', { alpha: false });
  const picture = new Image();
  picture.onerror = () => reject(new Error('no invader picture'));
  picture.onload = () => {
    const points = [];
    for (let i = 0; i + 1 < places.length; i += 2) points.push([places[i], places[i + 1]]);
    let due = performance.now() + 25, wakes = 0, pending = false;
    const paint = () => {
      pending = false;
      ctx.fillStyle = '#008000';
      ctx.fillRect(0, 0, canvas.width, canvas.height);
      for (const [x, y] of points) {
        const left = Math.round(x / 15), top = Math.round(y / 15);
        if (left >= canvas.width || top >= canvas.height || left + boxWidth <= 0 || top + boxHeight <= 0) continue;
        ctx.drawImage(picture, 0, 0, Math.min(picture.width, boxWidth), Math.min(picture.height, boxHeight),
          left, top, Math.min(picture.width, boxWidth), Math.min(picture.height, boxHeight));
      }
    };
    const wake = () => {
      const now = performance.now();
      due = Math.max(due + 25, now);
      setTimeout(wake, due - now);
      if (++wakes % 2) return;
      for (const p of points) {
        p[0] -= stepX;
        p[1] -= stepY;
      }
      if (!pending) {
        pending = true;
        requestAnimationFrame(paint);
      }
    };
    setTimeout(wake, 25);
    paint();
    resolve();
  };
  picture.src = 'pictures/invader.gif';
});
