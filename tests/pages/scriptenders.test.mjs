// Code whose text holds what would end an inline script early, or hide its
// end tag, in the generated page (temp.html) and in the exported archive's
// page, in headless Chromium: the program runs as written and the page keeps
// its own title.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { serveDirectory, startHarness, vias } from './harness.mjs';
import { exportProgram, scriptEnders, scriptEndersSeen } from './singlepages.mjs';

let harness, ws;
const servers = [];

before(async () => {
  harness = await startHarness();
  ws = await harness.workspace();
});

after(async () => {
  await harness?.close();
  for (const server of servers) server.close();
});

async function runsAsWritten(url, name) {
  const view = await harness.open(url);
  await view.waitFor('Array.isArray(window.q_seen)');
  assert.deepEqual(await view.value('window.q_seen'), scriptEndersSeen);
  assert.equal(await view.value('document.title'), `QuillIDE - ${name}`);
  assert.deepEqual(view.errors, []);
  await view.close();
}

for (const [label, use3D] of [['2D', false], ['3D', true]]) {
  describe(`code that holds what would end an inline script (${label})`, () => {
    for (const via of vias) {
      test(`runs as written in the generated page (${via})`, async () => {
        const name = `enders${label}`;
        const page = ws.generate(name, scriptEnders(use3D), { title: name });
        assert.ok(!page.text.includes('<!--'), 'no HTML comment opener is left in the page');
        await runsAsWritten(page.url(via), name);
      });
    }

    test('runs as written in the archive\'s page, served', async () => {
      const name = `archived${label}`;
      const exported = exportProgram(ws, name, scriptEnders(use3D));
      const unpacked = mkdtempSync(join(exported.out, 'unpacked-'));
      const unzip = spawnSync('unzip', [exported.archive, '-d', unpacked], { encoding: 'utf8', input: '' });
      assert.equal(unzip.status, 0, unzip.stdout + unzip.stderr);
      const server = await serveDirectory(unpacked);
      servers.push(server);
      await runsAsWritten(`http://127.0.0.1:${server.address().port}/${name}.html`, name);
      await runsAsWritten(pathToFileURL(join(unpacked, `${name}.html`)).href, name);
    });
  });
}
