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

// Lets a held game run exactly `count` more frames.
async function runFrames(tab, count) {
  const frames = await tab.eval('Module._webFrames()');
  await tab.eval(`Module._webRunFrames(${count})`);
  await tab.waitFor(`Module._webFrames() === ${frames + count}`, 10000);
}

function check(condition, what) {
  if (!condition) throw new Error(what);
}

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
    await tab.waitFor('Module._webGameOver() === 1', 60000);
    await sleep(100);
    await tab.settle();
    const picture = await tab.canvasPicture();
    fs.writeFileSync(path.join(outputDir, 'web-gameover.png'), picture.png);
    const reference = readPng(fs.readFileSync(path.join(referenceDir, 'gameover.png')));
    const d = compare(picture, reference);
    console.log(`  game-over screen: ${d.differing} pixels differ from gameover.png`);
    check(d.differing <= kEndScreenAllowed, `${d.differing} pixels differ from gameover.png`);
    check(countPixels(picture, 0, 0, 640, 480, isWhite) > 100, 'no white text');
  },

  // 60 frames a second, measured over three seconds of the page's clock,
  // whatever the rate of the browser's own frames above that; where the
  // machine cannot draw 60 (a loaded one), every frame the browser gives.
  async frameRate(tab, url) {
    await tab.load(url, false);
    await tab.waitFor('Module._webFrames() > 30', 10000);
    const [game, browser] = await tab.eval(`new Promise((resolve) => {
        let callbacks = 0;
        const count = () => { ++callbacks; requestAnimationFrame(count); };
        requestAnimationFrame(count);
        const f0 = Module._webFrames(), t0 = performance.now();
        setTimeout(() => {
          const seconds = (performance.now() - t0) / 1000;
          resolve([(Module._webFrames() - f0) / seconds, callbacks / seconds]);
        }, 3000); })`);
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
    await tab.waitFor('Module._webSmoke() === 1 || Module._webSounds() === 1', 5000);
    await tab.eval('document.exitFullscreen()');
    await tab.waitFor('document.fullscreenElement === null', 5000);
    const frames = await tab.eval('Module._webFrames()');
    await tab.waitFor(`Module._webFrames() > ${frames + 5}`, 5000);
  },
};

async function main() {
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
        await test(tab, url);
        console.log(`ok   ${name} (${Date.now() - start} ms)`);
      } catch (error) {
        ++failed;
        console.log(`FAIL ${name}: ${error.message}`);
      }
    }
    await tab.client.close();
  } finally {
    browser.process.kill();
    server.close();
    await new Promise((resolve) => browser.process.once('exit', resolve));
    fs.rmSync(browser.profile, { recursive: true, force: true });
  }
  console.log(failed ? `${failed} browser tests failed` : 'all browser tests passed');
  process.exit(failed ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
