// Export archives of the two samples, made by quillpage export as the Export
// button makes them: read with the system's zip tools (names, order, deflate),
// unpacked without a question, served from a plain loopback web server and
// opened from file://, each in headless Chromium.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { quillpagePath, serveDirectory, startHarness } from './harness.mjs';

let harness, ws, scratch;
const servers = [];

before(async () => {
  harness = await startHarness();
  ws = await harness.workspace();
  scratch = mkdtempSync(join(tmpdir(), 'quill-export-'));
});

after(async () => {
  await harness?.close();
  for (const server of servers) server.close();
  if (scratch) rmSync(scratch, { recursive: true, force: true });
});

const samples = [
  {
    sample: 'cat_sample', name: 'cat',
    entries: ['cat.html', 'img/cat.png', 'img/ball.png', 'audio/catbgm.ogg', 'js/js-sprintf-1.0.1.min.js',
      'js/soundjs.min.js', 'img/fnt18.png', 'js/quillfunc.js', 'js/stage.web.min.js'],
  },
  {
    sample: '3d_sample', name: 'cube',
    entries: ['cube.html', 'img/cat.png', 'img/mat1.png', 'audio/catbgm.ogg', 'js/soundjs.min.js',
      'js/quillfunc.js', 'js/three.min.js'],
  },
];

// The entries' compression methods as zipinfo names them (defN, stor ...).
function methods(archive) {
  return execFileSync('zipinfo', ['-s', archive], { encoding: 'utf8' })
    .split('\n')
    .filter((line) => /^[-?]/.test(line))
    .map((line) => line.trim().split(/\s+/)[5]);
}

// Two screenshots some time apart differ: the page's frames advance.
async function framesAdvance(view) {
  const first = await view.page.screenshot();
  for (let k = 0; k < 20; k++) {
    await view.sleep(250);
    if (!first.equals(await view.page.screenshot())) return true;
  }
  return false;
}

for (const { sample, name, entries } of samples) {
  describe(`export of ${sample}`, () => {
    let archive, unpacked;
    before(async () => {
      const out = mkdtempSync(join(scratch, 'out-'));
      const run = spawnSync(quillpagePath(), ['export', ws.dir, join(ws.dir, 'prgfiles', sample), name, out],
        { encoding: 'utf8' });
      assert.equal(run.status, 0, run.stderr);
      const written = run.stdout.trim().split('\n');
      archive = written[0];
      assert.deepEqual(written, [join(out, `${name}.zip`), join(out, `${name}.html`)]);
      unpacked = mkdtempSync(join(scratch, 'unpacked-'));
    });

    test('the archive holds the page, then every resource in the page\'s order, all deflated', () => {
      const names = execFileSync('zipinfo', ['-1', archive], { encoding: 'utf8' }).split('\n').filter(Boolean);
      assert.deepEqual(names, entries);
      assert.deepEqual(methods(archive), entries.map(() => 'defN'));
      const check = spawnSync('unzip', ['-t', archive], { encoding: 'utf8' });
      assert.equal(check.status, 0, check.stdout);
    });

    test('it unpacks without a question', () => {
      const run = spawnSync('unzip', [archive, '-d', unpacked], { encoding: 'utf8', input: '' });
      assert.equal(run.status, 0, run.stdout + run.stderr);
    });

    for (const via of ['http', 'file']) {
      test(`the unpacked page runs (${via})`, async () => {
        let url = pathToFileURL(join(unpacked, `${name}.html`)).href;
        if (via === 'http') {
          const server = await serveDirectory(unpacked);
          servers.push(server);
          url = `http://127.0.0.1:${server.address().port}/${name}.html`;
        }
        const view = await harness.open(url);
        await view.sleep(1500);
        assert.ok(await framesAdvance(view), 'frames advance');
        if (sample === '3d_sample') {
          assert.ok(await view.value('typeof mm === "number" && mm > 0 && m.some((used) => used)'),
            'the object table fills');
        }
        assert.deepEqual(view.errors, []);
        assert.deepEqual(view.dialogs, []);
        await view.close();
      });
    }
  });
}
