// Recorded games and screenshots in the page: the Linux build's recordings
// replay to their committed traces, a game recorded in the page replays from
// a chosen file, and the Screenshot button saves the frame on the canvas.
'use strict';

const fs = require('fs');
const path = require('path');
const { readPng, compare } = require('./browser');
const { runFrames, check, compareTraces } = require('./steps');

module.exports = {
  // Games recorded by the Linux build replay in the page (?play=ADDRESS) to
  // the frames, score and state digest they were recorded with, end with exit
  // code 0, and pass through the same state at every frame as the Linux build
  // did (?trace, against the committed tests/recordings/NAME.trace).
  async replay(tab, url, env) {
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
  async screenshot(tab, url, env) {
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
    fs.writeFileSync(path.join(env.outputDir, 'web-screenshot.png'), Buffer.from(bytes));
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
  async record(tab, url, env) {
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
    const file = path.join(env.outputDir, 'web-recorded.rec');
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

};
