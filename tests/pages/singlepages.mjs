// Programs and helpers shared by the tests of the self-contained page that
// Export writes beside the archive (singlepage*.test.mjs): a workspace with a
// sprite sheet saved by the sprite editor, exports made by quillpage, and
// checks of screenshots.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { decodePng, quillpagePath } from './harness.mjs';

// A 16-pixel sprite of three cels saved through the sprite editor's own
// writer: a disc whose colours shift by one palette entry per cel.
export function saveRingSprite(ws) {
  const size = 16;
  const cels = 3;
  const bytes = [size, size, cels];
  for (let cel = 0; cel < cels; cel++) {
    for (let y = 0; y < size; y++) {
      for (let x = 0; x < size; x++) {
        const inside = (x - 7.5) ** 2 + (y - 7.5) ** 2 < 56;
        bytes.push(inside ? 1 + ((((x >> 2) + (y >> 2) + cel) % 14) + 14) % 14 : 0);
      }
    }
  }
  const file = join(ws.dir, 'ring-source');
  writeFileSync(file, Buffer.from(bytes));
  const run = spawnSync(quillpagePath(), ['sprite', ws.dir, file, 'ring'], { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  assert.equal(run.stdout.trim(), join(ws.dir, 'img', 'ring.png'));
}

function template(ws, name) {
  return readFileSync(join(ws.dir, 'tempfiles', name), 'utf8');
}

// Several sprites from three sheets (one made by the sprite editor), text, a
// drawn background, a code template in move and a looping sound. Nothing
// moves, so two pages of it draw the same picture.
export function severalSprites2D(ws) {
  return `// several sprites
sprite(1,"cat",2);
sprite(2,"ring",3);
sprite(3,"ball",3);
sndload(1,"catbgm",2);
window.qe=function(src){return eval(src);};
function init(){
 var k;
 bgcolor("#203040");
 bgbegin();
 box(0,300,scx,84,"#40a040");
 bgend();
 for(k=0;k<3;k++)sett(64+k*80,100,2,1,k);
 sett(64,200,1,1,0);
 sett(144,200,1,1,1);
 for(k=0;k<3;k++)sett(300+k*60,200,3,1,k);
 print(16,16,"SEVERAL");
 window.q_init=1;
}
function move(i){
${template(ws, 'tm_border')}
}
`;
}

// The same in 3D: a repeated floor, pictures of both sheets, a cube, a code
// template in move and the sound; the camera stands still.
export function severalSprites3D(ws) {
  return `// several objects
sprite(1,"cat",2);
sprite(2,"ring",3);
sprite(3,"mat1",1);
function init(){
 var f=setmPlane(0,-1,-6,3,-1,0,20,20);
 mrx[f]=270;
 maprepeat(f,10,10);
 setm(-2,0.5,-4,1,1,1);
 setm(0,0.5,-4,2,1,2);
 setmCube(2,0.5,-4,2,1,0);
 bgcolor("#000044");
 setcam(0,1,0,0,0,0);
 sndload(1,"catbgm",2);
 window.q_init=1;
}
function move(i){
${template(ws, 'mm_switch')}
}
`;
}

// A program whose text holds what would end an inline script early: in
// strings, comments, a regular expression and a template literal, an HTML
// comment opener in code (a comment there, in a classic script) and a
// script start tag. It records what it saw in window.q_seen.
export function scriptEnders(use3D) {
  return [
    '// </script> in a comment',
    '/* <!-- and <script> in a block comment */',
    "var q_a='</script><script>window.q_broken=1</script>';",
    'var q_b="<!-- <script>";',
    'var q_c=`</SCRIPT >${1+1}`;',
    'var q_r=/[</script>]+/g;',
    'var q_html=1 <!-- the rest of this line is a comment',
    ';',
    `function init(){${use3D ? 'setcam(0,0,5,0,0,0);' : ''}`,
    " window.q_seen=[q_a,q_b,q_c,'a</script>b'.replace(q_r,''),q_html,typeof window.q_broken];",
    ' print(8,8,"ok");',
    '}',
  ].join('\n');
}

export const scriptEndersSeen = ['</script><script>window.q_broken=1</script>', '<!-- <script>', '</SCRIPT >2',
  'ab', 1, 'undefined'];

// Exports a code file as the Export button does; returns the archive's and
// the page's paths and the page's file URL.
export function exportProgram(ws, name, code, out = mkdtempSync(join(ws.dir, 'export-'))) {
  const codeFile = join(ws.dir, 'prgfiles', name);
  if (code !== undefined) writeFileSync(codeFile, code);
  const run = spawnSync(quillpagePath(), ['export', ws.dir, codeFile, name, out], { encoding: 'utf8' });
  assert.equal(run.status, 0, run.stderr);
  const [archive, page] = run.stdout.trim().split('\n');
  assert.equal(archive, join(out, `${name}.zip`));
  assert.equal(page, join(out, `${name}.html`));
  return { archive, page, out, url: pathToFileURL(page).href };
}

// A screenshot once two taken 200 ms apart are the same: a page that does
// not move has loaded and drawn everything.
export async function steadyScreenshot(page, timeout = 15000) {
  let last = await page.screenshot();
  for (const end = Date.now() + timeout; Date.now() < end;) {
    await page.waitForTimeout(200);
    const next = await page.screenshot();
    if (next.equals(last)) return next;
    last = next;
  }
  throw new Error('the page did not come to rest');
}

// Colours of a screenshot, as "r,g,b" with their pixel counts.
export function colours(png) {
  const image = decodePng(png);
  const counts = new Map();
  for (let y = 0; y < image.height; y++) {
    for (let x = 0; x < image.width; x++) {
      const key = image.pixel(x, y).slice(0, 3).join();
      counts.set(key, (counts.get(key) ?? 0) + 1);
    }
  }
  return counts;
}

// Pixels within `tolerance` of an [r, g, b] colour.
export function pixelsNear(counts, [r, g, b], tolerance = 8) {
  let total = 0;
  for (const [key, count] of counts) {
    const [cr, cg, cb] = key.split(',').map(Number);
    if (Math.abs(cr - r) <= tolerance && Math.abs(cg - g) <= tolerance && Math.abs(cb - b) <= tolerance) {
      total += count;
    }
  }
  return total;
}
