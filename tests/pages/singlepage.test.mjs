// The self-contained page Export writes beside the archive, opened from
// file:// as a double-click opens it: a Chromium without the switches that
// let file pages read other files and sound start without a gesture, with the
// network off and every request recorded. It must draw, load its textures and play its sound (after a
// click) with nothing fetched, and draw what the archive's page draws when
// served over http.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { chromiumArgs, chromiumPath, decodePng, serveDirectory, startHarness } from './harness.mjs';
import { colours, exportProgram, pixelsNear, saveRingSprite, scriptEnders, scriptEndersSeen,
         severalSprites2D, severalSprites3D, steadyScreenshot } from './singlepages.mjs';

let harness, ws, offline, profile;
const servers = [];
const tuneSeconds = 302400 / 44100;

before(async () => {
  harness = await startHarness();
  ws = await harness.workspace();
  saveRingSprite(ws);
  profile = mkdtempSync(join(tmpdir(), 'quill-chromium-offline-'));
  offline = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    args: chromiumArgs.filter(
      (arg) => arg !== '--allow-file-access-from-files' && !arg.startsWith('--autoplay-policy')),
    viewport: { width: 800, height: 600 },
  });
  await offline.setOffline(true);
});

after(async () => {
  await offline?.close();
  await harness?.close();
  for (const server of servers) server.close();
  if (profile) rmSync(profile, { recursive: true, force: true });
});

// Opens a page in the offline browser, recording every request it makes
// (network requests are refused as well as the network being off) and
// every error and dialog.
async function openOffline(url) {
  const page = await offline.newPage();
  const seen = { requests: [], refused: [], errors: [], dialogs: [] };
  page.on('request', (request) => seen.requests.push(request.url()));
  await page.route(/^(?!file:)/, (route) => {
    seen.refused.push(route.request().url());
    return route.abort();
  });
  page.on('pageerror', (error) => seen.errors.push(`pageerror: ${error.message}`));
  page.on('console', (message) => {
    if (message.type() === 'error') seen.errors.push(`console: ${message.text()}`);
  });
  page.on('dialog', async (dialog) => {
    seen.dialogs.push(dialog.message());
    await dialog.dismiss();
  });
  await page.goto(url);
  return { page, seen };
}

function nothingFetched(url, seen) {
  assert.deepEqual(seen.requests, [url], 'the page itself is the only request');
  assert.deepEqual(seen.refused, []);
  assert.deepEqual(seen.errors, []);
  assert.deepEqual(seen.dialogs, []);
}

// The tune plays through Web Audio after a click: decoded whole, started,
// advancing.
async function tunePlaysAfterClick(page) {
  await page.mouse.click(400, 300);
  // The click resumes the audio context; the resume itself completes a moment later.
  await page.waitForFunction('typeof sndo !== "undefined" && sndo[1] && sndo[1].playState === "playSucceeded"'
    + ' && createjs.Sound.activePlugin.context.state === "running"', null, { timeout: 10000 });
  const sound = await page.evaluate(() => {
    const plugin = createjs.Sound.activePlugin;
    const buffer = plugin._audioSources['audio/catbgm.ogg'];
    return { plugin: String(plugin), state: plugin.context.state, seconds: buffer.duration, loop: sndo[1].loop < 0 };
  });
  assert.equal(sound.plugin, '[WebAudioPlugin]');
  assert.equal(sound.state, 'running');
  assert.ok(Math.abs(sound.seconds - tuneSeconds) < 0.01, `the whole tune is decoded (${sound.seconds} s)`);
  assert.ok(sound.loop, 'it loops');
  const start = await page.evaluate('sndo[1].position');
  await page.waitForTimeout(400);
  assert.ok(await page.evaluate('sndo[1].position') !== start, 'the tune advances');
}

// What Web Audio decoded of the tune: its shape and a weighted sum of its
// samples.
function decodedTune(page) {
  return page.evaluate(() => {
    const buffer = createjs.Sound.activePlugin._audioSources['audio/catbgm.ogg'];
    const samples = buffer.getChannelData(0);
    let sum = 0;
    for (let k = 0; k < samples.length; k++) sum += samples[k] * ((k % 13) + 1);
    return [buffer.length, buffer.sampleRate, buffer.numberOfChannels, sum];
  });
}

async function framesAdvance(page) {
  const first = await page.screenshot();
  for (let k = 0; k < 20; k++) {
    await page.waitForTimeout(250);
    if (!first.equals(await page.screenshot())) return true;
  }
  return false;
}

// The archive unpacked and served over http, opened in the test harness.
async function servedArchive(archive, name) {
  const unpacked = mkdtempSync(join(tmpdir(), 'quill-unpacked-'));
  execFileSync('unzip', ['-q', archive, '-d', unpacked]);
  const server = await serveDirectory(unpacked);
  servers.push(server);
  return harness.open(`http://127.0.0.1:${server.address().port}/${name}.html`);
}

const texturesLoaded = 'typeof imt !== "undefined" && imt.length > 0 && imt.every((t) => t.image && t.image.complete)';

describe('the cat sample as one file', () => {
  let exported, opened;
  before(async () => {
    exported = exportProgram(ws, 'cat_sample');
    opened = await openOffline(exported.url);
  });
  after(() => opened?.page.close());

  test('draws its sprites, text and background, frame after frame', async () => {
    const { page } = opened;
    await page.waitForTimeout(1500);
    const seen = colours(await page.screenshot());
    assert.ok(pixelsNear(seen, [0x35, 0x33, 0xc6]) > 1000, 'the background colour');
    assert.ok(pixelsNear(seen, [0x00, 0x88, 0xbb]) > 1000, 'the box drawn between bgbegin and bgend');
    assert.ok([...seen.keys()].length > 20, 'sprites in many colours');
    assert.ok(await framesAdvance(page), 'frames advance');
  });

  test('plays its tune after a click, with nothing fetched', async () => {
    await tunePlaysAfterClick(opened.page);
    nothingFetched(exported.url, opened.seen);
  });
});

describe('the 3D sample as one file', () => {
  let exported, opened;
  before(async () => {
    exported = exportProgram(ws, '3d_sample');
    opened = await openOffline(exported.url);
  });
  after(() => opened?.page.close());

  test('draws the scene with its textures', async () => {
    const { page } = opened;
    await page.waitForFunction(texturesLoaded, null, { timeout: 15000 });
    await page.waitForTimeout(500);
    const seen = colours(await page.screenshot());
    const floor = decodePng(readFileSync(join(ws.dir, 'img', 'mat1.png')));
    const floorColours = new Set();
    for (let y = 0; y < floor.height; y++) {
      for (let x = 0; x < floor.width; x++) floorColours.add(floor.pixel(x, y).slice(0, 3).join());
    }
    const drawn = [...floorColours].filter((key) => pixelsNear(seen, key.split(',').map(Number), 12) > 500);
    assert.ok(drawn.length >= 3, `the floor's colours are drawn (${drawn.length} of ${floorColours.size})`);
    assert.ok(pixelsNear(seen, [0x00, 0x00, 0xee]) > 1000, 'the clear colour');
    assert.ok(await framesAdvance(page), 'frames advance');
  });

  test('plays its tune after a click, with nothing fetched', async () => {
    await tunePlaysAfterClick(opened.page);
    nothingFetched(exported.url, opened.seen);
  });
});

for (const [label, code, ready] of [
  ['2D', severalSprites2D, 'window.q_init === 1'],
  ['3D', severalSprites3D, `window.q_init === 1 && ${texturesLoaded}`],
]) {
  describe(`several sprites, a sheet from the sprite editor, a template and a sound (${label})`, () => {
    let exported, opened;
    before(async () => {
      exported = exportProgram(ws, `several${label}`, code(ws));
      opened = await openOffline(exported.url);
      await opened.page.waitForFunction(ready, null, { timeout: 15000 });
    });
    after(() => opened?.page.close());

    test('draws and sounds what the archive\'s page does over http', async () => {
      const served = await servedArchive(exported.archive, `several${label}`);
      await served.waitFor(ready, 15000);
      const fromArchive = await steadyScreenshot(served.page);
      const fromPage = await steadyScreenshot(opened.page);
      assert.ok(colours(fromPage).size > 10, 'a picture, not a plain screen');
      assert.ok(fromPage.equals(fromArchive), 'the same picture');
      const loaded = 'typeof snd !== "undefined" && snd[1] === 1';
      await served.waitFor(loaded, 15000);
      await opened.page.waitForFunction(loaded, null, { timeout: 15000 });
      assert.deepEqual(await decodedTune(opened.page), await decodedTune(served.page), 'the same sound');
      assert.deepEqual(served.errors, []);
      await served.close();
    });

    test('plays its tune after a click, with nothing fetched', async () => {
      await tunePlaysAfterClick(opened.page);
      nothingFetched(exported.url, opened.seen);
    });
  });
}

describe('code that holds what would end an inline script', () => {
  for (const [label, use3D] of [['2D', false], ['3D', true]]) {
    test(`runs as written (${label})`, async () => {
      const exported = exportProgram(ws, `enders${label}`, scriptEnders(use3D));
      const page = readFileSync(exported.page, 'latin1');
      assert.ok(!page.includes('<!--'), 'no HTML comment opener is left in the page');
      const opened = await openOffline(exported.url);
      await opened.page.waitForFunction('Array.isArray(window.q_seen)', null, { timeout: 10000 });
      assert.deepEqual(await opened.page.evaluate('window.q_seen'), scriptEndersSeen);
      nothingFetched(exported.url, opened.seen);
      await opened.page.close();
    });
  }
});
