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
import { createReadStream, existsSync, mkdtempSync, readdirSync, renameSync, rmSync, statSync,
         writeFileSync, copyFileSync, mkdirSync, readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { tmpdir } from 'node:os';
import { dirname, extname, join, resolve, sep } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { deflateSync, inflateSync } from 'node:zlib';

export const repoRoot = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');

// Chromium 1xx in a container: SwiftShader gives WebGL without a GPU, the
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

function serveDirectory(root) {
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
    });
    createReadStream(file).pipe(response);
  });
  return new Promise((done) => server.listen(0, '127.0.0.1', () => done(server)));
}

// ---- art bridge --------------------------------------------------------
// Until the starter images and the sound are installed, workspaces get
// stand-ins of the same shape so that pages load real files.

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

const standInImages = {
  'fnt18.png': () => encodePng(288, 108, (x, y) => {
    const cx = x % 18, cy = y % 18;
    const inGlyph = cx >= 3 && cx <= 14 && cy >= 3 && cy <= 14 && (cx < 5 || cy < 5 || cx > 12 || cy > 12);
    return inGlyph ? [255, 255, 255, 255] : [64, 64, 64, 0];
  }),
  'cat.png': () => encodePng(68, 34, (x, y) => {
    const cx = x % 34;
    return cx >= 5 && cx <= 28 && y >= 6 && y <= 27 ? [40, 200, 60, 255] : [0, 0, 0, 0];
  }),
  'ball.png': () => encodePng(102, 34, (x, y) => {
    const colours = [[120, 200, 255], [255, 140, 200], [100, 230, 100]];
    const cx = x % 34 - 16.5, cy = y - 15.5;
    return cx * cx + cy * cy < 196 ? [...colours[Math.floor(x / 34)], 255] : [0, 0, 0, 0];
  }),
  'mat1.png': () => encodePng(34, 34, (x, y) => ((x + y) >> 2) % 2 ? [230, 80, 40, 255] : [40, 90, 230, 255]),
};

function standInSound(path) {
  const rate = 44100, samples = rate;
  const wav = Buffer.alloc(44 + samples * 2);
  wav.write('RIFF', 0); wav.writeUInt32LE(36 + samples * 2, 4); wav.write('WAVEfmt ', 8);
  wav.writeUInt32LE(16, 16); wav.writeUInt16LE(1, 20); wav.writeUInt16LE(1, 22);
  wav.writeUInt32LE(rate, 24); wav.writeUInt32LE(rate * 2, 28); wav.writeUInt16LE(2, 32);
  wav.writeUInt16LE(16, 34); wav.write('data', 36); wav.writeUInt32LE(samples * 2, 40);
  for (let k = 0; k < samples; k++) wav.writeInt16LE(Math.round(8000 * Math.sin(k * 0.06)), 44 + k * 2);
  const wavPath = path.replace(/\.ogg$/, '.wav');
  writeFileSync(wavPath, wav);
  execFileSync('oggenc', ['-Q', '-o', path, wavPath]);
  rmSync(wavPath);
}

let engineDir = null;
function builtEngines() {
  if (!engineDir) {
    engineDir = mkdtempSync(join(tmpdir(), 'quill-engines-'));
    execFileSync(process.execPath, [join(repoRoot, 'tools', 'build-engines.mjs'), engineDir]);
  }
  return engineDir;
}

// Fills what the installer did not write: the repository's starter files first,
// then built engines, then stand-in art. Returns the names it had to supply.
function bridgeWorkspace(dir) {
  const supplied = [];
  const fill = (sub, name, make) => {
    const target = join(dir, sub, name);
    if (existsSync(target)) return;
    mkdirSync(join(dir, sub), { recursive: true });
    make(target);
    supplied.push(`${sub}/${name}`);
  };
  for (const sub of ['js', 'img', 'audio', 'prgfiles']) {
    const from = join(repoRoot, 'assets', sub);
    for (const name of existsSync(from) ? readdirSync(from) : []) {
      fill(sub, name, (target) => copyFileSync(join(from, name), target));
    }
  }
  for (const name of ['stage.web.min.js', 'three.min.js', 'soundjs.min.js', 'js-sprintf-1.0.1.min.js']) {
    fill('js', name, (target) => copyFileSync(join(builtEngines(), name), target));
  }
  for (const [name, make] of Object.entries(standInImages)) {
    fill('img', name, (target) => writeFileSync(target, make()));
  }
  fill('audio', 'catbgm.ogg', standInSound);
  return supplied;
}

// ---- workspaces and pages ----------------------------------------------

class Workspace {
  constructor(dir, server, supplied) {
    this.dir = dir;
    this.server = server;
    this.supplied = supplied;
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
export async function startHarness({ extraArgs = [] } = {}) {
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
      const supplied = bridgeWorkspace(dir);
      const server = await serveDirectory(dir);
      servers.push(server);
      return new Workspace(dir, server, supplied);
    },
    async open(url) {
      const view = new PageView(await context.newPage());
      await view.page.goto(url);
      return view;
    },
    async close() {
      await context.close();
      for (const server of servers) server.close();
      for (const dir of [profile, ...dirs, ...(engineDir ? [engineDir] : [])]) {
        rmSync(dir, { recursive: true, force: true });
      }
      engineDir = null;
    },
  };
}

export const vias = ['http', 'file'];
