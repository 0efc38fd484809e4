// The page on a touch screen and with a pad: the thumbs walk, look and fire,
// the page's own buttons hold their keys, and a pad plays through the Gamepad API.
'use strict';

const fs = require('fs');
const path = require('path');
const { runFrames, check, loadByTouch, touchGame, kStandInPad, kW, kD, kF } = require('./steps');

module.exports = {
  // A phone: the page's own question answered Yes by a tap goes full screen,
  // the view fits the screen at 4:3, the left thumb walks, the right one looks
  // and fires, and the page's F and Escape buttons work.
  async touch(tab, url, env) {
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
    fs.writeFileSync(path.join(env.outputDir, 'web-phone.png'), Buffer.from(picture.data, 'base64'));

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
  async pageButtonLetsGo(tab, url, env) {
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
  async pad(tab, url, env) {
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
};
