// The page around the game: its canvas at the screen's pixels, its buttons
// clear of the HUD at every size, its icons, and F12 kept from the game.
'use strict';

const { runFrames, check, loadByTouch } = require('./steps');

// Page sizes, each with where the page's buttons belong. Phones are laid out
// one after the other in a single load, as a phone is turned.
const kPageSizes = [
  { width: 844, height: 390, ratio: 3, phone: true, buttons: 'in the bars' },
  { width: 390, height: 844, ratio: 3, phone: true, buttons: 'under the picture' },
  // A tablet at 4:3 leaves no room beside or under the picture; at 2x its
  // 2732 x 2048 pixels pass the cap.
  { width: 1366, height: 1024, ratio: 2, phone: true, buttons: 'in its bottom corners' },
  { width: 844, height: 390, ratio: 3, phone: true, buttons: 'in the bars' },
  { width: 1280, height: 800, ratio: 2, phone: false, buttons: 'under the picture' },
  { width: 1280, height: 800, ratio: 1.5, phone: false, buttons: 'under the picture' },
];

// In the page: the canvas, its backing store, the viewport, the HUD's
// geometry as the game draws it, and every page button shown.
const kReadPage = `(() => {
  const box = (e) => { const b = e.getBoundingClientRect();
                       return { x0: b.left, y0: b.top, x1: b.right, y1: b.bottom }; };
  const lines = [];
  for (let i = 0; Module._webHudPlace(i, 0) !== -1; ++i) {
    lines.push([0, 1, 2].map((f) => Module._webHudPlace(i, f)));
  }
  const buttons = [...document.querySelectorAll('button')]
      .filter((b) => b.getClientRects().length > 0 && getComputedStyle(b).visibility !== 'hidden')
      .map((b) => Object.assign(box(b), { id: b.id }));
  return { canvas: box(Module.canvas), pixels: [Module.canvas.width, Module.canvas.height],
           ratio: devicePixelRatio, cap: Module.canvasPixelCap, page: [innerWidth, innerHeight],
           viewport: [0, 1, 2, 3].map((i) => Module._webViewport(i)), lines,
           geometry: [0, 1, 2, 3, 4, 5].map((f) => Module._webHudGeometry(f)), buttons };
})()`;

// Where the HUD's lines and the crosshair land on the page, in CSS pixels:
// eye-space rectangles through the game's perspective (its field of view, at
// the viewport's aspect) and the viewport, scaled from backing-store pixels.
function hudRegions(page) {
  const [fov, textDepth, glyph, advance, crossDepth, crossHalf] = page.geometry;
  const [vx, vy, vw, vh] = page.viewport;
  const focal = 1 / Math.tan((fov / 2) * Math.PI / 180);
  const sx = (page.canvas.x1 - page.canvas.x0) / page.pixels[0];
  const sy = (page.canvas.y1 - page.canvas.y0) / page.pixels[1];
  const project = (x, y, depth) => {
    const px = vx + (1 + (focal * vh / vw) * x / depth) * vw / 2;
    const py = vy + (1 + focal * y / depth) * vh / 2;  // from the bottom
    return [page.canvas.x0 + px * sx, page.canvas.y0 + (page.pixels[1] - py) * sy];
  };
  const region = (name, x0, top, x1, bottom, depth) => {
    const [a, b] = [project(x0, top, depth), project(x1, bottom, depth)];
    return { name, x0: a[0], y0: a[1], x1: b[0], y1: b[1] };
  };
  const regions = page.lines.map(([x, y, glyphs], i) =>
    region(`HUD line ${i} at (${x}, ${y})`, x, y, x + advance * (glyphs - 1) + glyph, y - glyph,
           textDepth));
  regions.push(region('crosshair', -crossHalf, crossHalf, crossHalf, -crossHalf, crossDepth));
  return regions;
}

const overlaps = (a, b) => a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1;
const show = (r) => `(${[r.x0, r.y0, r.x1, r.y1].map((v) => v.toFixed(1))})`;

async function checkPageSize(tab, size) {
  await tab.client.Emulation.setDeviceMetricsOverride({
    width: size.width, height: size.height, deviceScaleFactor: size.ratio, mobile: size.phone,
  });
  await tab.waitFor(`devicePixelRatio === ${size.ratio} && innerWidth === ${size.width}`, 5000);
  // The view follows the canvas before the next frame.
  await runFrames(tab, 2, true);
  const page = await tab.eval(kReadPage);
  const name = `${size.width} x ${size.height} at ${size.ratio}`;
  const css = [page.canvas.x1 - page.canvas.x0, page.canvas.y1 - page.canvas.y0];
  const wanted = css.map((v) => v * size.ratio);
  const capped = wanted[0] * wanted[1] > page.cap;
  console.log(`  ${name}: the canvas ${css.map((v) => v.toFixed(1)).join(' x ')} CSS pixels, ` +
              `its backing store ${page.pixels.join(' x ')}${capped ? ' (capped)' : ''}, ` +
              `the viewport ${page.viewport.join(' ')}, buttons ${size.buttons}`);

  // Drawn at the pixels it is shown at, or at the cap with its shape kept.
  check(page.ratio === size.ratio, `${name}: devicePixelRatio ${page.ratio}`);
  if (capped) {
    const pixels = page.pixels[0] * page.pixels[1];
    check(pixels <= page.cap && pixels > 0.99 * page.cap, `${name}: ${page.pixels} past the cap`);
    check(Math.abs(page.pixels[0] / page.pixels[1] - css[0] / css[1]) < 0.01,
          `${name}: the capped backing store ${page.pixels} is not the shape of ${css}`);
  } else {
    check(page.pixels.every((v, i) => Math.abs(v - wanted[i]) <= 1),
          `${name}: backing store ${page.pixels}, expected ${wanted}`);
  }
  // The whole picture on the screen, and no button over any HUD region.
  const screen = { x0: 0, y0: 0, x1: page.page[0], y1: page.page[1] };
  const inside = (r) => r.x0 >= screen.x0 - 0.5 && r.y0 >= screen.y0 - 0.5 &&
                        r.x1 <= screen.x1 + 0.5 && r.y1 <= screen.y1 + 0.5;
  check(size.phone ? inside(page.canvas) : page.canvas.x0 >= 0, `${name}: the canvas is off the screen`);
  check(page.buttons.length >= (size.phone ? 3 : 2), `${name}: ${page.buttons.length} buttons`);
  for (const region of hudRegions(page)) {
    check(inside(region) || !size.phone, `${name}: ${region.name} ${show(region)} off the screen`);
    for (const button of page.buttons) {
      check(!overlaps(button, region),
            `${name}: ${button.id} ${show(button)} covers ${region.name} ${show(region)}`);
    }
  }
  for (const button of page.buttons) {
    if (size.phone) check(inside(button), `${name}: ${button.id} ${show(button)} is off the screen`);
    const where = {
      'in the bars': () => !overlaps(button, page.canvas),
      'under the picture': () => button.y0 >= page.canvas.y1,
      'in its bottom corners': () => button.y0 > (page.canvas.y0 + page.canvas.y1) / 2,
    }[size.buttons];
    check(where(), `${name}: ${button.id} ${show(button)} is not ${size.buttons}`);
  }
  // Held upright, the picture spans the width.
  if (size.phone && size.height > size.width) {
    check(Math.abs(css[0] - size.width) < 0.5, `${name}: the picture is ${css[0]} wide`);
  }
}

// A recording's records (tag and operand bytes, as text), without the runs
// of "every key let go" the page records when it loses the focus (which a
// load in a used tab may or may not do).
function recordsOf(bytes) {
  const operand = { 1: 1, 2: 1, 3: 16, 4: 0, 5: 1, 6: 12, 7: 2, 8: 2, 9: 16 };
  const records = [];
  for (let at = 16; at < bytes.length; at += 1 + operand[bytes[at]]) {
    if (!(bytes[at] in operand)) throw new Error(`no record has the tag ${bytes[at]}`);
    records.push(bytes.slice(at, at + 1 + operand[bytes[at]]));
  }
  const kept = [];
  for (let i = 0; i < records.length; ++i) {
    const releasesAll = records.length - i >= 256 &&
        records.slice(i, i + 256).every((r, key) => r[0] === 2 && r[1] === key);
    if (releasesAll) i += 255;
    else kept.push(records[i].join('.'));
  }
  return kept;
}

// One recorded game (see f12): a few frames walking, F12 held over some of
// them when `f12`; its recording, its trace and whether F12 was ever held.
async function recordWithKeys(tab, url, f12) {
  await tab.load(`${url}?paused&record&trace`, false);
  await runFrames(tab, 2);
  await tab.key('keyDown', 87, 'KeyW', 'w');
  if (f12) await tab.key('keyDown', 123, 'F12', 'F12');
  await runFrames(tab, 10, true);
  const held = await tab.eval('Module._webKeyDown(123)');
  if (f12) await tab.key('keyUp', 123, 'F12', 'F12');
  await tab.key('keyUp', 87, 'KeyW', 'w');
  await runFrames(tab, 5, true);
  await tab.key('keyDown', 27, 'Escape', 'Escape');
  await tab.settle();
  await tab.eval('Module._webRunFrames(1)');
  await tab.waitFor('Module._webEnded() === 1', 5000);
  await tab.key('keyUp', 27, 'Escape', 'Escape');
  return tab.eval('({ held: ' + held + ', recording: Array.from(FS.readFile("/recorded-game.rec")),' +
                  ' trace: FS.readFile("/game.trace", { encoding: "utf8" }) })');
}

module.exports = {
  // At each page size of the table: the canvas's backing store is its CSS
  // size times devicePixelRatio (or the cap), and no page button covers the
  // HUD's lines or the crosshair; the buttons sit where the size has room.
  async pageSizes(tab, url) {
    const phones = kPageSizes.filter((s) => s.phone);
    await loadByTouch(tab, `${url}?paused`, false, phones[0].width, phones[0].height);
    for (const size of phones) await checkPageSize(tab, size);
    await tab.reset();
    const desktops = kPageSizes.filter((s) => !s.phone);
    await tab.client.Emulation.setDeviceMetricsOverride({
      width: desktops[0].width, height: desktops[0].height, deviceScaleFactor: desktops[0].ratio,
      mobile: false,
    });
    await tab.load(`${url}?paused`, false);
    for (const size of desktops) await checkPageSize(tab, size);
    // The page's icons are the game's, at the sizes they claim.
    const icons = await tab.eval(`Promise.all([...document.querySelectorAll('link[rel~=icon]')]
        .map((link) => new Promise((resolve) => {
          const image = new Image();
          image.onload = () => resolve([link.sizes.value, image.naturalWidth, image.naturalHeight]);
          image.onerror = () => resolve([link.sizes.value, 0, 0]);
          image.src = link.href;
        })))`);
    console.log(`  icons: ${JSON.stringify(icons)}`);
    check(icons.length >= 1, 'the page has no icon');
    for (const [sizes, w, h] of icons) check(sizes === `${w}x${h}`, `an icon of ${sizes} is ${w} x ${h}`);
  },

  // F12 is the browser's: held over frames of a recorded game, it reaches
  // neither the key table nor the recording, and the game goes exactly as
  // without it.
  async f12(tab, url) {
    const plain = await recordWithKeys(tab, url, false);
    const pressed = await recordWithKeys(tab, url, true);
    console.log(`  recordings of ${plain.recording.length} and ${pressed.recording.length} bytes,` +
                ` traces of ${plain.trace.split('\n').length - 1} frames`);
    check(pressed.held === 0, 'F12 is held in the key table');
    const [want, got] = [plain, pressed].map((game) => recordsOf(game.recording));
    const keys = got.filter((r) => /^[1278]\./.test(r)).map((r) => r.split('.').pop());
    check(!keys.includes('123'), `F12 in the recording's keys: ${keys}`);
    check(got.join() === want.join(), 'F12 changed the recording');
    check(pressed.trace === plain.trace && plain.trace.length > 0, 'F12 changed the trace');
  },
};
