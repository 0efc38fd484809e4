// The browser's benchmarks in headless Chromium: the timedemo's scenes in
// their own page, then the game's own page played (a quiet view, then a fight
// of one shot a frame), with every frame callback timed and the WebGL calls
// counted by a wrapper put around the context here, never in the game's page.
// With --throttle, the whole of it runs at full speed and then slowed.
//   node bench_web.js TIMEDEMO_DIR RUN_DIR [--frames N] [--throttle RATE]
'use strict';

const path = require('path');
const { serve, startChromium, Tab, sleep } = require('../../tests/web/browser');

const args = process.argv.slice(2);
const [timedemoDir, runDir] = args;
const option = (name, fallback) => {
  const i = args.indexOf(name);
  return i >= 0 && i + 1 < args.length ? Number(args[i + 1]) : fallback;
};
const frames = option('--frames', 200);
const throttle = option('--throttle', 1);
if (!timedemoDir || !runDir || !(frames > 0) || !(throttle >= 1)) {
  console.error('usage: node bench_web.js TIMEDEMO_DIR RUN_DIR [--frames N] [--throttle RATE]');
  process.exit(2);
}

// Put in before any page script: counts every call on a WebGL context
// (draws, buffer uploads, everything else as state calls) and, while
// window.frameLog is an array, times each frame callback and what it called.
const counter = `(() => {
  const counts = window.glCounts = { draws: 0, uploads: 0, state: 0 };
  const kind = (name) => /^draw/.test(name) ? 'draws' : /^buffer(Sub)?Data$/.test(name) ? 'uploads' : 'state';
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (type, attributes) {
    const gl = getContext.call(this, type, attributes);
    if (gl && /webgl/.test(type) && !gl.counted) {
      gl.counted = true;
      const proto = Object.getPrototypeOf(gl);
      for (const name of Object.getOwnPropertyNames(proto)) {
        const d = Object.getOwnPropertyDescriptor(proto, name);
        if (name === 'constructor' || typeof d.value !== 'function') continue;
        const f = d.value, k = kind(name);
        gl[name] = function () { ++counts[k]; return f.apply(gl, arguments); };
      }
    }
    return gl;
  };
  const raf = window.requestAnimationFrame.bind(window);
  window.rawRequestAnimationFrame = raf;
  window.frameLog = null;
  window.requestAnimationFrame = (callback) => raf((time) => {
    const log = window.frameLog, M = window.Module;
    if (!log || !M || !M._webFrames) return callback(time);
    const d = counts.draws, u = counts.uploads, s = counts.state;
    const f = M._webFrames(), sounds = M._webSounds();
    const t0 = performance.now();
    callback(time);
    log.push({ ms: performance.now() - t0, draws: counts.draws - d, uploads: counts.uploads - u,
               state: counts.state - s, frames: M._webFrames() - f, shot: M._webSounds() > sounds });
  });
})();`;

const quantile = (values, q) => {
  if (!values.length) return 0;
  const v = [...values].sort((a, b) => a - b);
  return v[Math.min(v.length - 1, Math.round(q * (v.length - 1)))];
};
const median = (values) => quantile(values, 0.5);
const pad = (text, width) => String(text).padStart(width);

async function timedemo(tab, url) {
  await tab.client.Page.navigate({ url });
  await tab.waitFor('window.Module && Module.timedemoReady === true', 60000);
  const scenes = await tab.eval(`runTimedemo(${frames})`);
  const maze = median(scenes[await tab.eval('Module.mazeScene')].ms);
  console.log(`Browser timedemo, ${scenes[0].ms.length} frames a scene: frame time` +
              ' (WebAssembly + JavaScript) in ms, WebGL calls a frame (median)');
  console.log(`  ${'scene'.padEnd(36)} ${pad('median', 8)} ${pad('p90', 8)} ${pad('x maze', 7)}` +
              ` ${pad('draws', 6)} ${pad('uploads', 8)} ${pad('state', 6)} ${pad('allocs', 7)}`);
  for (const s of scenes) {
    const m = median(s.ms);
    console.log(`  ${s.name.padEnd(36)} ${pad(m.toFixed(3), 8)} ${pad(quantile(s.ms, 0.9).toFixed(3), 8)}` +
                ` ${pad((maze > 0 ? m / maze : 0).toFixed(2), 7)} ${pad(median(s.draws), 6)}` +
                ` ${pad(median(s.uploads), 8)} ${pad(median(s.state), 6)} ${pad(Math.max(...s.allocations), 7)}`);
  }
  console.log('  (allocs: the most operator new calls of one frame)');
}

// The game's page: callbacks that ran a game frame, as a player's browser runs them.
async function game(tab, url) {
  await tab.load(url, false);
  await tab.waitFor('Module._webFrames() > 30', 30000);
  const record = async (callbacks, inPage) => {
    await tab.eval('window.frameLog = []');
    await tab.eval(`(async () => { ${inPage || ''}
      while (window.frameLog.length < ${callbacks}) await new Promise((r) => rawRequestAnimationFrame(r));
    })()`);
    const log = await tab.eval('window.frameLog');
    await tab.eval('window.frameLog = null');
    return log.filter((f) => f.frames > 0);
  };
  const quiet = await record(frames);
  // The end wall of the first corridor, one shot a frame for 45 frames, then
  // the smoke left to thin out.
  await tab.eval('Module._webSetLook(300, 0)');
  const fight = await record(frames + 45, `
    const canvas = Module.canvas;
    for (let shot = 0; shot < 45; ++shot) {
      canvas.dispatchEvent(new MouseEvent('mousedown', { bubbles: true, button: 0 }));
      canvas.dispatchEvent(new MouseEvent('mouseup', { bubbles: true, button: 0 }));
      await new Promise((r) => rawRequestAnimationFrame(r));
    }`);
  const first = fight.findIndex((f) => f.shot);
  const smoky = fight.slice(first + 1, first + 60);
  console.log('\nThe game\'s page: frame callbacks that ran a game frame, ms; WebGL calls a frame');
  console.log(`  ${'frames'.padEnd(36)} ${pad('median', 8)} ${pad('p90', 8)} ${pad('max', 8)}` +
              ` ${pad('draws', 6)} ${pad('(max)', 6)} ${pad('uploads', 8)} ${pad('state', 6)}`);
  const row = (name, log) => {
    const ms = log.map((f) => f.ms), draws = log.map((f) => f.draws);
    console.log(`  ${name.padEnd(36)} ${pad(median(ms).toFixed(2), 8)} ${pad(quantile(ms, 0.9).toFixed(2), 8)}` +
                ` ${pad(Math.max(...ms).toFixed(2), 8)} ${pad(median(draws), 6)} ${pad(Math.max(...draws), 6)}` +
                ` ${pad(median(log.map((f) => f.uploads)), 8)} ${pad(median(log.map((f) => f.state)), 6)}`);
  };
  row(`quiet start view (${quiet.length})`, quiet);
  if (first >= 0) row('the first shot\'s frame', [fight[first]]);
  row(`fight, 45 shots, smoke alive (${smoky.length})`, smoky);
  const all = quiet.concat(fight);
  console.log(`  longest callback after the first frame: ${Math.max(...all.map((f) => f.ms)).toFixed(2)} ms` +
              `, callbacks over 20 ms: ${all.filter((f) => f.ms > 20).length} of ${all.length}`);
}

// Cross-origin isolated pages read performance.now() to 5 microseconds, not 100.
const kIsolated = {
  'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp',
};

async function main() {
  const timedemoServer = await serve(timedemoDir, kIsolated);
  const gameServer = await serve(runDir, kIsolated);
  const browser = await startChromium(process.env.CHROMIUM || '/usr/bin/chromium');
  try {
    const tab = await Tab.open(browser.port);
    await tab.client.Page.addScriptToEvaluateOnNewDocument({ source: counter });
    // At full speed, then (with --throttle) slowed, side by side in one run.
    for (const rate of throttle > 1 ? [1, throttle] : [1]) {
      await tab.client.Emulation.setCPUThrottlingRate({ rate });
      console.log(rate > 1 ? `\nCPU slowed ${rate}x (Emulation.setCPUThrottlingRate)\n`
                           : 'CPU at full speed\n');
      await timedemo(tab, `http://127.0.0.1:${timedemoServer.address().port}/timedemo.html`);
      await game(tab, `http://127.0.0.1:${gameServer.address().port}/index.html`);
    }
    await tab.client.Browser.close().catch(() => {});
  } finally {
    if (browser.process.exitCode === null) browser.process.kill();
    timedemoServer.close();
    gameServer.close();
    await sleep(300);
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
