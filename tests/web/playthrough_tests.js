// The whole game played to a win in the page, once with the keyboard and the
// mouse and once by touch alone.
'use strict';

const fs = require('fs');
const path = require('path');
const { readPng, compare } = require('./browser');
const { kEndScreenAllowed, check, loadByTouch } = require('./steps');

module.exports = {
  // to the door and shoots every enemy that hunts it, one frame at a time,
  // through the page's own key and mouse events.
  async playthrough(tab, url, env) {
    await tab.load(`${url}?paused`, false);
    await tab.settle();
    const outcome = await tab.eval(`(${playInPage.toString()})()`);
    console.log(`  playthrough: ${JSON.stringify(outcome)}`);
    await tab.settle();
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(env.outputDir, 'web-win.png'), picture.png);
    check(outcome.won === 1 && outcome.over === 0, 'the game was not won');
    check(outcome.killed === 5 && outcome.score === 50, 'not every hunter was shot');
    check(outcome.sounds === outcome.shots, 'not every shot was heard');
    const d = compare(picture, readPng(fs.readFileSync(path.join(env.referenceDir, 'win.png'))));
    console.log(`  win screen: ${d.differing} pixels differ from win.png`);
    check(d.differing <= kEndScreenAllowed, `${d.differing} pixels differ from win.png`);
  },

  // The playthrough again on a touch screen, by touch alone: the question
  // answered with a tap, walking with the left thumb, turning with flicks of
  // the right one and firing with taps.
  async touchPlaythrough(tab, url, env) {
    await loadByTouch(tab, `${url}?paused`, false, 1024, 768);
    await tab.settle();
    const outcome = await tab.eval(`(${playInPage.toString()})(true)`);
    console.log(`  playthrough by touch: ${JSON.stringify(outcome)}`);
    check(outcome.won === 1 && outcome.over === 0, 'the game was not won');
    check(outcome.killed === 5 && outcome.score === 50, 'not every hunter was shot');
    check(outcome.sounds === outcome.shots, 'not every shot was heard');
  },
};

// Runs in the page (no closures): see the playthrough tests. By touch, every
// input is a touch event on the canvas; otherwise keys and mouse events.
async function playInPage(byTouch) {
  const route = [[896, 1664], [896, 1408], [896, 1152], [896, 896], [640, 896], [384, 896],
                 [128, 896], [128, 640], [128, 384], [384, 384], [384, 128], [384, 30]];
  const wrap180 = (d) => { d %= 360; if (d > 180) d -= 360; if (d < -180) d += 360; return d; };
  const towards = (x, z, tx, tz) => Math.atan2(-(tx - x), -(tz - z)) * 180 / Math.PI;
  const canvas = Module.canvas;
  let upHeld = false;
  const key = (type, code) => {
    const e = new KeyboardEvent(type, { bubbles: true, cancelable: true });
    Object.defineProperty(e, 'keyCode', { get: () => code });
    window.dispatchEvent(e);
  };
  // Touches in the game's pixels; `down` holds every finger still down.
  const rect = canvas.getBoundingClientRect();
  const down = {};
  let nextId = 10;
  const touch = (type, id, x, y) => {
    const t = new Touch({ identifier: id, target: canvas, clientX: rect.left + x * rect.width / 640,
                          clientY: rect.top + y * rect.height / 480 });
    if (type === 'touchend') delete down[id]; else down[id] = t;
    const all = Object.values(down);
    canvas.dispatchEvent(new TouchEvent(type, {
      bubbles: true, cancelable: true, touches: all, targetTouches: all, changedTouches: [t] }));
  };
  // The left thumb rests on the stick; 40 pixels up of its 60 walk.
  if (byTouch) touch('touchstart', 1, 160, 360);
  const holdUp = (held) => {
    if (held !== upHeld) {
      if (byTouch) touch('touchmove', 1, 160, held ? 320 : 360);
      else key(held ? 'keydown' : 'keyup', 38);
    }
    upHeld = held;
  };
  // Mouse turning as a player moves the mouse: moves of at most 100 pixels,
  // 32 to the degree, to the left (or up) for positive degrees. By touch, a
  // flick of the right thumb: 4 pixels to the degree, first past the tap's
  // 10 pixels so that all of it looks.
  const move = (degrees, vertical) => {
    if (byTouch) {
      const id = ++nextId, d = -degrees * 4;
      touch('touchstart', id, 480, 240);
      touch('touchmove', id, 492, 252);
      touch('touchmove', id, 480 + (vertical ? 0 : d), 240 + (vertical ? d : 0));
      touch('touchend', id, 480, 240);
      return;
    }
    let pixels = Math.round(-degrees * 32);
    while (pixels !== 0) {
      const step = Math.abs(pixels) > 100 ? Math.sign(pixels) * 100 : pixels;
      pixels -= step;
      canvas.dispatchEvent(new MouseEvent('mousemove', {
        bubbles: true, movementX: vertical ? 0 : step, movementY: vertical ? step : 0 }));
    }
  };
  const fire = () => {
    if (byTouch) {
      const id = ++nextId;
      touch('touchstart', id, 480, 240);
      touch('touchend', id, 480, 240);
      return;
    }
    canvas.dispatchEvent(new MouseEvent('mousedown', { bubbles: true, button: 0 }));
    canvas.dispatchEvent(new MouseEvent('mouseup', { bubbles: true, button: 0 }));
  };
  const turn = (degrees) => move(degrees, false);
  const steer = (wanted) => {
    const error = wrap180(wanted - Module._webHeading());
    const t = Math.max(-8, Math.min(8, error));
    turn(t);
    return Math.abs(error - t);
  };
  const nextFrame = async () => {
    const f = Module._webFrames();
    Module._webRunFrames(1);
    while (Module._webFrames() === f) await new Promise((r) => requestAnimationFrame(r));
  };
  let next = 0, frames = 0, shots = 0;
  while (!Module._webGameWon() && !Module._webGameOver() && frames < 5000) {
    const x = Module._webPlayerX(), z = Module._webPlayerZ();
    // The start leaves the view looking down a little: level it, or the
    // shots go into the floor.
    if (Math.abs(Module._webPitch()) > 0.05) move(Module._webPitch(), true);
    let hunter = -1;
    for (let i = 0; i < 6 && hunter < 0; ++i) {
      if (Module._webEnemy(i, 2) === 1 && Module._webEnemy(i, 3) < 3) hunter = i;
    }
    if (hunter >= 0) {
      holdUp(false);
      const error = steer(towards(x, z, Module._webEnemy(hunter, 0), Module._webEnemy(hunter, 1)));
      if (error < 2) {
        fire();
        ++shots;
      }
    } else {
      while (next < route.length - 1 &&
             Math.hypot(route[next][0] - x, route[next][1] - z) < 16) ++next;
      holdUp(steer(towards(x, z, route[next][0], route[next][1])) < 4);
    }
    await nextFrame();
    if (++frames % 250 === 0) console.log(`frame ${frames} at (${x.toFixed(0)}, ${z.toFixed(0)})`);
  }
  holdUp(false);
  await nextFrame();
  let killed = 0;
  for (let i = 0; i < 6; ++i) killed += Module._webEnemy(i, 4);
  return { frames, shots, sounds: Module._webSounds(), killed, score: Module._webScore(),
           won: Module._webGameWon(),
           over: Module._webGameOver() };
}
