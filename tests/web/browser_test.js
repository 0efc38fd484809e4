// The browser build played in headless Chromium, as a player would. Each
// *_tests.js file holds the tests of one part of the page; this runs the ones
// named (all of them when none is).
//   node browser_test.js RUN_DIR REFERENCE_DIR OUTPUT_DIR [test name ...]
'use strict';

const { runMain } = require('./browser');

const [runDir, referenceDir, outputDir, ...only] = process.argv.slice(2);
if (!runDir || !referenceDir || !outputDir) {
  console.error('usage: node browser_test.js RUN_DIR REFERENCE_DIR OUTPUT_DIR [test ...]');
  process.exit(2);
}
const env = { runDir, referenceDir, outputDir };

const tests = {};
for (const file of ['desktop_tests', 'touch_tests', 'recording_tests', 'playthrough_tests',
                    'page_tests']) {
  for (const [name, test] of Object.entries(require(`./${file}`))) {
    if (name in tests) throw new Error(`two browser tests named ${name}`);
    tests[name] = test;
  }
}

runMain(tests, only, env);
