// The browser side of the web tests: serves the build, starts headless
// Chromium, drives one tab over the DevTools protocol and reads PNG pictures.
'use strict';

const CDP = require('chrome-remote-interface');
const childProcess = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

const kTypes = {
  '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.png': 'image/png',
};

// A static file server for one folder on 127.0.0.1 (on `port`, or any free
// one), with `headers` added to every answer.
function serve(folder, headers = {}, port = 0) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(path.resolve(root)) || !fs.existsSync(file) ||
        !fs.statSync(file).isFile()) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, {
      'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-store', ...headers,
    });
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => {
    server.listen(port, '127.0.0.1', () => resolve(server));
  });
}

// Headless Chromium with a DevTools port (`port`, or any free one); resolves
// to { process, port }.
function startChromium(executable, port = 0) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'shooter-chromium-'));
  const args = [
    '--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--window-size=1024,768', `--remote-debugging-port=${port}`, `--user-data-dir=${profile}`,
    '--no-first-run', '--no-default-browser-check', '--autoplay-policy=no-user-gesture-required',
    '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
    '--disable-backgrounding-occluded-windows',
    // The page's WebGL still draws through SwiftShader; the page around it is
    // composited on the CPU, which costs well under half the CPU time of
    // compositing through SwiftShader too (the same pictures).
    '--disable-gpu-compositing', 'about:blank',
  ];
  const child = childProcess.spawn(executable, args, { stdio: ['ignore', 'ignore', 'pipe'] });
  return new Promise((resolve, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error(`Chromium did not start:\n${text}`)), 30000);
    child.on('exit', (code) => reject(new Error(`Chromium ended (${code}):\n${text}`)));
    child.stderr.on('data', (chunk) => {
      text += chunk;
      const found = /DevTools listening on ws:\/\/(?:\[[^\]]*\]|[^:/]+):(\d+)\//.exec(text);
      if (found) {
        clearTimeout(timer);
        resolve({ process: child, port: Number(found[1]), profile });
      }
    });
  });
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// One tab with the game's page.
class Tab {
  constructor(client) {
    this.client = client;
    this.dialogs = [];      // { type, message } of every dialog shown
    this.answer = false;    // what the next confirm is answered
    this.console = [];
    client.Page.javascriptDialogOpening((dialog) => {
      this.dialogs.push({ type: dialog.type, message: dialog.message });
      client.Page.handleJavaScriptDialog({ accept: dialog.type === 'confirm' ? this.answer : true });
    });
    client.Runtime.consoleAPICalled((entry) => {
      const line = entry.args.map((a) => a.value).join(' ');
      if (process.env.SHOOTER_WEB_VERBOSE) console.log(`  page: ${line}`);
      this.console.push(line);
    });
    client.Runtime.exceptionThrown((e) => {
      this.console.push(`exception: ${e.exceptionDetails.text} ${
        e.exceptionDetails.exception ? e.exceptionDetails.exception.description : ''}`);
    });
  }

  static async open(port) {
    const client = await CDP({ port });
    await Promise.all([client.Page.enable(), client.Runtime.enable()]);
    const tab = new Tab(client);
    await tab.reset();
    return tab;
  }

  // A desktop screen of a fixed size (so that the whole canvas is on it),
  // without touch and without scripts put into the page.
  async reset() {
    await this.client.Emulation.setTouchEmulationEnabled({ enabled: false });
    await this.client.Emulation.setDeviceMetricsOverride({
      width: 1024, height: 768, deviceScaleFactor: 1, mobile: false,
    });
    for (const identifier of this.scripts || []) {
      await this.client.Page.removeScriptToEvaluateOnNewDocument({ identifier });
    }
    this.scripts = [];
  }

  // A script that runs in the page before the page's own, from the next load on.
  async beforePage(source) {
    const { identifier } = await this.client.Page.addScriptToEvaluateOnNewDocument({ source });
    this.scripts.push(identifier);
  }

  // Loads the page, answers the start question and waits for the frame loop.
  async load(url, answerYes) {
    this.dialogs = [];
    this.console = [];
    this.answer = answerYes;
    await this.client.Page.navigate({ url });
    await this.waitFor('window.Module && Module.gameStarted === true', 30000);
  }

  async eval(expression) {
    const { result, exceptionDetails } = await this.client.Runtime.evaluate({
      expression, returnByValue: true, awaitPromise: true,
    });
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.text}`);
    return result.value;
  }

  // Polls `expression` until it holds. A page that navigates meanwhile (a
  // chosen file, a new address) drops the evaluation under way: that poll
  // counts as not yet, and the next one asks the new page.
  async waitFor(expression, timeoutMs) {
    const end = Date.now() + timeoutMs;
    for (;;) {
      const holds = await this.eval(expression).catch((error) => {
        if (/navigated or closed|context was destroyed/.test(error.message)) return false;
        throw error;
      });
      if (holds) return;
      if (Date.now() > end) {
        throw new Error(`timed out waiting for ${expression}\n${this.console.join('\n')}`);
      }
      await sleep(20);
    }
  }

  // Waits until the page has presented what was drawn last.
  async settle() {
    await this.eval('new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))');
  }

  // The canvas as shown: { width, height, rgba }.
  async canvasPicture() {
    const r = await this.eval(
        '(() => { const b = Module.canvas.getBoundingClientRect(); ' +
        'return { x: b.left, y: b.top, width: b.width, height: b.height }; })()');
    const shot = await this.client.Page.captureScreenshot({
      format: 'png', clip: { x: r.x, y: r.y, width: r.width, height: r.height, scale: 1 },
    });
    const bytes = Buffer.from(shot.data, 'base64');
    return Object.assign(readPng(bytes), { png: bytes });
  }

  async key(type, virtualKey, code, key) {
    await this.client.Input.dispatchKeyEvent({
      type, windowsVirtualKeyCode: virtualKey, nativeVirtualKeyCode: virtualKey, code, key,
    });
  }

  async mouse(type, x, y, button = 'none') {
    const r = await this.eval(
        '(() => { const b = Module.canvas.getBoundingClientRect(); return [b.left, b.top]; })()');
    await this.client.Input.dispatchMouseEvent({
      type, x: r[0] + x, y: r[1] + y, button, clickCount: button === 'none' ? 0 : 1,
    });
  }

  // Touches over the DevTools protocol, in the page's CSS pixels: `points`
  // lists every finger still down after the event, as [x, y, id].
  async touch(type, points) {
    await this.client.Input.dispatchTouchEvent({
      type, touchPoints: points.map(([x, y, id]) => ({ x, y, id })),
    });
  }

  // Where a point of the game's 640 x 480 client area is on the page.
  async gamePoint(x, y) {
    const r = await this.eval('(() => { const b = Module.canvas.getBoundingClientRect(); ' +
                              'return [b.left, b.top, b.width / 640, b.height / 480]; })()');
    return [r[0] + x * r[2], r[1] + y * r[3]];
  }

  // A finger put down on the middle of a page element and lifted.
  async tap(selector) {
    const [x, y] = await this.eval(`(() => { const b = document.querySelector('${selector}')` +
                                   '.getBoundingClientRect(); ' +
                                   'return [b.left + b.width / 2, b.top + b.height / 2]; })()');
    await this.touch('touchStart', [[x, y, 90]]);
    await this.touch('touchEnd', []);
  }

  async click(x = 320, y = 240) {
    await this.mouse('mousePressed', x, y, 'left');
    await this.mouse('mouseReleased', x, y, 'left');
  }
}

// A non-interlaced 8-bit PNG (grey, RGB or RGBA, any filter) as RGBA.
function readPng(bytes) {
  if (bytes.readUInt32BE(0) !== 0x89504e47) throw new Error('not a PNG');
  let at = 8;
  let width = 0, height = 0, colourType = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error('unsupported PNG');
      colourType = body[9];
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const channels = { 0: 1, 2: 3, 4: 2, 6: 4 }[colourType];
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? rows[y * stride + i - channels] : 0;
      const b = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const c = y > 0 && i >= channels ? rows[(y - 1) * stride + i - channels] : 0;
      let v = line[i];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
      }
      rows[y * stride + i] = v & 255;
    }
  }
  const rgba = Buffer.alloc(width * height * 4);
  for (let p = 0; p < width * height; ++p) {
    const s = rows.subarray(p * channels, (p + 1) * channels);
    const grey = channels < 3;
    rgba[p * 4] = s[0];
    rgba[p * 4 + 1] = grey ? s[0] : s[1];
    rgba[p * 4 + 2] = grey ? s[0] : s[2];
    rgba[p * 4 + 3] = channels === 4 ? s[3] : (channels === 2 ? s[1] : 255);
  }
  return { width, height, rgba };
}

// How two pictures of one size differ: pixels with a channel off by more than
// `threshold`, and the mean absolute difference per channel.
function compare(a, b, threshold = 24) {
  if (a.width !== b.width || a.height !== b.height) {
    throw new Error(`sizes differ: ${a.width}x${a.height} and ${b.width}x${b.height}`);
  }
  let differing = 0, total = 0;
  for (let p = 0; p < a.width * a.height; ++p) {
    let worst = 0;
    for (let c = 0; c < 3; ++c) {
      const d = Math.abs(a.rgba[p * 4 + c] - b.rgba[p * 4 + c]);
      total += d;
      if (d > worst) worst = d;
    }
    if (worst > threshold) ++differing;
  }
  return { differing, fraction: differing / (a.width * a.height),
           meanDifference: total / (a.width * a.height * 3) };
}

// Pixels in a rectangle (top-left origin) that pass a test of (r, g, b).
function countPixels(picture, x0, y0, x1, y1, test) {
  let n = 0;
  for (let y = y0; y < y1; ++y) {
    for (let x = x0; x < x1; ++x) {
      const p = (y * picture.width + x) * 4;
      if (test(picture.rgba[p], picture.rgba[p + 1], picture.rgba[p + 2])) ++n;
    }
  }
  return n;
}

// Runs the named tests (all when `only` is empty) one after another in one tab
// of one browser against `runDir` served; `env` goes to each test after the
// tab and the page's address. Exits the process: 0 when every test passed.
// SHOOTER_WEB_PORT and SHOOTER_CHROMIUM_PORT fix the page's and the DevTools
// ports (any free one when unset), for machines that share their ports.
async function runTests(tests, only, env) {
  // A name that names no test would run nothing and pass.
  const unknown = only.filter((name) => !(name in tests));
  if (unknown.length) {
    console.error(`no such browser test: ${unknown.join(', ')} (the tests: ${Object.keys(tests).join(', ')})`);
    process.exit(2);
  }
  fs.mkdirSync(env.outputDir, { recursive: true });
  const server = await serve(env.runDir, {}, Number(process.env.SHOOTER_WEB_PORT || 0));
  const url = `http://127.0.0.1:${server.address().port}/index.html`;
  const browser = await startChromium(process.env.CHROMIUM || '/usr/bin/chromium',
                                      Number(process.env.SHOOTER_CHROMIUM_PORT || 0));
  let failed = 0;
  try {
    const tab = await Tab.open(browser.port);
    for (const [name, test] of Object.entries(tests)) {
      if (only.length && !only.includes(name)) continue;
      const start = Date.now();
      try {
        await tab.reset();
        await test(tab, url, env);
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

// Runs runTests as a program's main.
function runMain(tests, only, env) {
  runTests(tests, only, env).catch((error) => {
    console.error(error);
    process.exit(1);
  });
}

module.exports = { serve, startChromium, Tab, readPng, compare, countPixels, sleep, runMain };
