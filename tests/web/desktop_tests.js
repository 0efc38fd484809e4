// The page played with the keyboard and the mouse: the start question, the
// first frame against the desktop's, walking, firing, being caught, the frame
// rate, mouse look, Escape and full screen.
'use strict';

const fs = require('fs');
const path = require('path');
const { readPng, compare, countPixels, sleep } = require('./browser');
const {
  kQuestion, kStartFrameAllowed, kEndScreenAllowed, isRed, isWhite, measureRates, runFrames, check,
} = require('./steps');

module.exports = {
  // Answering No plays in the 640 x 480 canvas.
  async question(tab, url, env) {
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
    fs.writeFileSync(path.join(env.outputDir, 'web-page.png'), Buffer.from(page.data, 'base64'));
  },

  // The first frame, facing the first enemy as the desktop's reference frame does.
  async startFrame(tab, url, env) {
    await tab.load(`${url}?paused`, false);
    await tab.eval('Module._webSetLook(45, 0)');
    await tab.eval('Module._webRunFrames(1)');
    await tab.waitFor('Module._webFrames() === 1', 10000);
    await tab.settle();
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(env.outputDir, 'web-start.png'), picture.png);
    const reference = readPng(fs.readFileSync(path.join(env.referenceDir, 'start.png')));
    const d = compare(picture, reference);
    console.log(`  start frame: ${d.differing} pixels differ (${(100 * d.fraction).toFixed(2)}%),` +
                ` mean difference ${d.meanDifference.toFixed(2)} per channel`);
    check(d.differing <= kStartFrameAllowed, `${d.differing} pixels differ from start.png`);
    // "ALERT!" in red over the maze.
    check(countPixels(picture, 0, 0, 640, 480, isRed) > 50, 'no red text');
  },

  // Holding W for 30 frames walks about 100 units north (the start heading).
  async walk(tab, url, env) {
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
  async fire(tab, url, env) {
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
    fs.writeFileSync(path.join(env.outputDir, 'web-smoke.png'), picture.png);
    const d = compare(picture, readPng(fs.readFileSync(path.join(env.referenceDir, 'smoke.png'))));
    console.log(`  smoke frame: ${d.differing} pixels differ from smoke.png,` +
                ` mean difference ${d.meanDifference.toFixed(2)} per channel`);
    check(d.differing <= kStartFrameAllowed, `${d.differing} pixels differ from smoke.png`);
  },

  // Standing still, the first enemy catches the player: "GAME OVER!".
  async caught(tab, url, env) {
    await tab.load(url, false);
    await tab.waitFor('Module._webGameOver() === 1', 240000);
    await sleep(100);
    await tab.settle();
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(env.outputDir, 'web-gameover.png'), picture.png);
    const reference = readPng(fs.readFileSync(path.join(env.referenceDir, 'gameover.png')));
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
  async frameRate(tab, url, env) {
    await tab.load(url, false);
    await tab.waitFor('Module._webFrames() > 30', 10000);
    const [game, browser] = await tab.eval(measureRates);
    console.log(`  frame rate: ${game.toFixed(2)} per second (the browser's: ${browser.toFixed(2)})`);
    check(game < 60.5, `faster than 60: ${game}`);
    check(game > Math.min(57, 0.93 * browser), `frame rate ${game} with the browser at ${browser}`);
  },

  // A mouse move of 32 pixels to the right turns the view one degree right.
  async mouseLook(tab, url, env) {
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
  async escape(tab, url, env) {
    await tab.load(url, false);
    await tab.waitFor('Module._webFrames() > 5', 10000);
    await tab.key('keyDown', 27, 'Escape', 'Escape');
    await tab.waitFor('Module._webEnded() === 1', 5000);
    await tab.key('keyUp', 27, 'Escape', 'Escape');
    const text = await tab.eval('document.getElementById("status").textContent');
    check(/ended/.test(text), `status: ${text}`);
  },

  // Answering Yes: the first click takes the page's stage full screen, and the
  // canvas covers the screen, drawn at its pixels; leaving full screen brings
  // back the 640 x 480 canvas.
  async fullscreen(tab, url, env) {
    await tab.load(url, true);
    await tab.waitFor('Module._webFrames() > 5', 10000);
    await tab.click();
    await tab.waitFor('document.fullscreenElement === document.getElementById("stage")', 5000);
    const sizes = '(() => { const b = Module.canvas.getBoundingClientRect(); ' +
                  'return [b.width, b.height, innerWidth, innerHeight].join(); })()';
    await tab.waitFor(`${sizes}.split(",").slice(0, 2).join() === ${sizes}.split(",").slice(2).join()`,
                      5000);
    await tab.waitFor('Module.canvas.width === innerWidth && Module.canvas.height === innerHeight',
                      5000);
    console.log(`  full screen: the canvas ${await tab.eval(sizes)} (its size, the screen's)`);
    await tab.waitFor('Module._webSmoke() === 1 || Module._webSounds() === 1', 5000);
    await tab.eval('document.exitFullscreen()');
    await tab.waitFor('document.fullscreenElement === null', 5000);
    await tab.waitFor('Module.canvas.getBoundingClientRect().width === 640', 5000);
    await tab.waitFor('Module.canvas.width === 640 && Module.canvas.height === 480', 5000);
    const frames = await tab.eval('Module._webFrames()');
    await tab.waitFor(`Module._webFrames() > ${frames + 5}`, 5000);
    // The Full screen button under the canvas goes full screen again.
    await tab.eval('document.exitPointerLock()');
    const [x, y] = await tab.eval('(() => { const b = document.getElementById("buttonFullscreen")' +
                                  '.getBoundingClientRect(); return [b.left + 5, b.top + 5]; })()');
    for (const type of ['mousePressed', 'mouseReleased']) {
      await tab.client.Input.dispatchMouseEvent({ type, x, y, button: 'left', clickCount: 1 });
    }
    await tab.waitFor('document.fullscreenElement === document.getElementById("stage")', 5000);
    await tab.waitFor('Module.canvas.width === innerWidth', 5000);
  },
};
