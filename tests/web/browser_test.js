// The browser build played in headless Chromium, as a player would. Each
// *_tests.js file holds the tests of one part of the page; this runs the ones
// named (all of them when none is).
//   node browser_test.js RUN_DIR REFERENCE_DIR OUTPUT_DIR [test name ...]
// SHOOTER_WEB_PORT and SHOOTER_CHROMIUM_PORT fix the page's and the DevTools
// ports (any free one when unset), for machines that share their ports.
'use strict';

const fs = require('fs');
const { serve, startChromium, Tab, sleep } = require('./browser');

const [runDir, referenceDir, outputDir, ...only] = process.argv.slice(2);
if (!runDir || !referenceDir || !outputDir) {
  console.error('usage: node browser_test.js RUN_DIR REFERENCE_DIR OUTPUT_DIR [test ...]');
  process.exit(2);
}
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const env = { runDir, referenceDir, outputDir };

const tests = {};
for (const file of ['desktop_tests', 'touch_tests', 'recording_tests', 'playthrough_tests',
                    'page_tests']) {
  for (const [name, test] of Object.entries(require(`./${file}`))) {
    if (name in tests) throw new Error(`two browser tests named ${name}`);
    tests[name] = test;
  }
}

async function main() {
  // A name that names no test would run nothing and pass.
  const unknown = only.filter((name) => !(name in tests));
  if (unknown.length) {
    console.error(`no such browser test: ${unknown.join(', ')} (the tests: ${Object.keys(tests).join(', ')})`);
    process.exit(2);
  }
  fs.mkdirSync(outputDir, { recursive: true });
  const server = await serve(runDir, {}, Number(process.env.SHOOTER_WEB_PORT || 0));
  const url = `http://127.0.0.1:${server.address().port}/index.html`;
  const browser = await startChromium(chromium, Number(process.env.SHOOTER_CHROMIUM_PORT || 0));
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

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
