// The self-contained page Export writes beside the archive, opened from
// file:// in Firefox ESR with the network switched off: the canvas is drawn
// (textures included) and the tune is decoded and started after a click.
// The page is alone in its folder and every network request goes to a
// closed port, so whatever it draws and plays came from the page itself.
// Keys and fingers reach its game and its pad.
// (Which requests a page makes is recorded in the Chromium tests; Firefox
// reports no loads of file:// resources to pages.)
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { decodePng, startHarness } from './harness.mjs';
import { firefoxInstalled, firefoxPath, startFirefox } from './firefox.mjs';
import { colours, exportProgram, pixelsNear, saveRingSprite, scriptEnders, scriptEndersSeen,
         severalSprites2D, severalSprites3D } from './singlepages.mjs';
import { held } from './inputs.mjs';
import { inputProgram } from './inputprograms.mjs';

let harness, ws, firefox;

before(async () => {
  assert.ok(firefoxInstalled(), `Firefox ESR is missing (${firefoxPath}): bash tools/quill.sh test installs it`);
  // The harness makes the workspace; its Chromium stays unused here.
  harness = await startHarness();
  ws = await harness.workspace();
  saveRingSprite(ws);
  firefox = await startFirefox();
});

after(async () => {
  await firefox?.close();
  await harness?.close();
});

const texturesLoaded = 'typeof imt !== "undefined" && imt.length > 0 && imt.every((t) => t.image && t.image.complete)';

// The tune is read from the page, decoded whole through Web Audio and
// started after a click. Whether it is heard needs a sound device, which a
// test machine has not: Firefox then keeps the audio context suspended.
async function tuneStartsAfterClick() {
  await firefox.click(400, 300);
  await firefox.waitFor('typeof sndo !== "undefined" && sndo[1] && sndo[1].playState === "playSucceeded"');
  assert.equal(await firefox.value('String(createjs.Sound.activePlugin)'), '[WebAudioPlugin]');
  assert.ok(Math.abs(await firefox.value('createjs.Sound.activePlugin._audioSources["audio/catbgm.ogg"].duration')
    - 302400 / 44100) < 0.01, 'the whole tune is decoded');
}

// At least three of mat1's colours cover a good part of the view.
function floorDrawn(seen) {
  const floor = decodePng(readFileSync(join(ws.dir, 'img', 'mat1.png')));
  const floorColours = new Set();
  for (let y = 0; y < floor.height; y++) {
    for (let x = 0; x < floor.width; x++) floorColours.add(floor.pixel(x, y).slice(0, 3).join());
  }
  return [...floorColours].filter((key) => pixelsNear(seen, key.split(',').map(Number), 12) > 500).length >= 3;
}

describe('Firefox ESR opens the one file from file:// with no network', () => {
  test('the cat sample draws and starts its tune', async () => {
    const exported = exportProgram(ws, 'cat_sample');
    await firefox.open(exported.url);
    await firefox.waitFor('typeof snd !== "undefined" && snd[1] === 1');
    await new Promise((done) => setTimeout(done, 1000));
    const seen = colours(await firefox.screenshot());
    assert.ok(pixelsNear(seen, [0x35, 0x33, 0xc6]) > 1000, 'the background colour');
    assert.ok(pixelsNear(seen, [0x00, 0x88, 0xbb]) > 1000, 'the box drawn between bgbegin and bgend');
    assert.ok(seen.size > 20, 'sprites in many colours');
    await tuneStartsAfterClick();
  });

  test('the 3D sample draws its textures and starts its tune', async () => {
    const exported = exportProgram(ws, '3d_sample');
    await firefox.open(exported.url);
    await firefox.waitFor(texturesLoaded);
    await new Promise((done) => setTimeout(done, 1000));
    const seen = colours(await firefox.screenshot());
    assert.ok(floorDrawn(seen), 'the textured floor is drawn');
    assert.ok(pixelsNear(seen, [0x00, 0x00, 0xee]) > 1000, 'the clear colour');
    await tuneStartsAfterClick();
  });

  test('several sprites with a sheet from the sprite editor, a template and a sound (2D)', async () => {
    const exported = exportProgram(ws, 'several2D', severalSprites2D(ws));
    await firefox.open(exported.url);
    await firefox.waitFor('window.q_init === 1 && typeof snd !== "undefined" && snd[1] === 1');
    await new Promise((done) => setTimeout(done, 1000));
    const seen = colours(await firefox.screenshot());
    assert.ok(pixelsNear(seen, [0x20, 0x30, 0x40]) > 1000, 'the background colour');
    assert.ok(pixelsNear(seen, [0x40, 0xa0, 0x40]) > 1000, 'the drawn box');
    assert.ok(seen.size > 20, 'sprites and text in many colours');
    await tuneStartsAfterClick();
  });

  test('several sprites with a sheet from the sprite editor, a template and a sound (3D)', async () => {
    const exported = exportProgram(ws, 'several3D', severalSprites3D(ws));
    await firefox.open(exported.url);
    await firefox.waitFor(`window.q_init === 1 && ${texturesLoaded}`);
    await new Promise((done) => setTimeout(done, 1000));
    const seen = colours(await firefox.screenshot());
    assert.ok(floorDrawn(seen), 'the textured floor is drawn');
    assert.ok(pixelsNear(seen, [0x00, 0x00, 0x44]) > 1000, 'the clear colour');
    await tuneStartsAfterClick();
  });

  // Keys and two fingers through WebDriver's input actions, which Firefox
  // turns into key, touch and pointer events as its own input would.
  for (const [label, use3D] of [['2D', false], ['3D', true]]) {
    test(`keys and two fingers on the pad on the screen reach the game (${label})`, async () => {
      const exported = exportProgram(ws, `inputs${label}`, inputProgram(use3D));
      await firefox.open(exported.url);
      await firefox.waitFor('window.q_init === 1');
      const padReads = async () => {
        const start = await firefox.value('window.q_frames');
        await firefox.waitFor(`window.q_frames >= ${start + 3}`);
        return firefox.value('window.q_pad');
      };
      const keys = (kind, ...values) => firefox.perform([{ type: 'key', id: 'keyboard',
        actions: values.map((value) => ({ type: kind, value })) }]);
      const finger = (id, steps) => ({ type: 'pointer', id, parameters: { pointerType: 'touch' }, actions: steps });
      const to = ([x, y]) => ({ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' });
      const down = { type: 'pointerDown', button: 0 }, up = { type: 'pointerUp', button: 0 };

      await keys('keyDown', '\uE014', 'z');   // the right arrow and z
      assert.deepEqual(await padReads(), held(1, 4));
      assert.equal(await firefox.value('key("ArrowRight")'), 1);
      await keys('keyUp', '\uE014', 'z');
      assert.deepEqual(await padReads(), held());
      assert.deepEqual(await firefox.value('window.q_log.splice(0)'),
        [['keydown', 'ArrowRight'], ['keydown', 'z'], ['keyup', 'ArrowRight'], ['keyup', 'z']]);

      // The first touch is the game's, with a drag, and brings the pad up.
      await firefox.perform([finger('first', [to([300, 200]), down, to([330, 200]), up])]);
      assert.deepEqual((await firefox.value('window.q_log.splice(0)')).map(([kind, , , f]) => [kind, f]),
        [['down', 0], ['move', 0], ['up', 0]]);
      const points = await firefox.value(`(function(){
        var box=function(n){return document.querySelector('#quill-pad [data-pad='+n+']').getBoundingClientRect();};
        var d=box('dpad'),a=box('a'),cx=d.left+d.width/2,cy=d.top+d.height/2,arm=d.width*0.3;
        return {left:[cx-arm,cy],up:[cx,cy-arm],a:[a.left+a.width/2,a.top+a.height/2]};})()`);
      await firefox.perform([finger('thumb', [to(points.left), down]), finger('other', [to(points.a), down])]);
      assert.deepEqual(await padReads(), held(0, 4));
      await firefox.perform([finger('thumb', [to(points.up)]), finger('other', [{ type: 'pause' }])]);
      assert.deepEqual(await padReads(), held(2, 4));
      await firefox.perform([finger('thumb', [up]), finger('other', [up])]);
      assert.deepEqual(await padReads(), held());
      assert.deepEqual(await firefox.value('window.q_log'), [], 'the game hears no finger on the pad');
      await firefox.releaseActions();
    });
  }

  // Last: after the 3D page of this program Firefox navigates no more.
  for (const [label, use3D] of [['2D', false], ['3D', true]]) {
    test(`code holding what would end an inline script runs as written (${label})`, async () => {
      const exported = exportProgram(ws, `enders${label}`, scriptEnders(use3D));
      await firefox.open(exported.url);
      await firefox.waitFor('Array.isArray(window.q_seen)');
      assert.deepEqual(await firefox.value('window.q_seen'), scriptEndersSeen);
      });
  }
});
