// Games that hear fingers, keys and a pad: generated pages in Chromium with
// real key events, fingers through the browser's touch input, the mouse, and
// a stand-in for the browser's gamepad list.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { exposeLocals, startHarness } from './harness.mjs';
import { gamepadStandIn, held, padPoints, padState, touchScreen } from './inputs.mjs';

let harness, ws;

before(async () => {
  harness = await startHarness();
  ws = await harness.workspace();
});

after(async () => {
  await harness?.close();
});

// Every handler writes what it heard into window.q_log, positions rounded
// to a tenth; update() keeps what pad() reads in window.q_pad when the
// program uses the pad.
const loggers = `window.q_log=[];
function r(v){return Math.round(v*10)/10;}
function mousedown(x,y,f){q_log.push(['down',r(x),r(y),f]);}
function mousemove(x,y,f){q_log.push(['move',r(x),r(y),f]);}
function mouseup(x,y,f){q_log.push(['up',r(x),r(y),f]);}
function keydown(k){q_log.push(['keydown',k]);}
function keyup(k){q_log.push(['keyup',k]);}
`;

function program2D({ usesPad = true } = {}) {
  return `${exposeLocals}${loggers}
function init(){window.q_init=1;}
function update(){${usesPad ? 'window.q_pad=[0,1,2,3,4,5,6].map(pad);' : ''}window.q_frames=(window.q_frames||0)+1;
 if(window.q_watch&&q_watch.length<3)q_watch.push(q_pad.slice());}
`;
}

function program3D({ usesPad = true } = {}) {
  return `${loggers}
function init(){setcam(0,0,5,0,0,0);window.q_init=1;}
function update(){${usesPad ? 'window.q_pad=[0,1,2,3,4,5,6].map(pad);' : ''}window.q_frames=(window.q_frames||0)+1;}
`;
}

async function open(name, code, options = {}) {
  const page = ws.generate(name, code);
  const view = await harness.open(page.url(), options);
  await view.waitFor('window.q_init === 1');
  return view;
}

// Resolves once the page has run n more frames of its own loop.
async function frames(view, n = 3) {
  const start = await view.value('window.q_frames || 0');
  await view.waitFor(`(window.q_frames || 0) >= ${start + n}`);
}

// The log since the last call.
async function heard(view) {
  return view.value('window.q_log.splice(0)');
}

async function padReads(view) {
  await frames(view);
  return view.value('window.q_pad');
}

// 800 by 600 shows the 2D page's 512 by 384 at scale 1.5625.
const scale = 1.5625;
const at = (x, y) => [x * scale, y * scale];

describe('keys', () => {
  let view;
  before(async () => {
    view = await open('keys', program2D());
  });
  after(() => view.close());

  // Each row presses and lets go of keys; the handlers hear each key once
  // going down and once coming up, by the name it went down with, and key()
  // answers while it is held.
  const rows = [
    {
      name: 'a key going down and coming up',
      steps: [['down', 'ArrowLeft', { ArrowLeft: 1, ArrowRight: 0 }], ['up', 'ArrowLeft', { ArrowLeft: 0 }]],
      log: [['keydown', 'ArrowLeft'], ['keyup', 'ArrowLeft']],
    },
    {
      name: 'a held key is heard once, not at each of its repeats',
      steps: [['down', 'a'], ['down', 'a'], ['down', 'a', { a: 1 }], ['up', 'a', { a: 0 }]],
      log: [['keydown', 'a'], ['keyup', 'a']],
    },
    {
      name: 'a letter is held in either case and let go by the name it went down with',
      steps: [['down', 'a', { a: 1, A: 1 }], ['down', 'Shift', { Shift: 1, a: 1 }], ['up', 'a', { a: 0, A: 0 }],
        ['up', 'Shift', { Shift: 0 }]],
      log: [['keydown', 'a'], ['keydown', 'Shift'], ['keyup', 'a'], ['keyup', 'Shift']],
    },
    {
      name: 'two keys of one name: the name is held until both are up',
      steps: [['down', 'ShiftLeft'], ['down', 'ShiftRight', { Shift: 1 }], ['up', 'ShiftLeft', { Shift: 1 }],
        ['up', 'ShiftRight', { Shift: 0 }]],
      log: [['keydown', 'Shift'], ['keydown', 'Shift'], ['keyup', 'Shift'], ['keyup', 'Shift']],
    },
    {
      name: 'the space bar and Enter by their names',
      steps: [['down', ' ', { ' ': 1 }], ['down', 'Enter', { Enter: 1, ' ': 1 }], ['up', ' ', { ' ': 0 }],
        ['up', 'Enter', { Enter: 0 }]],
      log: [['keydown', ' '], ['keydown', 'Enter'], ['keyup', ' '], ['keyup', 'Enter']],
    },
  ];
  for (const { name, steps, log } of rows) {
    test(name, async () => {
      await heard(view);
      for (const [action, keyName, want] of steps) {
        await view.page.keyboard[action](keyName === ' ' ? 'Space' : keyName);
        for (const [k, value] of Object.entries(want ?? {})) {
          assert.equal(await view.eval((q) => key(q), k), value, `key(${JSON.stringify(k)}) after ${action} ${keyName}`);
        }
      }
      assert.deepEqual(await heard(view), log);
      assert.deepEqual(view.errors, []);
    });
  }

  // The keys of the pad, each held alone.
  const padKeys = [
    ['ArrowLeft', 0], ['a', 0], ['ArrowRight', 1], ['d', 1], ['ArrowUp', 2], ['w', 2], ['ArrowDown', 3], ['s', 3],
    ['z', 4], ['x', 5], ['Enter', 6],
  ];
  for (const [keyName, button] of padKeys) {
    test(`${keyName} holds pad button ${button}`, async () => {
      await view.page.keyboard.down(keyName);
      assert.deepEqual(await padReads(view), held(button));
      await view.page.keyboard.up(keyName);
      assert.deepEqual(await padReads(view), held());
    });
  }

  test('a button held by two keys stays held until both are up, and two buttons hold at once', async () => {
    await view.page.keyboard.down('ArrowLeft');
    await view.page.keyboard.down('a');
    await view.page.keyboard.down('z');
    assert.deepEqual(await padReads(view), held(0, 4));
    await view.page.keyboard.up('a');
    assert.deepEqual(await padReads(view), held(0, 4));
    await view.page.keyboard.up('ArrowLeft');
    await view.page.keyboard.up('z');
    assert.deepEqual(await padReads(view), held());
    await heard(view);
  });

  test('a press shorter than a frame still reads as held for one frame', async () => {
    // Down and up inside one task, so that no frame runs between them;
    // update() keeps what the pad reads in the next three frames.
    await view.eval(() => {
      window.q_watch = [];
      window.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter', code: 'Enter' }));
      window.dispatchEvent(new KeyboardEvent('keyup', { key: 'Enter', code: 'Enter' }));
    });
    await view.waitFor('window.q_watch.length === 3');
    assert.deepEqual(await view.value('q_watch'), [held(6), held(), held()]);
    await heard(view);
  });

  test('a page that loses the keys lets every held key go', async () => {
    await view.page.keyboard.down('ArrowRight');
    await view.page.keyboard.down('x');
    assert.deepEqual(await padReads(view), held(1, 5));
    await heard(view);
    await view.eval(() => window.dispatchEvent(new Event('blur')));
    assert.deepEqual(await heard(view), [['keyup', 'ArrowRight'], ['keyup', 'x']]);
    assert.deepEqual(await padReads(view), held());
    assert.equal(await view.eval(() => key('ArrowRight')), 0);
    // The browser still has them down; coming up they are not heard again.
    await view.page.keyboard.up('ArrowRight');
    await view.page.keyboard.up('x');
    assert.deepEqual(await heard(view), []);
  });
});

describe('fingers and the mouse (2D)', () => {
  let view, fingers;
  before(async () => {
    view = await open('fingers', program2D({ usesPad: false }));
    fingers = await touchScreen(view.page);
  });
  after(() => view.close());

  test('two fingers at once are told apart: each reports its own place and number', async () => {
    await heard(view);
    await fingers.down(11, ...at(96, 48));
    await fingers.down(12, ...at(304, 208));
    await fingers.move([[11, ...at(112, 64)], [12, ...at(288, 192)]]);
    await fingers.up(12);
    await fingers.move(11, ...at(128, 80));
    await fingers.up(11);
    assert.deepEqual(await heard(view), [
      ['down', 96, 48, 0], ['down', 304, 208, 1],
      ['move', 112, 64, 0], ['move', 288, 192, 1],
      ['up', 288, 192, 1],
      ['move', 128, 80, 0], ['up', 128, 80, 0],
    ]);
  });

  test('two fingers landing in one event each get a number', async () => {
    await fingers.down([[21, ...at(16, 16)], [22, ...at(32, 32)]]);
    await fingers.up(21, 22);
    assert.deepEqual(await heard(view), [['down', 16, 16, 0], ['down', 32, 32, 1], ['up', 16, 16, 0],
      ['up', 32, 32, 1]]);
  });

  test('a finger takes the lowest number no finger holds', async () => {
    await fingers.down(31, ...at(16, 16));
    await fingers.down(32, ...at(32, 32));
    await fingers.up(31);
    await fingers.down(33, ...at(48, 48));
    await fingers.down(34, ...at(64, 64));
    await fingers.up(32, 33, 34);
    const numbers = (await heard(view)).filter(([kind]) => kind === 'down').map(([, x, , f]) => [x, f]);
    assert.deepEqual(numbers, [[16, 0], [32, 1], [48, 0], [64, 2]]);
  });

  test('fingers that the screen cancels come up', async () => {
    await fingers.down(41, ...at(48, 64));
    await fingers.down(42, ...at(80, 96));
    await heard(view);
    await fingers.cancel();
    assert.deepEqual(await heard(view), [['up', 48, 64, 0], ['up', 80, 96, 1]]);
  });

  test('the mouse is finger 0 and moves are heard only while a button is down', async () => {
    await view.page.mouse.move(...at(16, 16));
    await view.page.mouse.move(...at(32, 32));
    await view.page.mouse.down();
    await view.page.mouse.move(...at(48, 32));
    await view.page.mouse.move(...at(64, 48));
    await view.page.mouse.up();
    await view.page.mouse.move(...at(96, 96));
    assert.deepEqual(await heard(view), [['down', 32, 32, 0], ['move', 48, 32, 0], ['move', 64, 48, 0],
      ['up', 64, 48, 0]]);
  });

  test('a program that never calls pad shows no pad, however it is touched', async () => {
    await fingers.down(51, ...at(32, 304));
    await fingers.up(51);
    await frames(view);
    assert.equal(await view.value('document.getElementById("quill-pad")'), null);
  });
});

describe('a program written before these handlers', () => {
  // Only mousedown(x,y) and mouseup(x,y): the generator's stubs stand in for
  // the rest, and nothing the page hears makes an error.
  const code = `${exposeLocals}window.q_taps=[];
function init(){window.q_init=1;}
function mousedown(x,y){q_taps.push(['down',Math.round(x),Math.round(y),arguments.length]);}
function mouseup(x,y){q_taps.push(['up',Math.round(x),Math.round(y)]);}
`;
  for (const [label, name, use3D] of [['2D', 'before2d', false], ['3D', 'before3d', true]]) {
    test(`taps, drags and keys play as before (${label})`, async () => {
      const view = await open(name, use3D ? `${code}setcam(0,0,5,0,0,0);\n` : code);
      const fingers = await touchScreen(view.page);
      const place = use3D ? (x, y) => [x, y] : at;
      await fingers.down(1, ...place(96, 96));
      await fingers.move(1, ...place(144, 112));
      await fingers.up(1);
      await view.page.mouse.click(...place(208, 48));
      await view.page.keyboard.press('ArrowLeft');
      await view.page.keyboard.press('a');
      await view.page.mouse.move(...place(16, 16));
      assert.deepEqual(await view.value('q_taps'), [['down', 96, 96, 3], ['up', 144, 112], ['down', 208, 48, 3],
        ['up', 208, 48]]);
      assert.equal(await view.value('document.getElementById("quill-pad")'), null);
      assert.deepEqual(view.errors, []);
      await view.close();
    });
  }
});

describe('the pad on the screen', () => {
  test('shows from the first touch for a program that calls pad, never before it', async () => {
    const view = await open('padshows', program2D());
    await frames(view);
    assert.equal(await padPoints(view), null, 'no pad without a touch');
    await view.page.mouse.click(100, 100);
    assert.equal(await padPoints(view), null, 'a mouse click is no touch');
    const fingers = await touchScreen(view.page);
    await fingers.down(1, 400, 100);
    await fingers.up(1);
    const points = await padPoints(view);
    assert.ok(points, 'the pad shows after the first touch');
    // The d-pad at the lower left, A and B at the lower right, start at the top.
    assert.ok(points.centre[0] < 400 && points.centre[1] > 300, `d-pad at ${points.centre}`);
    assert.ok(points.a[0] > 400 && points.b[0] > 400 && points.a[1] > 300 && points.b[1] > 300);
    assert.ok(points.start[1] < 100 && Math.abs(points.start[0] - 400) < 2);
    assert.equal(await view.value('getComputedStyle(document.getElementById("quill-pad")).opacity'), '0.5');
    assert.deepEqual(view.errors, []);
    await view.close();
  });

  test('shows at once where the device has only touch', async () => {
    const context = harness.context;
    const tab = await context.newPage();
    const cdp = await context.newCDPSession(tab);
    await cdp.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
    const page = ws.generate('touchonly', program2D());
    await tab.goto(page.url());
    await tab.waitForFunction('window.q_init === 1');
    await tab.waitForFunction('document.getElementById("quill-pad") !== null');
    assert.equal(await tab.evaluate('matchMedia("(any-pointer: fine)").matches'), false);
    await tab.close();
  });

  describe('fingers on it', () => {
    let view, fingers, points;
    before(async () => {
      view = await open('padfingers', program2D());
      fingers = await touchScreen(view.page);
      await fingers.down(1, 400, 30);
      await fingers.up(1);
      points = await padPoints(view);
      await heard(view);
    });
    after(() => view.close());

    test('two fingers at once, one on the d-pad and one on A, hold both; the game hears neither', async () => {
      await fingers.down(2, ...points.left);
      await fingers.down(3, ...points.a);
      assert.deepEqual(await padReads(view), held(0, 4));
      await fingers.up(2);
      assert.deepEqual(await padReads(view), held(4));
      await fingers.up(3);
      assert.deepEqual(await padReads(view), held());
      assert.deepEqual(await heard(view), []);
    });

    // One finger goes down on the first place and slides to the others in
    // turn; after each place the pad holds what the row says.
    const slides = [
      { name: 'left to up on the d-pad', path: [['left', [0]], ['up', [2]]] },
      { name: 'into the diagonal between up and left', path: [['up', [2]], ['upLeft', [0, 2]], ['left', [0]]] },
      { name: 'from A to B and to start', path: [['a', [4]], ['b', [5]], ['start', [6]]] },
      { name: 'from the d-pad to A', path: [['right', [1]], ['a', [4]]] },
      { name: 'to the middle of the d-pad, which holds nothing', path: [['down', [3]], ['centre', []]] },
      { name: 'off the pad onto the game', path: [['b', [5]], ['game', []]] },
    ];
    for (const { name, path } of slides) {
      test(`a finger sliding ${name} changes the button held`, async () => {
        const place = (where) => (where === 'game' ? [400, 300] : points[where]);
        await fingers.down(9, ...place(path[0][0]));
        for (const [k, [where, buttons]] of path.entries()) {
          if (k > 0) {
            // Through points on the way, as a finger slides.
            const [fx, fy] = place(path[k - 1][0]), [tx, ty] = place(where);
            for (const step of [0.25, 0.5, 0.75, 1]) await fingers.move(9, fx + (tx - fx) * step, fy + (ty - fy) * step);
          }
          assert.deepEqual(await padReads(view), held(...buttons), `at ${where}`);
        }
        await fingers.up(9);
        assert.deepEqual(await padReads(view), held());
        assert.deepEqual(await heard(view), [], 'the game hears no finger that began on the pad');
      });
    }

    test('a finger on the game beside the pad is still the game\'s, with its number', async () => {
      await fingers.down(4, ...points.left);
      await fingers.down(5, ...at(256, 100));
      await fingers.up(5);
      await fingers.up(4);
      assert.deepEqual(await heard(view), [['down', 256, 100, 0], ['up', 256, 100, 0]]);
    });

    test('the mouse presses the pad too, without a mousedown for the game', async () => {
      await view.page.mouse.move(...points.b);
      await view.page.mouse.down();
      assert.deepEqual(await padReads(view), held(5));
      await view.page.mouse.move(...points.a, { steps: 3 });
      assert.deepEqual(await padReads(view), held(4));
      await view.page.mouse.up();
      assert.deepEqual(await padReads(view), held());
      assert.deepEqual(await heard(view), []);
    });
  });
});

describe('a gamepad', () => {
  let view;
  before(async () => {
    view = await open('gamepad', program2D(), { initScript: gamepadStandIn });
  });
  after(() => view.close());

  const setPad = (slot, state) => view.eval(([s, st]) => window.q_gamepad(s, st), [slot, state]);

  // The first gamepad in the standard mapping: d-pad buttons and the left
  // stick both steer, buttons 0, 1 and 9 are A, B and start.
  const rows = [
    { name: 'd-pad left', state: { buttons: { 14: 1 } }, want: [0] },
    { name: 'd-pad right', state: { buttons: { 15: 1 } }, want: [1] },
    { name: 'd-pad up', state: { buttons: { 12: 1 } }, want: [2] },
    { name: 'd-pad down', state: { buttons: { 13: 1 } }, want: [3] },
    { name: 'A, B and start', state: { buttons: { 0: 1, 1: 1, 9: 1 } }, want: [4, 5, 6] },
    { name: 'the stick pushed left', state: { axes: [-0.9, 0.1] }, want: [0] },
    { name: 'the stick pushed down and right', state: { axes: [0.8, 0.7] }, want: [1, 3] },
    { name: 'the stick pushed up', state: { axes: [0, -1] }, want: [2] },
    { name: 'the stick barely moved', state: { axes: [0.3, -0.4] }, want: [] },
    { name: 'a trigger half in is not pressed, pressed beyond', state: { buttons: { 0: 0.4, 1: 0.9 } }, want: [5] },
    { name: 'other buttons are no pad buttons', state: { buttons: { 2: 1, 3: 1, 8: 1 } }, want: [] },
  ];
  for (const { name, state, want } of rows) {
    test(name, async () => {
      await setPad(0, state);
      assert.deepEqual(await padReads(view), held(...want));
      await setPad(0, null);
      assert.deepEqual(await padReads(view), held());
    });
  }

  test('the first connected gamepad is read, not a disconnected one or a later one', async () => {
    await setPad(1, { buttons: { 0: 1 }, connected: false });
    await setPad(2, { buttons: { 1: 1 } });
    await setPad(3, { buttons: { 9: 1 } });
    assert.deepEqual(await padReads(view), held(5));
    for (const slot of [1, 2, 3]) await setPad(slot, null);
  });

  test('keys and the gamepad hold the pad together', async () => {
    await view.page.keyboard.down('ArrowLeft');
    await setPad(0, { buttons: { 15: 1 } });
    assert.deepEqual(await padReads(view), held(0, 1));
    await view.page.keyboard.up('ArrowLeft');
    assert.deepEqual(await padReads(view), held(1));
    await setPad(0, null);
    assert.deepEqual(await padReads(view), held());
    assert.deepEqual(view.errors, []);
  });
});

describe('the 3D page hears the same', () => {
  let view, fingers;
  before(async () => {
    view = await open('input3d', program3D());
    fingers = await touchScreen(view.page);
  });
  after(() => view.close());

  test('keys: the handlers, key() and the pad', async () => {
    await heard(view);
    await view.page.keyboard.down('w');
    assert.equal(await view.eval(() => key('W')), 1);
    assert.deepEqual(await padReads(view), held(2));
    await view.page.keyboard.up('w');
    assert.deepEqual(await padReads(view), held());
    assert.deepEqual(await heard(view), [['keydown', 'w'], ['keyup', 'w']]);
  });

  test('two fingers in the window\'s pixels with their numbers, and a drag of the mouse', async () => {
    await fingers.down(1, 100, 50);
    await fingers.down(2, 300, 200);
    await fingers.move(2, 310, 220);
    await fingers.up(1, 2);
    await view.page.mouse.move(30, 40);
    await view.page.mouse.down();
    await view.page.mouse.move(50, 40);
    await view.page.mouse.up();
    assert.deepEqual(await heard(view), [['down', 100, 50, 0], ['down', 300, 200, 1], ['move', 310, 220, 1],
      ['up', 100, 50, 0], ['up', 310, 220, 1], ['down', 30, 40, 0], ['move', 50, 40, 0], ['up', 50, 40, 0]]);
  });

  test('the pad on the screen: two fingers hold the d-pad and A, and the game hears neither', async () => {
    await fingers.down(5, 600, 100);
    await fingers.up(5);
    const points = await padPoints(view);
    assert.ok(points, 'a touch shows the pad');
    await heard(view);
    await fingers.down(3, ...points.down);
    await fingers.down(4, ...points.a);
    assert.deepEqual(await padReads(view), held(3, 4));
    await fingers.move(3, ...points.right);
    assert.deepEqual(await padReads(view), held(1, 4));
    await fingers.up(3, 4);
    await view.page.mouse.click(...points.b);
    assert.deepEqual(await heard(view), []);
    assert.deepEqual(view.errors, []);
  });
});
