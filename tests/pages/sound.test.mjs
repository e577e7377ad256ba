// Sound states of the runtime library on the real SoundJS and catbgm.ogg.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { copyFileSync } from 'node:fs';
import { join } from 'node:path';
import { startHarness, vias } from './harness.mjs';

let harness, ws;

before(async () => {
  harness = await startHarness();
  ws = await harness.workspace();
  // SoundJS loads a file once: every sound number gets a file of its own.
  for (const name of ['s2', 's3', 's4', 's5', 's6', 's7', 's8', 's9']) {
    copyFileSync(join(ws.dir, 'audio', 'catbgm.ogg'), join(ws.dir, 'audio', `${name}.ogg`));
  }
});

after(async () => {
  await harness?.close();
});

const program = `sndload(1,"catbgm");
sndload(2,"s2",1);
sndload(3,"s3",2);
sndload(4,"s4",2);
sndload(7,"s7",2);
sndstop(7);
window.q_start=[snd[1],snd[2],snd[3],snd[4],snd[7],sndwa()];
window.q_unknown=sndstatus(9);
function init(){window.q_init=1;}
`;

const states = '[1,2,3,4,7].map(sndstatus)';

for (const via of vias) {
  describe(`sounds (${via})`, () => {
    let view;
    before(async () => {
      const page = ws.generate('sounds', program);
      assert.ok(page.resources.includes('audio/catbgm.ogg'));
      assert.ok(page.resources.includes('js/soundjs.min.js'));
      view = await harness.open(page.url(via));
      await view.waitFor('window.q_init === 1');
    });
    after(() => view.close());

    test('loading states follow the play request', async () => {
      assert.deepEqual(await view.value('window.q_start'), [-1, -3, -2, -2, -2, 0]);
      assert.equal(await view.value('window.q_unknown'), undefined);
    });

    test('once loaded: plain sounds wait, play = 1 plays once, play = 2 loops', async () => {
      await view.waitFor(`${states}.join() === "0,1,1,1,1"`);
      assert.equal(await view.value('sndwa()'), 1);
      // SoundJS counts a loop of -1 further down each time the sound wraps.
      assert.deepEqual(await view.value(
        '[sndo[1] === undefined, sndo[2].loop, sndo[3].loop < 0, sndo[4].loop < 0, sndo[7].loop < 0, sndo[2].playState]'),
        [true, 0, true, true, true, 'playSucceeded']);
      const before = await view.value('sndo[4].position');
      await view.sleep(400);
      assert.ok(await view.value('sndo[4].position') > before, 'the looping sound advances');
      assert.equal(await view.value('createjs.Sound._listeners.fileload.length'), 1);
    });

    test('sndstop stops a started sound and leaves others alone', async () => {
      await view.waitFor(`${states}.join() === "0,1,1,1,1"`);
      assert.deepEqual(await view.value(`sndstop(1);sndstop(3);[${states}, sndo[3].playState]`),
        [[0, 1, 0, 1, 1], 'playFinished']);
      assert.equal(await view.value('sndo[4].playState'), 'playSucceeded');
    });

    test('a single play that has ended keeps state 1', async () => {
      await view.value('sndplay(1); sndo[1].position = sndo[1].duration - 50;');
      await view.waitFor('sndo[1].playState === "playFinished"');
      assert.equal(await view.value('sndstatus(1)'), 1);
      await view.value('sndloop(1)');
      assert.deepEqual(await view.value('[sndstatus(1), sndo[1].loop < 0, sndo[1].playState]'), [1, true, 'playSucceeded']);
      assert.deepEqual(view.errors, []);
    });
  });
}

describe('sndwa', () => {
  const cases = [
    {
      name: 'is 1 while only auto-starting sounds load',
      code: 'sndload(5,"s5",1);sndload(6,"s6",2);',
      want: 1,
    },
    {
      name: 'is 0 while a plain sound loads',
      code: 'sndload(5,"s5",1);sndload(6,"catbgm");',
      want: 0,
    },
    {
      name: 'counts an odd play value that lands on -1 as plain',
      code: 'sndload(8,"s8",3);',
      want: 0,
    },
  ];
  for (const { name, code, want } of cases) {
    test(name, async () => {
      const page = ws.generate('sndwa', `${code}
window.q_wa=sndwa();
function init(){window.q_init=1;}
`);
      const view = await harness.open(page.url());
      await view.waitFor('window.q_init === 1');
      assert.equal(await view.value('window.q_wa'), want);
      await view.waitFor('sndwa() === 1');
      assert.deepEqual(view.errors, []);
      await view.close();
    });
  }

  test('an odd play value of 5 gives state 1 before loading, and sndstop copes without an instance', async () => {
    const page = ws.generate('oddplay', `sndload(9,"s9",5);
window.q_before=sndstatus(9);
sndstop(9);
window.q_after=sndstatus(9);
function init(){window.q_init=1;}
`);
    const view = await harness.open(page.url());
    await view.waitFor('window.q_init === 1');
    assert.deepEqual(await view.value('[window.q_before, window.q_after]'), [1, 0]);
    await view.sleep(500);
    assert.equal(await view.value('sndstatus(9)'), 0);
    assert.deepEqual(view.errors, []);
    await view.close();
  });
});
