// Firefox ESR for the page tests, driven through its own remote protocol
// (Marionette: length-prefixed JSON over a loopback socket), since
// playwright-core drives only its own Firefox builds. Firefox runs on a
// private virtual display (tools/on-xvfb.sh): headless Firefox has no WebGL
// without a GPU, on a display it draws WebGL with Mesa's software renderer.
// Its profile sends every network request to a closed port and lets sound
// start without a gesture (a machine without a sound device still keeps
// Firefox's audio context suspended).
//
//   const firefox = await startFirefox();
//   await firefox.open('file:///tmp/x/game.html');
//   await firefox.waitFor('window.done === 1');
//   const png = await firefox.screenshot();
//   await firefox.close();

import { spawn } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { connect } from 'node:net';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { repoRoot } from './harness.mjs';

export const firefoxPath = process.env.FIREFOX ?? '/usr/bin/firefox-esr';

const preferences = {
  // Marionette picks a free port and writes it into the profile.
  'marionette.port': 0,
  // The network is off: every request goes to a proxy on a closed port.
  'network.proxy.type': 1,
  'network.proxy.http': '127.0.0.1',
  'network.proxy.http_port': 9,
  'network.proxy.ssl': '127.0.0.1',
  'network.proxy.ssl_port': 9,
  'network.proxy.socks': '127.0.0.1',
  'network.proxy.socks_port': 9,
  'network.proxy.no_proxies_on': '',
  'network.proxy.allow_hijacking_localhost': true,
  'network.dns.disablePrefetch': true,
  'network.prefetch-next': false,
  // Sound starts without a gesture, as in the Chromium tests.
  'media.autoplay.default': 0,
  'media.autoplay.block-webaudio': false,
  // Nothing of its own on the first start.
  'browser.shell.checkDefaultBrowser': false,
  'browser.startup.homepage_override.mstone': 'ignore',
  'browser.aboutwelcome.enabled': false,
  'datareporting.policy.dataSubmissionEnabled': false,
  'toolkit.telemetry.reportingpolicy.firstRun': false,
  'app.update.disabledForTesting': true,
  'app.normandy.enabled': false,
  'extensions.update.enabled': false,
};

class Marionette {
  constructor(socket) {
    this.socket = socket;
    this.buffer = Buffer.alloc(0);
    this.waiting = [];
    this.id = 0;
    socket.on('data', (data) => {
      this.buffer = Buffer.concat([this.buffer, data]);
      for (;;) {
        const colon = this.buffer.indexOf(58);
        if (colon < 0) return;
        const length = Number(this.buffer.subarray(0, colon).toString());
        if (this.buffer.length < colon + 1 + length) return;
        const message = JSON.parse(this.buffer.subarray(colon + 1, colon + 1 + length).toString());
        this.buffer = this.buffer.subarray(colon + 1 + length);
        this.waiting.shift()?.resolve(message);
      }
    });
    socket.on('error', (error) => this.waiting.splice(0).forEach((w) => w.reject(error)));
    socket.on('close', () => this.waiting.splice(0).forEach((w) => w.reject(new Error('Marionette closed'))));
  }

  next() {
    return new Promise((resolve, reject) => this.waiting.push({ resolve, reject }));
  }

  async command(name, parameters = {}) {
    const reply = this.next();
    const body = Buffer.from(JSON.stringify([0, ++this.id, name, parameters]));
    this.socket.write(`${body.length}:`);
    this.socket.write(body);
    const [, , error, result] = await reply;
    if (error) throw new Error(`${name}: ${error.error}: ${error.message}`);
    return result;
  }
}

async function until(check, timeout, what) {
  const end = Date.now() + timeout;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((done) => setTimeout(done, 100));
  }
}

export async function startFirefox({ width = 800, height = 600 } = {}) {
  const profile = mkdtempSync(join(tmpdir(), 'quill-firefox-'));
  writeFileSync(join(profile, 'user.js'), Object.entries(preferences)
    .map(([name, value]) => `user_pref(${JSON.stringify(name)}, ${JSON.stringify(value)});\n`).join(''));
  const child = spawn('bash', [join(repoRoot, 'tools', 'on-xvfb.sh'), firefoxPath, '--marionette',
    '--no-remote', '-profile', profile, 'about:blank'], { detached: true, stdio: ['ignore', 'ignore', 'pipe'] });
  let output = '';
  child.stderr.on('data', (data) => { output = (output + data).slice(-4000); });
  const exited = new Promise((done) => child.on('exit', done));
  let marionette;
  const close = async () => {
    try {
      await marionette?.command('Marionette:Quit', { flags: ['eForceQuit'] });
    } catch {
      // Quitting closes the socket, sometimes before the reply.
    }
    marionette?.socket.destroy();
    const ended = await Promise.race([exited.then(() => true), new Promise((done) => setTimeout(done, 15000, false))]);
    if (!ended) {
      try { process.kill(-child.pid, 'SIGTERM'); } catch { /* already gone */ }
      await exited;
    }
    rmSync(profile, { recursive: true, force: true });
  };
  try {
    const portFile = join(profile, 'MarionetteActivePort');
    await until(() => existsSync(portFile) || child.exitCode !== null, 60000, 'Firefox to start');
    if (child.exitCode !== null) throw new Error(`Firefox ended at start: ${output}`);
    const port = Number(readFileSync(portFile, 'utf8'));
    const socket = connect(port, '127.0.0.1');
    marionette = new Marionette(socket);
    const hello = await marionette.next();
    if (hello.marionetteProtocol !== 3) throw new Error(`unknown Marionette protocol ${JSON.stringify(hello)}`);
    await marionette.command('WebDriver:NewSession', { capabilities: { alwaysMatch: { pageLoadStrategy: 'normal' } } });
    await marionette.command('WebDriver:SetWindowRect', { x: 0, y: 0, width, height });
  } catch (error) {
    await close();
    throw error;
  }

  return {
    open: (url) => marionette.command('WebDriver:Navigate', { url }),
    // A plain expression evaluated in the page.
    async value(expression) {
      const result = await marionette.command('WebDriver:ExecuteScript', { script: `return (${expression});`, args: [] });
      return result.value;
    },
    async waitFor(expression, timeout = 15000) {
      await until(() => this.value(`!!(${expression})`), timeout, expression);
    },
    // Clicks at a point of the page's viewport with the mouse.
    click: (x, y) => marionette.command('WebDriver:PerformActions', {
      actions: [{ type: 'pointer', id: 'mouse', parameters: { pointerType: 'mouse' }, actions: [
        { type: 'pointerMove', x, y, origin: 'viewport' }, { type: 'pointerDown', button: 0 },
        { type: 'pointerUp', button: 0 }] }],
    }),
    // WebDriver input actions, every source's ticks in step: keys
    // ({type: 'key', ...}) and pointers of kind mouse or touch.
    perform: (actions) => marionette.command('WebDriver:PerformActions', { actions }),
    // Lets go of whatever the actions left held.
    releaseActions: () => marionette.command('WebDriver:ReleaseActions'),
    // The viewport as PNG bytes.
    async screenshot() {
      const shot = await marionette.command('WebDriver:TakeScreenshot', { full: false, hash: false });
      return Buffer.from(shot.value, 'base64');
    },
    close,
  };
}

export const firefoxInstalled = () => existsSync(firefoxPath);
