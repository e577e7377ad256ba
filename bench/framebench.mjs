// Shared parts of the in-browser frame benchmarks: the browser with an
// uncapped frame rate, the frame timer, and the summary table.
import { startHarness } from '../tests/pages/harness.mjs';

export const uncapped = ['--disable-frame-rate-limit', '--disable-gpu-vsync'];

// extraArgs: further switches, e.g. a software 2D canvas, whose drawing then
// happens inside the frame instead of later in the GPU process.
// Pages served over http are cross-origin isolated, so that their clocks
// tell microseconds.
export function startBench(extraArgs = []) {
  return startHarness({ extraArgs: [...uncapped, ...extraArgs], isolated: true });
}

// Times `count` frames after `warmUp` frames: the gaps between successive
// animation-frame callbacks, read with performance.now(). Each gap holds one
// whole frame of the page: its tickers, its drawing and the browser's own work.
// With syncWebGL every frame first reads a pixel back from the page's WebGL
// canvas, so the previous frame's rendering is finished inside the gap.
export function frameTimes(view, warmUp, count, { syncWebGL = false } = {}) {
  return view.eval(([warm, total, sync]) => new Promise((done) => {
    const gaps = [];
    const gl = sync ? document.querySelector('canvas').getContext('webgl') : null;
    const pixel = new Uint8Array(4);
    let seen = 0;
    let last = 0;
    function frame() {
      if (gl) gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
      const now = performance.now();
      if (seen > warm) gaps.push(now - last);
      last = now;
      seen++;
      if (gaps.length < total) requestAnimationFrame(frame);
      else done(gaps);
    }
    requestAnimationFrame(frame);
  }), [warmUp, count, syncWebGL]);
}

export function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

export function printTable(title, rows) {
  console.log(title);
  console.log('| case | baseline median ms | runtime median ms | ratio |');
  console.log('|---|---|---|---|');
  for (const { name, baseline, runtime } of rows) {
    console.log(`| ${name} | ${baseline.toFixed(3)} | ${runtime.toFixed(3)} | ${(runtime / baseline).toFixed(3)} |`);
  }
}
