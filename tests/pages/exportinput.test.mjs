// The exported pages hear what the run view's page hears: the archive's page
// served over http and the one-file page opened from file://, 2D and 3D, in
// Chromium, with real key events, two fingers on the on-screen pad through
// the browser's touch input, a drag, and a stand-in gamepad.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { join } from 'node:path';
import { serveDirectory, startHarness } from './harness.mjs';
import { gamepadStandIn, held, padPoints, touchScreen } from './inputs.mjs';
import { exportProgram } from './singlepages.mjs';
import { inputProgram } from './inputprograms.mjs';

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

async function archivePage(exported, name) {
  const unpacked = mkdtempSync(join(ws.dir, 'unpacked-'));
  execFileSync('unzip', ['-q', exported.archive, '-d', unpacked]);
  const server = await serveDirectory(unpacked);
  servers.push(server);
  return `http://127.0.0.1:${server.address().port}/${name}.html`;
}

const pages = [
  { label: 'the archive\'s page over http', url: archivePage },
  { label: 'the one-file page from file://', url: (exported) => exported.url },
];

for (const use3D of [false, true]) {
  for (const { label, url } of pages) {
    test(`${label} hears keys, fingers, the on-screen pad and a gamepad (${use3D ? '3D' : '2D'})`, async () => {
      const name = `inputs${use3D ? '3d' : '2d'}`;
      const exported = exportProgram(ws, name, inputProgram(use3D));
      const view = await harness.open(await url(exported, name), { initScript: gamepadStandIn });
      await view.waitFor('window.q_init === 1');
      const frames = async () => {
        const start = await view.value('window.q_frames');
        await view.waitFor(`window.q_frames >= ${start + 3}`);
        return view.value('window.q_pad');
      };
      const heard = () => view.value('window.q_log.splice(0)');

      await view.page.keyboard.down('ArrowUp');
      await view.page.keyboard.down('x');
      assert.deepEqual(await frames(), held(2, 5));
      assert.equal(await view.value('key("X")'), 1);
      await view.page.keyboard.up('ArrowUp');
      await view.page.keyboard.up('x');
      assert.deepEqual(await heard(), [['keydown', 'ArrowUp'], ['keydown', 'x'], ['keyup', 'ArrowUp'],
        ['keyup', 'x']]);

      // A drag by two fingers: the first touch also brings the pad up.
      const fingers = await touchScreen(view.page);
      await fingers.down(1, 350, 200);
      await fingers.down(2, 450, 250);
      await fingers.move(2, 475, 250);
      await fingers.up(1, 2);
      const moves = await heard();
      assert.deepEqual(moves.map(([kind, , , f]) => [kind, f]),
        [['down', 0], ['down', 1], ['move', 1], ['up', 0], ['up', 1]]);
      const [, x1] = moves[1], [, x2] = moves[2];
      assert.ok(x2 > x1, `the second finger moved right: ${x1} to ${x2}`);

      const points = await padPoints(view);
      assert.ok(points, 'the pad shows');
      await fingers.down(3, ...points.left);
      await fingers.down(4, ...points.a);
      assert.deepEqual(await frames(), held(0, 4));
      await fingers.move(3, ...points.down);
      assert.deepEqual(await frames(), held(3, 4));
      await fingers.up(3, 4);
      assert.deepEqual(await frames(), held());
      assert.deepEqual(await heard(), [], 'the game hears no finger on the pad');

      await view.eval(() => window.q_gamepad(0, { buttons: { 9: 1 }, axes: [-1, 0] }));
      assert.deepEqual(await frames(), held(0, 6));
      assert.deepEqual(view.errors, []);
      await view.close();
    });
  }
}
