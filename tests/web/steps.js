// What the browser tests share: the checks, the frame stepping, loading the
// page on a touch screen and the stand-in pad.
'use strict';

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

// Two traces compared line by line (line N is frame N): null when equal,
// else the first frame that differs.
function compareTraces(expected, actual) {
  const [want, got] = [expected, actual].map((t) => t.trimEnd().split('\n'));
  const i = want.findIndex((line, n) => line !== got[n]);
  const frame = i >= 0 ? i : want.length < got.length ? want.length : -1;
  return frame < 0 ? null : `the trace differs at frame ${frame + 1}: ` +
                            `expected "${want[frame] || ''}", got "${got[frame] || ''}"`;
}

// Loads the page on a touch screen (a phone held sideways unless sized) and
// answers its own start question with a tap.
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

module.exports = {
  kQuestion, kStartFrameAllowed, kEndScreenAllowed, isRed, isWhite, measureRates, runFrames,
  check, compareTraces, loadByTouch, touchGame, kStandInPad, kW, kD, kF,
};
