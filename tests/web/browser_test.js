// The browser build played in headless Chromium, as a player would: the start
// question, the first frame against the desktop's, walking, firing, being
// caught, the frame rate, mouse look, Escape and full screen.
//   node browser_test.js RUN_DIR REFERENCE_DIR OUTPUT_DIR [test name ...]
'use strict';

const fs = require('fs');
const path = require('path');
const { serve, startChromium, Tab, readPng, compare, countPixels, sleep } = require('./browser');

const [runDir, referenceDir, outputDir, ...only] = process.argv.slice(2);
if (!runDir || !referenceDir || !outputDir) {
  console.error('usage: node browser_test.js RUN_DIR REFERENCE_DIR OUTPUT_DIR [test ...]');
  process.exit(2);
}
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';

const kQuestion = 'Start FullScreen?\n\n' +
    'Would You Like To Run In Fullscreen Mode(Support Mouse Movement)?';
// Pixels (of 307200) that may differ by more than 24 in a channel from the
// desktop's start frame: the browser rasterises through ANGLE and SwiftShader,
// whose texture filtering and edge rules differ a little from Mesa's.
const kStartFrameAllowed = 400;
const kEndScreenAllowed = 300;
const isRed = (r, g, b) => r >= 200 && r - g > 60 && r - b > 60;
const isWhite = (r, g, b) => r >= 230 && g >= 230 && b >= 230;

// In the page: the game's frames and the browser's frame callbacks per
// second, over three seconds.
const measureRates = `new Promise((resolve) => {
    let callbacks = 0;
    const count = () => { ++callbacks; requestAnimationFrame(count); };
    requestAnimationFrame(count);
    const f0 = Module._webFrames(), t0 = performance.now();
    setTimeout(() => {
      const seconds = (performance.now() - t0) / 1000;
      resolve([(Module._webFrames() - f0) / seconds, callbacks / seconds]);
    }, 3000); })`;

// Lets a held game run exactly `count` more frames (after the input sent
// meanwhile has been taken, when `settle`).
async function runFrames(tab, count, settle = false) {
  if (settle) await tab.settle();
  const frames = await tab.eval('Module._webFrames()');
  await tab.eval(`Module._webRunFrames(${count})`);
  await tab.waitFor(`Module._webFrames() === ${frames + count}`, 10000);
}

function check(condition, what) {
  if (!condition) throw new Error(what);
}

// Loads the page on a touch screen (a phone held sideways unless sized) and
// answers its own start question with a tap.
// Two traces compared line by line (line N is frame N): null when equal,
// else the first frame that differs.
function compareTraces(expected, actual) {
  const [want, got] = [expected, actual].map((t) => t.trimEnd().split('\n'));
  const i = want.findIndex((line, n) => line !== got[n]);
  const frame = i >= 0 ? i : want.length < got.length ? want.length : -1;
  return frame < 0 ? null : `the trace differs at frame ${frame + 1}: ` +
                            `expected "${want[frame] || ''}", got "${got[frame] || ''}"`;
}

async function loadByTouch(tab, url, yes, width = 844, height = 390) {
  await tab.client.Emulation.setTouchEmulationEnabled({ enabled: true, maxTouchPoints: 5 });
  await tab.client.Emulation.setDeviceMetricsOverride({ width, height, deviceScaleFactor: 1, mobile: true });
  tab.dialogs = [];
  await tab.client.Page.navigate({ url });
  await tab.waitFor('(document.getElementById("question") || {style: {}}).style.display === "flex"',
                    30000);
  await tab.tap(yes ? '#answerYes' : '#answerNo');
  await tab.waitFor('Module.gameStarted === true', 30000);
  check(tab.dialogs.length === 0, `browser dialogs: ${JSON.stringify(tab.dialogs)}`);
}

// One finger on the game, in its own pixels; `type` touchEnd lifts every finger.
async function touchGame(tab, type, x, y, id) {
  await tab.touch(type, type === 'touchEnd' ? [] : [[...(await tab.gamePoint(x, y)), id]]);
}

// A pad the page finds through navigator.getGamepads: a standard-layout pad
// whose sticks and buttons the test sets, and can pull out.
const kStandInPad = `(() => {
  const pad = { id: 'stand-in pad', index: 0, connected: true, mapping: 'standard',
                timestamp: 0, axes: [0, 0, 0, 0], buttons: [] };
  for (let i = 0; i < 17; ++i) pad.buttons.push({ pressed: false, touched: false, value: 0 });
  window.standInPad = {
    pad, plugged: true,
    press(i, value) { pad.buttons[i].value = value; pad.buttons[i].pressed = value > 0.5; },
  };
  Object.defineProperty(Navigator.prototype, 'getGamepads', {
    configurable: true,
    value: () => (window.standInPad.plugged ? [pad, null, null, null] : [null, null, null, null]),
  });
})()`;

const kW = 87, kD = 68, kF = 70;

const tests = {
  // Answering No plays in the 640 x 480 canvas.
  async question(tab, url) {
    await tab.load(url, false);
    check(tab.dialogs.length === 1, `dialogs: ${JSON.stringify(tab.dialogs)}`);
    check(tab.dialogs[0].type === 'confirm', `dialog type ${tab.dialogs[0].type}`);
    check(tab.dialogs[0].message === kQuestion, `question text: ${tab.dialogs[0].message}`);
    const size = await tab.eval('[Module.canvas.width, Module.canvas.height, ' +
                                'Module.canvas.clientWidth, Module.canvas.clientHeight]');
    check(size.join() === '640,480,640,480', `canvas ${size}`);
    await tab.waitFor('Module._webFrames() > 10', 10000);
    // The page as a player sees it, for the README.
    const page = await tab.client.Page.captureScreenshot({
      format: 'png', clip: { x: 162, y: 0, width: 700, height: 600, scale: 1 },
    });
    fs.writeFileSync(path.join(outputDir, 'web-page.png'), Buffer.from(page.data, 'base64'));
  },

  // The first frame, facing the first enemy as the desktop's reference frame does.
  async startFrame(tab, url) {
    await tab.load(`${url}?paused`, false);
    await tab.eval('Module._webSetLook(45, 0)');
    await tab.eval('Module._webRunFrames(1)');
    await tab.waitFor('Module._webFrames() === 1', 10000);
    await tab.settle();
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(outputDir, 'web-start.png'), picture.png);
    const reference = readPng(fs.readFileSync(path.join(referenceDir, 'start.png')));
    const d = compare(picture, reference);
    console.log(`  start frame: ${d.differing} pixels differ (${(100 * d.fraction).toFixed(2)}%),` +
                ` mean difference ${d.meanDifference.toFixed(2)} per channel`);
    check(d.differing <= kStartFrameAllowed, `${d.differing} pixels differ from start.png`);
    // "ALERT!" in red over the maze.
    check(countPixels(picture, 0, 0, 640, 480, isRed) > 50, 'no red text');
  },

  // Holding W for 30 frames walks about 100 units north (the start heading).
  async walk(tab, url) {
    await tab.load(`${url}?paused`, false);
    await tab.settle();
    const before = await tab.eval('[Module._webPlayerX(), Module._webPlayerZ()]');
    await tab.key('keyDown', 87, 'KeyW', 'w');
    await tab.settle();
    await runFrames(tab, 30);
    await tab.key('keyUp', 87, 'KeyW', 'w');
    await tab.settle();
    await runFrames(tab, 30);
    const after = await tab.eval('[Module._webPlayerX(), Module._webPlayerZ()]');
    console.log(`  walked from (${before.map((v) => v.toFixed(1))}) to (${
      after.map((v) => v.toFixed(1))})`);
    check(before[1] - after[1] > 80, 'W did not walk north');
    check(Math.abs(after[0] - before[0]) < 10, 'W walked sideways');
  },

  // Three shots at the end wall of the first corridor, as the desktop's
  // smoke reference frame has them: the shot's sound and the same burst.
  async fire(tab, url) {
    await tab.load(`${url}?paused`, false);
    for (const yaw of [296, 300, 304]) {
      await tab.eval(`Module._webSetLook(${yaw}, 0)`);
      await tab.click();
      await tab.settle();  // the click is taken while the game waits
      await runFrames(tab, 1);
    }
    await runFrames(tab, 2);
    await tab.settle();
    check(await tab.eval('Module._webSmoke()') === 1, 'no smoke');
    const sounds = await tab.eval('Module._webSounds()');
    check(sounds === 3, `${sounds} sounds started for three shots`);
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(outputDir, 'web-smoke.png'), picture.png);
    const d = compare(picture, readPng(fs.readFileSync(path.join(referenceDir, 'smoke.png'))));
    console.log(`  smoke frame: ${d.differing} pixels differ from smoke.png,` +
                ` mean difference ${d.meanDifference.toFixed(2)} per channel`);
    check(d.differing <= kStartFrameAllowed, `${d.differing} pixels differ from smoke.png`);
  },

  // Standing still, the first enemy catches the player: "GAME OVER!".
  async caught(tab, url) {
    await tab.load(url, false);
    await tab.waitFor('Module._webGameOver() === 1', 240000);
    await sleep(100);
    await tab.settle();
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(outputDir, 'web-gameover.png'), picture.png);
    const reference = readPng(fs.readFileSync(path.join(referenceDir, 'gameover.png')));
    const d = compare(picture, reference);
    console.log(`  game-over screen: ${d.differing} pixels differ from gameover.png`);
    check(d.differing <= kEndScreenAllowed, `${d.differing} pixels differ from gameover.png`);
    check(countPixels(picture, 0, 0, 640, 480, isWhite) > 100, 'no white text');
    // The end screen draws little: the rate the gate holds even on a slow machine.
    const [game, browser] = await tab.eval(measureRates);
    console.log(`  end-screen frame rate: ${game.toFixed(2)} per second` +
                ` (the browser's: ${browser.toFixed(2)})`);
    check(game < 60.5, `faster than 60: ${game}`);
  },

  // 60 frames a second, measured over three seconds of the page's clock,
  // whatever the rate of the browser's own frames above that; where the
  // machine cannot draw 60 (a loaded one), every frame the browser gives.
  async frameRate(tab, url) {
    await tab.load(url, false);
    await tab.waitFor('Module._webFrames() > 30', 10000);
    const [game, browser] = await tab.eval(measureRates);
    console.log(`  frame rate: ${game.toFixed(2)} per second (the browser's: ${browser.toFixed(2)})`);
    check(game < 60.5, `faster than 60: ${game}`);
    check(game > Math.min(57, 0.93 * browser), `frame rate ${game} with the browser at ${browser}`);
  },

  // A mouse move of 32 pixels to the right turns the view one degree right.
  async mouseLook(tab, url) {
    await tab.load(url, false);
    await tab.waitFor('Module._webFrames() > 5', 10000);
    await tab.mouse('mouseMoved', 300, 240);
    await sleep(100);
    const before = await tab.eval('Module._webHeading()');
    await tab.mouse('mouseMoved', 332, 240);
    await sleep(100);
    const after = await tab.eval('Module._webHeading()');
    console.log(`  heading ${before} -> ${after}`);
    check(Math.abs(after - before + 1) < 1e-9, `turned by ${after - before}`);
  },

  // Escape ends the game and the page says so.
  async escape(tab, url) {
    await tab.load(url, false);
    await tab.waitFor('Module._webFrames() > 5', 10000);
    await tab.key('keyDown', 27, 'Escape', 'Escape');
    await tab.waitFor('Module._webEnded() === 1', 5000);
    await tab.key('keyUp', 27, 'Escape', 'Escape');
    const text = await tab.eval('document.getElementById("status").textContent');
    check(/ended/.test(text), `status: ${text}`);
  },

  // Answering Yes: the first click takes the canvas full screen, scaled with
  // its 640 x 480 pixels kept.
  async fullscreen(tab, url) {
    await tab.load(url, true);
    await tab.waitFor('Module._webFrames() > 5', 10000);
    await tab.click();
    await tab.waitFor('document.fullscreenElement === Module.canvas', 5000);
    const size = await tab.eval('[Module.canvas.width, Module.canvas.height]');
    check(size.join() === '640,480', `canvas ${size}`);
    const shown = await tab.eval('(() => { const b = Module.canvas.getBoundingClientRect(); ' +
                                 'return [b.width, b.height, screen.width, screen.height]; })()');
    console.log(`  full screen: 640 x 480 shown as ${shown[0]} x ${shown[1]} on ${shown[2]} x ${
      shown[3]}`);
    check(shown[0] > 640 && Math.abs(shown[0] / shown[1] - 4 / 3) < 0.01, 'not scaled at 4:3');
    await tab.waitFor('Module._webSmoke() === 1 || Module._webSounds() === 1', 5000);
    await tab.eval('document.exitFullscreen()');
    await tab.waitFor('document.fullscreenElement === null', 5000);
    await tab.waitFor('Module.canvas.getBoundingClientRect().width === 640', 5000);
    const frames = await tab.eval('Module._webFrames()');
    await tab.waitFor(`Module._webFrames() > ${frames + 5}`, 5000);
  },

  // A phone: the page's own question answered Yes by a tap goes full screen,
  // the view fits the screen at 4:3, the left thumb walks, the right one looks
  // and fires, and the page's F and Escape buttons work.
  async touch(tab, url) {
    await loadByTouch(tab, `${url}?paused`, true);
    await tab.waitFor('document.fullscreenElement === document.getElementById("stage")', 5000);
    const fit = await tab.eval('(() => { const b = Module.canvas.getBoundingClientRect(); ' +
                               'return [b.width, b.height, innerWidth, innerHeight]; })()');
    console.log(`  the 640 x 480 view shown as ${fit[0]} x ${fit[1]} on ${fit[2]} x ${fit[3]}`);
    check(Math.abs(fit[0] / fit[1] - 4 / 3) < 0.01 && (fit[0] === fit[2] || fit[1] === fit[3]),
          'the view does not fit the screen at 4:3');

    const z = await tab.eval('Module._webPlayerZ()');
    await touchGame(tab, 'touchStart', 160, 300, 1);
    await touchGame(tab, 'touchMove', 160, 250, 1);
    await runFrames(tab, 30, true);
    await tab.touch('touchEnd', []);
    await runFrames(tab, 1, true);
    const walked = z - await tab.eval('Module._webPlayerZ()');
    check(walked > 80 && await tab.eval(`Module._webKeyDown(${kW})`) === 0, `walked ${walked}`);

    // 40 pixels dragged to the left turn the view 10 degrees left; a tap fires.
    const heading = await tab.eval('Module._webHeading()');
    await touchGame(tab, 'touchStart', 480, 240, 2);
    for (const x of [460, 440]) await touchGame(tab, 'touchMove', x, 240, 2);
    await tab.touch('touchEnd', []);
    await touchGame(tab, 'touchStart', 480, 240, 3);
    await tab.touch('touchEnd', []);
    await runFrames(tab, 2, true);
    const turned = ((await tab.eval('Module._webHeading()')) - heading + 360) % 360;
    console.log(`  walked ${walked.toFixed(1)} by touch, a 40-pixel drag turned ${turned.toFixed(2)}`);
    check(Math.abs(turned - 10) < 1, `turned ${turned}`);
    check(await tab.eval('Module._webSounds()') === 1, 'the tap did not fire once');

    // The phone's screen, facing the first enemy, for the README.
    await tab.eval('Module._webSetLook(45, 0)');
    await runFrames(tab, 1, true);
    await tab.settle();
    const picture = await tab.client.Page.captureScreenshot({ format: 'png' });
    fs.writeFileSync(path.join(outputDir, 'web-phone.png'), Buffer.from(picture.data, 'base64'));

    // The page's buttons, each held over a frame: F shows the read-outs, Esc ends the game.
    for (const button of ['#buttonF', '#buttonEscape']) {
      const [x, y] = await tab.eval(`(() => { const b = document.querySelector('${button}')` +
                                    '.getBoundingClientRect(); return [b.left + 20, b.top + 20]; })()');
      await tab.touch('touchStart', [[x, y, 4]]);
      await runFrames(tab, 1, true).catch(() => {});
      await tab.touch('touchEnd', []);
    }
    check(await tab.eval('Module._webShowStats()') === 1, 'F did not show the read-outs');
    await tab.waitFor('Module._webEnded() === 1', 5000);
  },

  // The page's F button lets go of F when the browser takes its finger away
  // without a lift: the button's capture lost, or the touch cancelled.
  async pageButtonLetsGo(tab, url) {
    await loadByTouch(tab, `${url}?paused`, true);
    const button = 'document.querySelector("#buttonF")';
    await tab.eval(`${button}.addEventListener('pointerdown', (e) => { window.finger = e.pointerId; })`);
    const [x, y] = await tab.eval(`(() => { const b = ${button}.getBoundingClientRect(); ` +
                                  'return [b.left + 20, b.top + 20]; })()');
    const holdsF = async () => {
      await runFrames(tab, 1, true);
      return tab.eval(`Module._webKeyDown(${kF})`);
    };
    await tab.touch('touchStart', [[x, y, 4]]);
    check(await holdsF() === 1, 'the F button does not hold F');
    // (Capture is taken and let go at the finger's next moves.)
    await tab.touch('touchMove', [[x + 1, y, 4]]);
    await tab.eval(`${button}.releasePointerCapture(window.finger)`);
    await tab.touch('touchMove', [[x + 2, y, 4]]);
    check(await holdsF() === 0, 'F is still held after the button lost its finger');
    await tab.touch('touchEnd', []);
    await tab.touch('touchStart', [[x, y, 5]]);
    check(await holdsF() === 1, 'the F button does not hold F again');
    await tab.eval(`${button}.dispatchEvent(new PointerEvent('pointercancel', ` +
                   '{ pointerId: window.finger, bubbles: true }))');
    check(await holdsF() === 0, 'F is still held after its touch was cancelled');
    await tab.touch('touchEnd', []);
  },

  // A pad through the Gamepad API (a scripted stand-in): the left stick walks,
  // the right one looks, the trigger fires, Back shows the read-outs, it lets
  // go while the page lacks the focus, and pulled out it lets go of what it held.
  async pad(tab, url) {
    await tab.beforePage(kStandInPad);
    await tab.load(`${url}?paused`, false);
    const z = await tab.eval('Module._webPlayerZ()');
    await tab.eval('standInPad.pad.axes[1] = -1');
    await runFrames(tab, 20);
    const heading = await tab.eval('Module._webHeading()');
    await tab.eval('standInPad.pad.axes[1] = 0; standInPad.pad.axes[2] = -1');
    await runFrames(tab, 10);
    await tab.eval('standInPad.pad.axes[2] = 0; standInPad.press(7, 1); standInPad.press(8, 1)');
    await runFrames(tab, 2);
    await tab.eval('standInPad.press(7, 0); standInPad.press(8, 0); standInPad.pad.axes[0] = 1');
    await runFrames(tab, 1);
    const walked = z - await tab.eval('Module._webPlayerZ()');
    const turned = ((await tab.eval('Module._webHeading()')) - heading + 360) % 360;
    console.log(`  pad: walked ${walked.toFixed(1)} in 20 frames, turned ${turned.toFixed(2)} in 10`);
    check(walked > 40 && turned >= 16 && turned <= 22, 'the sticks did not walk and look');
    check(await tab.eval('Module._webSounds()') === 1, 'the trigger did not fire once');
    check(await tab.eval('Module._webShowStats()') === 1, 'Back did not show the read-outs');
    check(await tab.eval(`Module._webKeyDown(${kD})`) === 1, 'the stick holds no D');
    // Another window in front: the pad lets go until the page has the focus again.
    await tab.eval('document.hasFocus = () => false');
    await runFrames(tab, 1);
    check(await tab.eval(`Module._webKeyDown(${kD})`) === 0, 'a pad plays a page without the focus');
    await tab.eval('delete document.hasFocus');
    await runFrames(tab, 1);
    check(await tab.eval(`Module._webKeyDown(${kD})`) === 1, 'the stick holds no D again');
    await tab.eval('standInPad.plugged = false');
    await runFrames(tab, 1);
    check(await tab.eval(`Module._webKeyDown(${kD})`) === 0, 'a pulled-out pad still holds D');
  },

  // The playthrough again on a touch screen, by touch alone: the question
  // answered with a tap, walking with the left thumb, turning with flicks of
  // the right one and firing with taps.
  async touchPlaythrough(tab, url) {
    await loadByTouch(tab, `${url}?paused`, false, 1024, 768);
    await tab.settle();
    const outcome = await tab.eval(`(${playInPage.toString()})(true)`);
    console.log(`  playthrough by touch: ${JSON.stringify(outcome)}`);
    check(outcome.won === 1 && outcome.over === 0, 'the game was not won');
    check(outcome.killed === 5 && outcome.score === 50, 'not every hunter was shot');
    check(outcome.sounds === outcome.shots, 'not every shot was heard');
  },

  // Games recorded by the Linux build replay in the page (?play=ADDRESS) to
  // the frames, score and state digest they were recorded with, end with exit
  // code 0, and pass through the same state at every frame as the Linux build
  // did (?trace, against the committed tests/recordings/NAME.trace).
  async replay(tab, url) {
    for (const [name, summary] of [['playthrough', '916 frames, score 50, You win!'],
                                   ['walk_look_fire', '140 frames, score 0, unfinished']]) {
      await tab.load(`${url}?play=recordings/${name}.rec&trace`, false);
      await tab.waitFor('Module._webEnded() === 1', 300000);
      const lines = tab.console.filter((l) => /^Replayed game:|^The replay/.test(l));
      console.log(`  ${name}: ${lines.join(' ')}`);
      check(lines.some((l) => l.startsWith(`Replayed game: ${summary}, state digest`)),
            `summary: ${lines}`);
      check(lines.includes('The replay ended as the recorded game did.'), 'the replay differs');
      const code = await tab.eval('Module._webExitCode()');
      check(code === 0, `exit code ${code}, expected 0`);
      const trace = await tab.eval('FS.readFile("/game.trace", { encoding: "utf8" })');
      const expected = path.join(__dirname, '..', 'recordings', `${name}.trace`);
      const difference = compareTraces(fs.readFileSync(expected, 'utf8'), trace);
      check(difference === null, difference);
      console.log(`  the trace equals ${expected}`);
    }
  },

  // The page's Screenshot button (F12 is the browser's): the next frame is
  // offered as a PNG download named for the date and time, holding the
  // picture on the canvas; the game plays on as it was.
  async screenshot(tab, url) {
    await tab.load(`${url}?paused`, false);
    await tab.eval('Module._webSetLook(45, 0)');
    await runFrames(tab, 2, true);
    await tab.eval('window.shots = []; HTMLAnchorElement.prototype.click = function () { ' +
                   'window.shots.push(this.download); window.shotUrl = this.href; }');
    const state = 'JSON.stringify([Module._webPlayerX(), Module._webPlayerZ(), ' +
                  'Module._webHeading(), Module._webPitch(), Module._webKeyDown(123)])';
    const before = await tab.eval(state);
    await tab.eval('document.getElementById("buttonScreenshot").click()');
    await runFrames(tab, 1);
    await tab.waitFor('window.shots.length === 1', 10000);
    const name = await tab.eval('window.shots[0]');
    check(/^shooter-\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.png$/.test(name), `download named ${name}`);
    const bytes = await tab.eval('fetch(window.shotUrl).then((r) => r.arrayBuffer())' +
                                 '.then((b) => Array.from(new Uint8Array(b)))');
    const saved = readPng(Buffer.from(bytes));
    fs.writeFileSync(path.join(outputDir, 'web-screenshot.png'), Buffer.from(bytes));
    await tab.eval('document.getElementById("buttonScreenshot").style.display = "none"');
    await tab.settle();
    const shown = await tab.canvasPicture();
    const d = compare(saved, shown, 8);
    console.log(`  ${name}: ${bytes.length} bytes, ${d.differing} pixels differ from the canvas`);
    check(d.fraction < 0.001, `${d.differing} pixels differ from the canvas`);
    await runFrames(tab, 1);
    check(await tab.eval(state) === before, 'the screenshot moved the game');
  },

  // ?record: a short game (walking, mouse look) ended with Escape is offered
  // for download, and the file, chosen on the page, replays to the same end.
  async record(tab, url) {
    await tab.load(`${url}?record`, false);
    await tab.waitFor('Module._webFrames() > 5', 10000);
    await tab.key('keyDown', 87, 'KeyW', 'w');
    await tab.waitFor('Module._webFrames() > 30', 10000);
    await tab.key('keyUp', 87, 'KeyW', 'w');
    for (const x of [300, 250, 200]) await tab.mouse('mouseMoved', x, 200);
    await tab.waitFor('Module._webFrames() > 60', 10000);
    await tab.key('keyDown', 27, 'Escape', 'Escape');
    await tab.waitFor('Module._webEnded() === 1', 5000);
    await tab.key('keyUp', 27, 'Escape', 'Escape');
    const recorded = tab.console.find((l) => l.startsWith('Recorded game: '));
    check(recorded, 'no summary after recording');
    const bytes = await tab.eval('fetch(document.getElementById("download").href)' +
                                 '.then((r) => r.arrayBuffer()).then((b) => Array.from(new Uint8Array(b)))');
    const file = path.join(outputDir, 'web-recorded.rec');
    fs.writeFileSync(file, Buffer.from(bytes));
    console.log(`  ${recorded} (${bytes.length} bytes)`);

    tab.console = [];
    const { result } = await tab.client.Runtime.evaluate({
      expression: 'document.getElementById("playFile")' });
    await tab.client.DOM.setFileInputFiles({ objectId: result.objectId, files: [file] });
    await tab.waitFor('location.search === "?play=chosen" && window.Module && ' +
                      'Module.gameStarted === true', 30000);
    await tab.waitFor('Module._webEnded() === 1', 60000);
    const replayed = tab.console.find((l) => l.startsWith('Replayed game: '));
    console.log(`  ${replayed}`);
    check(replayed === recorded.replace('Recorded', 'Replayed'), 'the chosen file replayed otherwise');
    check(tab.console.includes('The replay ended as the recorded game did.'), 'the replay differs');
    check(await tab.eval('Module._webExitCode()') === 0, 'the replay did not end with exit code 0');
  },

  // The player of the desktop's playthrough, in the page: walks the corridor
  // to the door and shoots every enemy that hunts it, one frame at a time,
  // through the page's own key and mouse events.
  async playthrough(tab, url) {
    await tab.load(`${url}?paused`, false);
    await tab.settle();
    const outcome = await tab.eval(`(${playInPage.toString()})()`);
    console.log(`  playthrough: ${JSON.stringify(outcome)}`);
    await tab.settle();
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(outputDir, 'web-win.png'), picture.png);
    check(outcome.won === 1 && outcome.over === 0, 'the game was not won');
    check(outcome.killed === 5 && outcome.score === 50, 'not every hunter was shot');
    check(outcome.sounds === outcome.shots, 'not every shot was heard');
    const d = compare(picture, readPng(fs.readFileSync(path.join(referenceDir, 'win.png'))));
    console.log(`  win screen: ${d.differing} pixels differ from win.png`);
    check(d.differing <= kEndScreenAllowed, `${d.differing} pixels differ from win.png`);
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

async function main() {
  // A name that names no test would run nothing and pass.
  const unknown = only.filter((name) => !(name in tests));
  if (unknown.length) {
    console.error(`no such browser test: ${unknown.join(', ')} (the tests: ${Object.keys(tests).join(', ')})`);
    process.exit(2);
  }
  fs.mkdirSync(outputDir, { recursive: true });
  const server = await serve(runDir);
  const url = `http://127.0.0.1:${server.address().port}/index.html`;
  const browser = await startChromium(chromium);
  let failed = 0;
  try {
    const tab = await Tab.open(browser.port);
    for (const [name, test] of Object.entries(tests)) {
      if (only.length && !only.includes(name)) continue;
      const start = Date.now();
      try {
        await tab.reset();
        await test(tab, url);
        console.log(`ok   ${name} (${Date.now() - start} ms)`);
      } catch (error) {
        ++failed;
        console.log(`FAIL ${name}: ${error.message}`);
      }
    }
    await tab.client.Browser.close().catch(() => {});
    await tab.client.close().catch(() => {});
  } finally {
    if (browser.process.exitCode === null && browser.process.signalCode === null) {
      const exited = new Promise((resolve) => browser.process.once('exit', resolve));
      setTimeout(() => browser.process.kill(), 5000).unref();
      await exited;
    }
    server.close();
    // Helper processes may still be finishing their writes to the profile.
    for (let attempt = 0; attempt < 10 && fs.existsSync(browser.profile); ++attempt) {
      try {
        fs.rmSync(browser.profile, { recursive: true, force: true });
      } catch (error) {
        await sleep(300);
      }
    }
  }
  console.log(failed ? `${failed} browser tests failed` : 'all browser tests passed');
  process.exit(failed ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
