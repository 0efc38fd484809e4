// What the page makes itself rather than the module: the screenshot (the
// canvas encoded by the browser) and the shot's sound (Web Audio from the
// wave's own samples).
//   node download_test.js RUN_DIR OUTPUT_DIR [test name ...]
'use strict';

const fs = require('fs');
const path = require('path');
const { readPng, compare, runMain } = require('./browser');
const { runFrames, check } = require('./steps');

const [runDir, outputDir, ...only] = process.argv.slice(2);
if (!runDir || !outputDir) {
  console.error('usage: node download_test.js RUN_DIR OUTPUT_DIR [test ...]');
  process.exit(2);
}

// Shots at the end wall of the first corridor, one a frame: smoke on screen.
async function fireShots(tab, count) {
  await tab.eval('Module._webSetLook(300, 0)');
  for (let i = 0; i < count; ++i) {
    await tab.click();
    await runFrames(tab, 1, true);
  }
}

// The samples of a PCM wave file as the channels' floats: { rate, channels }.
function waveSamples(file) {
  const bytes = fs.readFileSync(file);
  let at = 12, channels = 0, bits = 0, rate = 0;
  while (at + 8 <= bytes.length) {
    const id = bytes.toString('latin1', at, at + 4), length = bytes.readUInt32LE(at + 4);
    if (id === 'fmt ') {
      channels = bytes.readUInt16LE(at + 10);
      rate = bytes.readUInt32LE(at + 12);
      bits = bytes.readUInt16LE(at + 22);
    } else if (id === 'data') {
      const step = channels * bits / 8, frames = Math.floor(length / step);
      const out = [...Array(channels)].map(() => new Float32Array(frames));
      for (let i = 0; i < frames; ++i) {
        for (let c = 0; c < channels; ++c) {
          const p = at + 8 + i * step + c * bits / 8;
          out[c][i] = bits === 8 ? (bytes[p] - 128) / 128 : bytes.readInt16LE(p) / 32768;
        }
      }
      return { rate, channels: out };
    }
    at += 8 + length + (length & 1);
  }
  throw new Error(`${file}: no samples`);
}

const tests = {
  // The screenshot in the thick of the smoke: the picture as the page shows
  // it, every pixel opaque (blending leaves some of the drawing buffer's
  // alpha below 1, which a PNG of the bare WebGL canvas would keep).
  async smokeScreenshot(tab, url) {
    await tab.load(`${url}?paused`, false);
    await fireShots(tab, 8);
    check(await tab.eval('Module._webSmoke()') === 1, 'no smoke');
    await tab.eval('window.shots = []; HTMLAnchorElement.prototype.click = function () { ' +
                   'window.shots.push(this.download); window.shotUrl = this.href; }');
    await tab.eval('document.getElementById("buttonScreenshot").click()');
    await runFrames(tab, 1, true);
    await tab.waitFor('window.shots.length === 1', 10000);
    const bytes = await tab.eval('fetch(window.shotUrl).then((r) => r.arrayBuffer())' +
                                 '.then((b) => Array.from(new Uint8Array(b)))');
    const saved = readPng(Buffer.from(bytes));
    fs.writeFileSync(path.join(outputDir, 'web-smoke-screenshot.png'), Buffer.from(bytes));
    check(saved.width === 640 && saved.height === 480, `${saved.width} x ${saved.height}`);
    let translucent = 0;
    for (let i = 3; i < saved.rgba.length; i += 4) translucent += saved.rgba[i] !== 255;
    check(translucent === 0, `${translucent} pixels of the screenshot are not opaque`);
    await tab.eval('document.getElementById("buttonScreenshot").style.display = "none"');
    await tab.settle();
    const d = compare(saved, await tab.canvasPicture(), 8);
    console.log(`  ${bytes.length} bytes, ${d.differing} pixels differ from the canvas`);
    check(d.fraction < 0.001, `${d.differing} pixels differ from the canvas`);
  },

  // Each shot starts the rifle's wave from its beginning, audibly, with the
  // file's own rate and samples; the one play before the first shot is the
  // unheard one of start-up.
  async shotSound(tab, url) {
    await tab.beforePage(`(() => {
      window.plays = [];
      const start = AudioBufferSourceNode.prototype.start;
      const connect = AudioNode.prototype.connect;
      AudioNode.prototype.connect = function (to) {
        this.to = to;
        return connect.apply(this, arguments);
      };
      AudioBufferSourceNode.prototype.start = function () {
        const b = this.buffer, gain = this.to && this.to.gain ? this.to.gain.value : 1;
        window.plays.push({ rate: b.sampleRate, channels: b.numberOfChannels, frames: b.length,
                            heard: gain > 0, head: Array.from(b.getChannelData(0).slice(0, 64)) });
        return start.apply(this, arguments);
      };
    })()`);
    await tab.load(`${url}?paused`, false);
    const wave = waveSamples(path.join(runDir, 'Data', 'rifle.WAV'));
    check((await tab.eval('window.plays')).every((p) => !p.heard), 'a sound was heard before a shot');
    await fireShots(tab, 2);
    const heard = (await tab.eval('window.plays')).filter((p) => p.heard);
    check(heard.length === 2, `${heard.length} sounds heard for two shots`);
    for (const p of heard) {
      check(p.rate === wave.rate && p.channels === wave.channels.length &&
            p.frames === wave.channels[0].length,
            `played ${p.frames} frames at ${p.rate} Hz in ${p.channels} channels, the file has ` +
            `${wave.channels[0].length} at ${wave.rate} Hz in ${wave.channels.length}`);
      const worst = Math.max(...p.head.map((v, i) => Math.abs(v - wave.channels[0][i])));
      check(worst < 1e-6, `the samples differ from the file's by ${worst}`);
    }
    console.log(`  ${heard.length} shots heard: ${wave.channels[0].length} frames at ${wave.rate} Hz`);
  },
};

runMain(tests, only, { runDir, outputDir });
