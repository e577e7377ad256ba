// Pictures and sounds whose names hold blanks and quotes, named as written in
// sprite() and sndload(): the generated page, the exported archive's page and
// the one-file page each load exactly those files, in headless Chromium.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { copyFileSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { decodePng, quillpagePath, serveDirectory, startHarness, vias } from './harness.mjs';
import { colours, exportProgram, pixelsNear } from './singlepages.mjs';

let harness, ws;
const servers = [];
const sheet = 'my ring';
const tune = "cat's tune";

before(async () => {
  harness = await startHarness();
  ws = await harness.workspace();
  // A 16-pixel sprite of one cel, a disc of four colours, saved as the Sprite page saves it.
  const bytes = [16, 16, 1];
  for (let y = 0; y < 16; y++) {
    for (let x = 0; x < 16; x++) bytes.push((x - 7.5) ** 2 + (y - 7.5) ** 2 < 56 ? 2 + ((x >> 2) % 4) : 0);
  }
  writeFileSync(join(ws.dir, 'ring-source'), Buffer.from(bytes));
  const saved = spawnSync(quillpagePath(), ['sprite', ws.dir, join(ws.dir, 'ring-source'), sheet], { encoding: 'utf8' });
  assert.equal(saved.status, 0, saved.stderr);
  copyFileSync(join(ws.dir, 'audio', 'catbgm.ogg'), join(ws.dir, 'audio', `${tune}.ogg`));
});

after(async () => {
  await harness?.close();
  for (const server of servers) server.close();
});

const programs = {
  '2D': `sprite(1,"${sheet}",1);
sndload(1,"cat's tune",0);
function init(){
 bgcolor("#203040");
 sett(200,200,1,1,0);
 print(8,8,"names");
 window.q_init=1;
}
`,
  '3D': `sprite(1,"${sheet}",1);
sndload(1,'cat\\'s tune',0);
function init(){
 setcam(0,0,5,0,0,0);
 setm(0,0,0,1,1,1);
 window.q_init=1;
}
`,
};
const ready = {
  '2D': 'window.q_init === 1 && snd[1] === 0',
  '3D': 'window.q_init === 1 && snd[1] === 0 && imt.length > 0 && imt.every((t) => t.image && t.image.complete)',
};

// The sheet's colours drawn on the page.
function ringDrawn(screenshot) {
  const ring = decodePng(readFileSync(join(ws.dir, 'img', `${sheet}.png`)));
  const inSheet = new Set();
  for (let y = 0; y < ring.height; y++) {
    for (let x = 0; x < ring.width; x++) if (ring.pixel(x, y)[3] === 255) inSheet.add(ring.pixel(x, y).slice(0, 3).join());
  }
  const seen = colours(screenshot);
  return [...inSheet].filter((key) => pixelsNear(seen, key.split(',').map(Number), 4) > 20).length;
}

async function loadsItsFiles(url, label) {
  const view = await harness.open(url);
  await view.waitFor(ready[label], 15000);
  assert.deepEqual(view.errors, []);
  if (label === '2D') assert.ok(ringDrawn(await view.page.screenshot()) >= 3, 'the ring is drawn');
  await view.close();
}

for (const label of ['2D', '3D']) {
  describe(`names with blanks and quotes (${label})`, () => {
    for (const via of vias) {
      test(`the generated page loads them (${via})`, async () => {
        const page = ws.generate(`names${label}`, programs[label]);
        assert.deepEqual(page.resources.slice(0, 2), [`img/${sheet}.png`, `audio/${tune}.ogg`]);
        await loadsItsFiles(page.url(via), label);
      });
    }

    test('the archive holds them and its page loads them; so does the one-file page', async () => {
      const name = `exported${label}`;
      const exported = exportProgram(ws, name, programs[label]);
      const unpacked = mkdtempSync(join(exported.out, 'unpacked-'));
      const unzip = spawnSync('unzip', [exported.archive, '-d', unpacked], { encoding: 'utf8', input: '' });
      assert.equal(unzip.status, 0, unzip.stdout + unzip.stderr);
      const server = await serveDirectory(unpacked);
      servers.push(server);
      await loadsItsFiles(`http://127.0.0.1:${server.address().port}/${name}.html`, label);
      await loadsItsFiles(pathToFileURL(exported.page).href, label);
    });
  });
}
