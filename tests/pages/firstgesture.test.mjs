// Sound of an exported game in a desktop browser that keeps the autoplay
// rule: silent until the player's first click or key, playing after it. The
// cat sample's export in headless Chromium without the harness's autoplay
// switch: the archive unpacked and served over http (Web Audio) or opened from
// file:// without the file access switch, as a page opened with web=1 is
// (HTML audio); and the self-contained page from file:// (Web Audio).
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { chromium } from 'playwright-core';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromiumArgs, chromiumPath, quillpagePath, serveDirectory, startHarness } from './harness.mjs';

let harness, unpacked, single, server, browser;
const scratch = mkdtempSync(join(tmpdir(), 'quill-gesture-'));

// The harness's switches, less the ones that lift the browser's rules.
const desktopArgs = chromiumArgs.filter(
  (arg) => !arg.startsWith('--autoplay-policy') && arg !== '--allow-file-access-from-files');

before(async () => {
  harness = await startHarness();
  const ws = await harness.workspace();
  const run = spawnSync(quillpagePath(), ['export', ws.dir, join(ws.dir, 'prgfiles', 'cat_sample'), 'cat', scratch],
    { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  const [archive, page] = run.stdout.trim().split('\n');
  single = page;
  unpacked = join(scratch, 'unpacked');
  execFileSync('unzip', ['-q', archive, '-d', unpacked]);
  server = await serveDirectory(unpacked);
  browser = await chromium.launch({ executablePath: chromiumPath, headless: true, args: desktopArgs });
});

after(async () => {
  await browser?.close();
  server?.close();
  await harness?.close();
  rmSync(scratch, { recursive: true, force: true });
});

// What the tune is doing: the sound library's plugin, the Web Audio context's
// state (none for HTML audio) and the tune's place in milliseconds. The page
// writes it to its console ten times a second: anything evaluated from the
// outside would count as a gesture of the user.
const reporter = `setInterval(function () {
  if (typeof createjs === 'undefined' || typeof snd === 'undefined') return;
  console.log('tune ' + JSON.stringify({
    plugin: String(createjs.Sound.activePlugin),
    context: createjs.WebAudioPlugin.context ? createjs.WebAudioPlugin.context.state : 'none',
    state: snd[1],
    position: sndo[1] ? sndo[1].position : -1,
  }));
}, 100);`;

// Waits until the page's last report satisfies the condition; returns it.
async function reportWhere(page, condition, timeout) {
  const start = Date.now();
  for (;;) {
    if (page.tune && condition(page.tune)) return page.tune;
    if (Date.now() - start > timeout) return page.tune;
    await new Promise((done) => setTimeout(done, 50));
  }
}

const cases = [
  { name: 'a mouse click, over http', via: 'http', plugin: '[WebAudioPlugin]',
    gesture: (page) => page.mouse.click(200, 150) },
  { name: 'a key, over http', via: 'http', plugin: '[WebAudioPlugin]',
    gesture: (page) => page.keyboard.press('a') },
  { name: 'a mouse click, from file://', via: 'file', plugin: '[HTMLAudioPlugin]',
    gesture: (page) => page.mouse.click(200, 150) },
  { name: 'a key, the self-contained page from file://', via: 'single', plugin: '[WebAudioPlugin]',
    gesture: (page) => page.keyboard.press('Enter') },
];

describe('the exported cat sample plays its tune after the first gesture', () => {
  for (const { name, via, plugin, gesture } of cases) {
    test(name, async () => {
      // A context of its own: the browser remembers that a site had a
      // gesture before and would let the next page play at once.
      const context = await browser.newContext();
      const page = await context.newPage();
      const url = via === 'http' ? `http://127.0.0.1:${server.address().port}/cat.html`
        : pathToFileURL(via === 'single' ? single : join(unpacked, 'cat.html')).href;
      await page.addInitScript(reporter);
      page.on('console', (message) => {
        if (message.text().startsWith('tune ')) page.tune = JSON.parse(message.text().slice(5));
      });
      await page.goto(url);
      const silent = await reportWhere(page, (tune) => tune.state === 1, 10000);
      await page.waitForTimeout(700);
      assert.equal(page.tune.plugin, plugin);
      assert.equal(page.tune.position, 0,
        `the browser holds the tune back before any gesture: ${JSON.stringify(page.tune)}`);
      if (plugin === '[WebAudioPlugin]') assert.equal(silent.context, 'suspended');

      await gesture(page);
      const playing = await reportWhere(page, (tune) => tune.position > 300, 5000);
      assert.ok(playing.position > 300, `the tune plays after the gesture: ${JSON.stringify(playing)}`);
      if (plugin === '[WebAudioPlugin]') assert.equal(playing.context, 'running');
      assert.equal(playing.state, 1);
      await context.close();
    });
  }
});
