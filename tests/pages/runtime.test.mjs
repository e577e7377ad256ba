// The runtime function library in a generated 2D page: maths, text, colours
// and drawing on the graphics canvas.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { startHarness, vias } from './harness.mjs';

let harness, ws;

before(async () => {
  harness = await startHarness();
  ws = await harness.workspace();
});

after(async () => {
  await harness?.close();
});

describe('maths, text and colour helpers', () => {
  let view;
  before(async () => {
    const page = ws.generate('helpers', 'function init(){window.q_init=1;}\n');
    view = await harness.open(page.url());
    await view.waitFor('window.q_init === 1');
  });
  after(() => view.close());

  const cases = [
    ['rgb(255,136,0)', '#ff8800'],
    ['rgb(0,0,0)', '#000000'],
    ['rgb(1,2,3)', '#010203'],
    ['hex(255)', 'ff'],
    ['hex(10)', '0a'],
    ['hex(0)', '00'],
    ['int(-1.5)', -2],
    ['int(2.7)', 2],
    ['int(-3)', -3],
    ["mid('abcdef',2,3)", 'cde'],
    ["mid('abc',1,10)", 'bc'],
    ["mid('abc',5,1)", ''],
    ["len('abc')", 3],
    ['chr(65)', 'A'],
    ["asc('Az')", 65],
    ["upper('aB1')", 'AB1'],
    ["lower('aB1')", 'ab1'],
    ['abs(-3)', 3],
    ['sqr(9)', 3],
    ['atan2(1,0) === Math.PI / 2', true],
    ['atan2(-1,-1) === -3 * Math.PI / 4', true],
    ['[cos(0), sin(0), tan(0)]', [1, 0, 0]],
    ['pi === Math.PI', true],
    ['[scx, scy]', [512, 384]],
    ['Math.abs(time() - Date.now()) < 50', true],
    ['(function(){for(var k=0;k<300;k++)if(rand(1)!==0)return false;return true;})()', true],
    ['(function(){var seen={};for(var k=0;k<600;k++)seen[rand(6)]=1;return Object.keys(seen).sort().join();})()', '0,1,2,3,4,5'],
    ['(function(){for(var k=0;k<1000;k++){var r=rnd();if(!(r>=0&&r<1))return false;}return true;})()', true],
  ];
  for (const [expression, want] of cases) {
    test(expression, async () => {
      assert.deepEqual(await view.value(expression), want);
    });
  }
});

describe('drawing on the graphics canvas', () => {
  for (const via of vias) {
    test(`bgbegin() and bgend() draw into the graphics layer (${via})`, async () => {
      const page = ws.generate('drawing', `function init(){
bgcolor("#3533c6");
bgbegin();
window.q_widths=[];
circle(100,100,20,"#00ff00",true);
circle(200,100,20,"#00ff00",false);
q_widths.push(gctx.lineWidth);
rectangle(10,10,20,20,"#ff0000");
line(0,300,50,300,"#0000ff");
q_widths.push(gctx.lineWidth);
rectangle(60,10,20,20,"#ff0000");
box(300,200,10,10,"#123456");
bgend();
window.q_init=1;
}
`);
      const view = await harness.open(page.url(via));
      await view.waitFor('window.q_init === 1');
      const pixel = (layer, x, y) => view.eval(([name, px, py]) =>
        [...window[name]._image._image.getContext('2d').getImageData(px, py, 1, 1).data], [layer, x, y]);
      assert.deepEqual(await view.value('[oGra._image._image.width, oGra._image._image.height]'), [512, 384]);
      assert.deepEqual(await view.value('window.q_widths'), [2, 1]);
      const cases = [
        ['a filled circle is filled', 'oGra', 100, 100, [0, 255, 0, 255]],
        ['a stroked circle is hollow', 'oGra', 200, 100, [0, 0, 0, 0]],
        ['rectangle after circle strokes 2 pixels wide', 'oGra', 9, 20, [255, 0, 0, 255]],
        ['rectangle after circle covers both pixels', 'oGra', 10, 20, [255, 0, 0, 255]],
        ['rectangle after line strokes 1 pixel wide', 'oGra', 59, 20, [255, 0, 0, 128]],
        ['box fills its rectangle', 'oGra', 305, 205, [0x12, 0x34, 0x56, 255]],
        ['outside every shape stays clear', 'oGra', 400, 350, [0, 0, 0, 0]],
        ['bgcolor paints the base layer', 'oBase', 511, 383, [0x35, 0x33, 0xc6, 255]],
      ];
      for (const [name, layer, x, y, want] of cases) {
        const got = await pixel(layer, x, y);
        assert.ok(got.every((value, k) => Math.abs(value - want[k]) <= 1), `${name}: ${got}`);
      }
      const [red, green, blue, alpha] = await pixel('oGra', 25, 300);
      assert.ok(blue > 0 && alpha > 0 && red === 0 && green === 0, 'line draws its colour');
      assert.equal(await view.value('clBg'), '#3533c6');
      assert.deepEqual(view.errors, []);
      await view.close();
    });
  }
});
