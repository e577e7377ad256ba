// Helpers for the page tests: a headless Chromium with working WebGL and audio,
// workspaces installed by the real page generator command, pages served over
// http from a loopback server and over file://, and page state read back
// through page.evaluate.
//
//   const h = await startHarness();              // in before()
//   const ws = await h.workspace();
//   const page = ws.generate('init', 'function init(){window.done=1;}');
//   const view = await h.open(page.url('http'));
//   await view.waitFor('window.done === 1');
//   await h.close();                             // in after()
//
// The 2D template keeps its state local to the Stage application function, so
// test programs reach it from inside: they copy values into window globals or
// install `window.qe = function(s){return eval(s);}` (see exposeLocals), whose
// direct eval sees the application function's variables and functions.

import { chromium } from 'playwright-core';
import { execFileSync, spawnSync } from 'node:child_process';
import { createReadStream, existsSync, mkdtempSync, readFileSync, renameSync, rmSync, statSync,
         writeFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { dirname, extname, join, resolve, sep } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { deflateSync, inflateSync } from 'node:zlib';

export const repoRoot = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');

// Headless Chromium in a container: SwiftShader gives WebGL without a GPU, the
// autoplay policy lets sounds start without a gesture, file pages may load
// their scripts, images and sounds.
export const chromiumArgs = [
  '--no-sandbox',
  '--use-angle=swiftshader',
  '--enable-unsafe-swiftshader',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
  '--allow-file-access-from-files',
  '--autoplay-policy=no-user-gesture-required',
];

export const chromiumPath = process.env.CHROMIUM ?? '/usr/bin/chromium';

// Declares, inside a 2D test program, window.qe(src): evaluates src in the
// scope of the Stage application function (the template's locals).
export const exposeLocals = 'window.qe=function(src){return eval(src);};\n';

export function quillpagePath() {
  const path = process.env.QUILLPAGE ?? join(repoRoot, 'build', 'tools', 'quillpage');
  if (!existsSync(path)) {
    throw new Error(`quillpage not found at ${path}: build the target quillpage or set QUILLPAGE`);
  }
  return path;
}

const mimeTypes = {
  '.html': 'text/html',
  '.js': 'text/javascript',
  '.png': 'image/png',
  '.ogg': 'audio/ogg',
  '.mp3': 'audio/mpeg',
};

// isolated: the pages are cross-origin isolated (every file comes from the
// same origin), which gives their clocks microseconds instead of a tenth of
// a millisecond.
export function serveDirectory(root, { isolated = false } = {}) {
  const server = createServer((request, response) => {
    const path = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (path === '/favicon.ico') {
      response.writeHead(204).end();
      return;
    }
    const file = resolve(root, '.' + path);
    if (!(file + sep).startsWith(resolve(root) + sep) || !existsSync(file) || !statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {
      'Content-Type': mimeTypes[extname(file)] ?? 'application/octet-stream',
      'Content-Length': statSync(file).size,
      'Cache-Control': 'no-store',
      ...(isolated ? { 'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp' } : {}),
    });
    createReadStream(file).pipe(response);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done(server)));
}

// ---- PNG files --------------------------------------------------------

function crc32(bytes) {
  let crc = ~0;
  for (const byte of bytes) {
    crc ^= byte;
    for (let k = 0; k < 8; k++) crc = (crc >>> 1) ^ (0xedb88320 & -(crc & 1));
  }
  return ~crc >>> 0;
}

function pngChunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'ascii');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}

// pixel(x, y) returns [r, g, b, a].
export function encodePng(width, height, pixel) {
  const raw = Buffer.alloc((width * 4 + 1) * height);
  for (let y = 0; y < height; y++) {
    for (let x = 0; x < width; x++) {
      const at = y * (width * 4 + 1) + 1 + x * 4;
      const [r, g, b, a] = pixel(x, y);
      raw[at] = r; raw[at + 1] = g; raw[at + 2] = b; raw[at + 3] = a;
    }
  }
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header[8] = 8; header[9] = 6;
  return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), pngChunk('IHDR', header),
                        pngChunk('IDAT', deflateSync(raw)), pngChunk('IEND', Buffer.alloc(0))]);
}

// Decodes an 8-bit, non-interlaced RGB or RGBA PNG (what Chromium's
// screenshots are); pixel(x, y) returns [r, g, b, a].
export function decodePng(bytes) {
  let at = 8, width = 0, height = 0, colourType = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('ascii', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      colourType = body[9];
      if (body[8] !== 8 || body[12] !== 0 || (colourType !== 2 && colourType !== 6)) {
        throw new Error('unsupported PNG');
      }
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const channels = colourType === 6 ? 4 : 3;
  const stride = width * channels;
  const raw = inflateSync(Buffer.concat(data));
  const out = Buffer.alloc(stride * height);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    for (let x = 0; x < stride; x++) {
      const value = raw[y * (stride + 1) + 1 + x];
      const left = x >= channels ? out[y * stride + x - channels] : 0;
      const up = y > 0 ? out[(y - 1) * stride + x] : 0;
      const upLeft = x >= channels && y > 0 ? out[(y - 1) * stride + x - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = left;
      else if (filter === 2) predicted = up;
      else if (filter === 3) predicted = (left + up) >> 1;
      else if (filter === 4) {
        const p = left + up - upLeft;
        const pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - upLeft);
        predicted = pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft;
      }
      out[y * stride + x] = (value + predicted) & 255;
    }
  }
  return {
    width,
    height,
    pixel(x, y) {
      const start = y * stride + x * channels;
      return channels === 4 ? [...out.subarray(start, start + 4)] : [...out.subarray(start, start + 3), 255];
    },
  };
}

// The files that generated pages load; a workspace without one of them is an
// installation fault, reported instead of papered over.
const pageFiles = [
  'js/tmp_main.html', 'js/tmp_3d.html', 'js/quillfunc.js', 'js/stage.web.min.js', 'js/three.min.js',
  'js/soundjs.min.js', 'js/js-sprintf-1.0.1.min.js', 'img/fnt18.png', 'img/cat.png', 'img/ball.png',
  'img/mat1.png', 'audio/catbgm.ogg', 'prgfiles/cat_sample', 'prgfiles/3d_sample', 'prgfiles/pad_sample',
];

function checkWorkspace(dir) {
  const missing = pageFiles.filter((name) => !existsSync(join(dir, name)));
  if (missing.length) throw new Error(`quillpage install did not write ${missing.join(', ')}`);
}

// ---- workspaces and pages ----------------------------------------------

class Workspace {
  constructor(dir, server) {
    this.dir = dir;
    this.server = server;
    this.pages = 0;
  }

  get httpBase() {
    return `http://127.0.0.1:${this.server.address().port}/`;
  }

  // Generates a page from code with quillpage and keeps it as NAME.html beside
  // temp.html. Returns { name, path, resources, text, url(via) }.
  generate(name, code, options = {}) {
    const codeFile = join(this.dir, 'prgfiles', name);
    writeFileSync(codeFile, code);
    return this.generateFile(codeFile, name, options);
  }

  generateFile(codeFile, name, { title } = {}) {
    const args = ['generate', this.dir, codeFile];
    if (title !== undefined) args.push(title);
    const run = spawnSync(quillpagePath(), args, { encoding: 'utf8' });
    if (run.status !== 0) {
      throw new Error(`quillpage generate ${name} failed (${run.status}): ${run.stderr}`);
    }
    const pageName = `${name.replace(/[^\w-]/g, '_')}-${++this.pages}.html`;
    const path = join(this.dir, pageName);
    renameSync(join(this.dir, 'temp.html'), path);
    const base = this.httpBase;
    return {
      name: pageName,
      path,
      text: readFileSync(path, 'latin1'),
      resources: run.stdout.split('\n').filter((line) => line !== ''),
      url: (via = 'http') => (via === 'file' ? pathToFileURL(path).href : base + pageName),
    };
  }
}

// Collects page errors, console errors and dialogs of one page.
class PageView {
  constructor(page) {
    this.page = page;
    this.errors = [];
    this.dialogs = [];
    page.on('pageerror', (error) => this.errors.push(`pageerror: ${error.message}`));
    // Failed loads are taken from the network events, which name the file;
    // SoundJS probes file:// support by asking for a file that does not exist.
    const probe = /\/WebAudioPluginTest\.fail$/;
    page.on('console', (message) => {
      if (message.type() === 'error' && !message.text().startsWith('Failed to load resource')) {
        this.errors.push(`console: ${message.text()}`);
      }
    });
    page.on('requestfailed', (request) => {
      if (!probe.test(request.url())) this.errors.push(`failed: ${request.url()} ${request.failure()?.errorText}`);
    });
    page.on('response', (response) => {
      if (response.status() >= 400) this.errors.push(`status ${response.status()}: ${response.url()}`);
    });
    page.on('dialog', async (dialog) => {
      this.dialogs.push({ type: dialog.type(), message: dialog.message() });
      await dialog.dismiss();
    });
  }

  eval(fn, arg) {
    return this.page.evaluate(fn, arg);
  }

  // Evaluates a source text in the page (a plain expression).
  value(expression) {
    return this.page.evaluate(expression);
  }

  // Waits until the expression is truthy in the page.
  async waitFor(expression, timeout = 10000) {
    await this.page.waitForFunction(expression, null, { timeout, polling: 'raf' });
  }

  sleep(ms) {
    return this.page.waitForTimeout(ms);
  }

  close() {
    return this.page.close();
  }
}

// extraArgs: further Chromium switches (the benchmarks lift the frame rate cap).
// isolated: the workspaces' pages are served cross-origin isolated (see
// serveDirectory).
export async function startHarness({ extraArgs = [], isolated = false } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'quill-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: chromiumPath,
    headless: true,
    args: [...chromiumArgs, ...extraArgs],
    viewport: { width: 800, height: 600 },
  });
  const servers = [];
  const dirs = [];
  return {
    context,
    async workspace() {
      const dir = mkdtempSync(join(tmpdir(), 'quill-ws-'));
      dirs.push(dir);
      execFileSync(quillpagePath(), ['install', dir]);
      checkWorkspace(dir);
      const server = await serveDirectory(dir, { isolated });
      servers.push(server);
      return new Workspace(dir, server);
    },
    // initScript runs in the page before any of its own scripts.
    async open(url, { initScript } = {}) {
      const view = new PageView(await context.newPage());
      if (initScript) await view.page.addInitScript(initScript);
      await view.page.goto(url);
      return view;
    },
    async close() {
      await context.close();
      for (const server of servers) server.close();
      for (const dir of [profile, ...dirs]) {
        rmSync(dir, { recursive: true, force: true });
      }
    },
  };
}

export const vias = ['http', 'file'];
