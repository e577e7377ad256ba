// QuillIDE runtime function library.
// Loaded by every generated page: by the 2D page after Stage.js and before its
// own script, by the 3D page before three.js. Everything here is page-global.
// The 3D helpers use the tables, scene and renderer that only the 3D page
// declares; they are not usable in a 2D page.

var pi = Math.PI;
var scx = 512, scy = 384;
var oBase, oTimer, oBrd1, oBrd2, oGra;
var gctx;
var clBg = '#000000';
var snd = [];
var sndo = [];
var sndwt = [];
// The sound library's load event is subscribed once per page.
var _sndon = 0;

//--- screen and drawing

function bgcolor(co) {
  clBg = co;
  if (oBase) {
    oBase.image(Stage.canvas(function (ctx) {
      this.size(scx, scy);
      ctx.fillStyle = clBg;
      ctx.fillRect(0, 0, scx, scy);
    }));
  } else if (typeof render !== 'undefined' && render) {
    render.setClearColor(co);
  }
}

function box(x, y, w, h, c) {
  gctx.fillStyle = c;
  gctx.fillRect(x, y, w, h);
}

// Strokes with whatever line width the context has: 1 after line(), 2 after circle().
function rectangle(x, y, w, h, c) {
  gctx.strokeStyle = c;
  gctx.strokeRect(x, y, w, h);
}

function line(x1, y1, x2, y2, c) {
  gctx.lineWidth = 1;
  gctx.strokeStyle = c;
  gctx.beginPath();
  gctx.moveTo(x1, y1);
  gctx.lineTo(x2, y2);
  gctx.closePath();
  gctx.stroke();
}

function circle(x, y, r, c, f) {
  gctx.lineWidth = 2;
  gctx.strokeStyle = c;
  gctx.fillStyle = c;
  gctx.beginPath();
  gctx.arc(x, y, r, 0, Math.PI * 2, false);
  if (f) {
    gctx.fill();
  } else {
    gctx.stroke();
  }
}

//--- colours, maths and text

function hex(v) {
  return ('0' + v.toString(16)).slice(-2);
}

function rgb(r, g, b) {
  return '#' + hex(r) + hex(g) + hex(b);
}

function rand(a) {
  return Math.floor(Math.random() * a);
}

function rnd() {
  return Math.random();
}

function chr(a) {
  return String.fromCharCode(a);
}

function asc(a) {
  return a.charCodeAt(0);
}

function mid(a, s, l) {
  return a.substr(s, l);
}

function len(a) {
  return a.length;
}

function abs(a) {
  return Math.abs(a);
}

function cos(a) {
  return Math.cos(a);
}

function sin(a) {
  return Math.sin(a);
}

function tan(a) {
  return Math.tan(a);
}

function sqr(a) {
  return Math.sqrt(a);
}

function atan2(a, b) {
  return Math.atan2(a, b);
}

function int(a) {
  return Math.floor(a);
}

function upper(a) {
  return a.toUpperCase();
}

function lower(a) {
  return a.toLowerCase();
}

function time() {
  return new Date().getTime();
}

//--- sound
// snd[a]: -1 loading, -3 loading then play once, -2 loading then loop,
// 0 loaded or stopped, 1 started (also after a single play has ended).

function sndload(a, f, p) {
  var fi = 'audio/' + f + '.ogg';
  snd[a] = p ? p - 4 : -1;
  sndwt.push(a);
  createjs.Sound.alternateExtensions = ['mp3'];
  if (!_sndon) {
    _sndon = 1;
    createjs.Sound.on('fileload', sndloaded);
  }
  createjs.Sound.registerSound(fi, a);
}

function sndloaded(e) {
  var a = e.id;
  if (snd[a] == -3) {
    sndplay(a);
  } else if (snd[a] == -2) {
    sndloop(a);
  } else {
    snd[a] = 0;
  }
}

// 1 once no sound waits in state -1; auto-starting sounds are not waited for.
// The loop index is local so that callers' globals such as i stay untouched.
function sndwa() {
  for (var k = 0; k < sndwt.length; k++) {
    if (snd[sndwt[k]] == -1) return 0;
  }
  return 1;
}

function sndplay(a) {
  snd[a] = 1;
  sndo[a] = createjs.Sound.play(a);
}

function sndloop(a) {
  snd[a] = 1;
  sndo[a] = createjs.Sound.play(a, {loop: -1});
}

function sndstatus(a) {
  return snd[a];
}

// A sound put into state 1 by an odd play value of sndload has no instance yet.
function sndstop(a) {
  if (snd[a] == 1) {
    snd[a] = 0;
    if (sndo[a]) sndo[a].stop();
  }
}

// Browsers keep a page silent until its first tap, click or key, and the
// sound library listens for touches only: the first of any of them lets the
// sound start. Web Audio resumes where it stood; sounds that HTML audio
// could not start are started again.
(function () {
  var kinds = ['mousedown', 'pointerdown', 'touchend', 'keydown'];
  var k;
  function unlock() {
    var k, context, instance;
    for (k = 0; k < kinds.length; k++) document.removeEventListener(kinds[k], unlock, true);
    if (typeof createjs === 'undefined' || !createjs.Sound) return;
    context = createjs.WebAudioPlugin && createjs.WebAudioPlugin.context;
    if (context && context.state === 'suspended') context.resume();
    if (!(createjs.Sound.activePlugin instanceof createjs.HTMLAudioPlugin)) return;
    for (k = 0; k < sndo.length; k++) {
      instance = sndo[k];
      if (instance && snd[k] == 1 && !instance.paused && instance.playState === createjs.Sound.PLAY_SUCCEEDED) {
        instance.paused = true;
        instance.paused = false;
      }
    }
  }
  for (k = 0; k < kinds.length; k++) document.addEventListener(kinds[k], unlock, true);
})();

//--- input: fingers, keys and one pad
// A page hands _input.hear() the element its game is touched on, a function
// from the browser's client coordinates to the game's, and the game's
// handlers; key(k) and pad(n) answer from what has been heard. The pad's
// buttons are 0 left, 1 right, 2 up, 3 down, 4 A, 5 B and 6 start, fed at
// once by the keys, by the first gamepad and, on touch screens, by a pad
// drawn over the game. Nothing of the pad runs or shows until the program
// first calls pad().

var _input = (function () {
  // Keys by name, a letter in lower case, counting the keys of that name
  // that are down (two Shift keys, two Enter keys); a key's name is the one
  // it went down with, whatever Shift does to it meanwhile.
  var held = {};
  var pressed = {};
  var padKeys = {ArrowLeft: 0, a: 0, ArrowRight: 1, d: 1, ArrowUp: 2, w: 2, ArrowDown: 3, s: 3,
    z: 4, x: 5, Enter: 6};
  // Keys whose browser action would scroll the page under the game.
  var scrollKeys = {' ': 1, ArrowLeft: 1, ArrowRight: 1, ArrowUp: 1, ArrowDown: 1, PageUp: 1, PageDown: 1,
    Home: 1, End: 1};
  var fromKeys = [0, 0, 0, 0, 0, 0, 0];
  var fromGamepad = [0, 0, 0, 0, 0, 0, 0];
  var fromFingers = [0, 0, 0, 0, 0, 0, 0];
  var buttons = [0, 0, 0, 0, 0, 0, 0];
  // A press that came and went between two frames still reads as held for
  // the next frame: taps since the frame began, and the pulses they leave.
  var taps = [0, 0, 0, 0, 0, 0, 0];
  var pulses = [0, 0, 0, 0, 0, 0, 0];
  // What pad() answers: held, or pulsed this frame.
  var reads = [0, 0, 0, 0, 0, 0, 0];
  var game = null;
  var touched = 0;
  var onScreen = null;
  var api;

  function keyName(k) {
    return k.length == 1 ? k.toLowerCase() : k;
  }

  function combine() {
    var n, v, changed = 0;
    for (n = 0; n < 7; n++) {
      v = fromKeys[n] | fromGamepad[n] | fromFingers[n];
      if (buttons[n] !== v) {
        buttons[n] = v;
        taps[n] |= v;
        reads[n] = v | pulses[n];
        changed = 1;
      }
    }
    if (changed && onScreen) onScreen.light(buttons);
  }

  function keysChanged() {
    var n, name;
    for (n = 0; n < 7; n++) fromKeys[n] = 0;
    for (name in padKeys) if (held[name]) fromKeys[padKeys[name]] = 1;
    combine();
  }

  function typedInto(el) {
    return !!el && (el.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(el.tagName || ''));
  }

  // A key held down is heard once; the browser's repeats are not.
  function keyDown(e) {
    var code = e.code || e.key, name;
    if (e.key === undefined) return;
    if (scrollKeys[e.key] && !e.ctrlKey && !e.altKey && !e.metaKey && !typedInto(e.target)) e.preventDefault();
    if (pressed.hasOwnProperty(code)) return;
    pressed[code] = e.key;
    name = keyName(e.key);
    held[name] = (held[name] || 0) + 1;
    keysChanged();
    if (game) game.keydown(e.key);
  }

  // Released by the name the key went down with; a key that went down
  // before the page had the keys is not heard coming up either.
  function release(code) {
    var k = pressed[code], name = keyName(k);
    delete pressed[code];
    if (--held[name] <= 0) delete held[name];
    return k;
  }

  function keyUp(e) {
    var code = e.code || e.key;
    if (!pressed.hasOwnProperty(code)) return;
    var name = release(code);
    keysChanged();
    if (game) game.keyup(name);
  }

  // A page that loses the keys hears no key come up: every key held is let go.
  function letGo() {
    var code, names = [];
    for (code in pressed) names.push(release(code));
    if (!names.length) return;
    keysChanged();
    if (game) for (var k = 0; k < names.length; k++) game.keyup(names[k]);
  }

  window.addEventListener('keydown', keyDown);
  window.addEventListener('keyup', keyUp);
  window.addEventListener('blur', letGo);

  //--- the first gamepad, standard mapping: d-pad buttons 12 to 15 or the
  // left stick, face buttons 0 (A) and 1 (B), 9 (start)
  function button(g, k) {
    var b = g.buttons ? g.buttons[k] : null;
    if (b === undefined || b === null) return 0;
    if (typeof b == 'object') return b.pressed || b.value > 0.5 ? 1 : 0;
    return b > 0.5 ? 1 : 0;
  }

  // Reads the first connected gamepad into the pad; false when there is none.
  function readGamepad() {
    var list = null, g = null, k, x = 0, y = 0;
    try {
      if (navigator.getGamepads) list = navigator.getGamepads();
    } catch (e) {
      list = null;
    }
    if (list) {
      for (k = 0; k < list.length; k++) {
        if (list[k] && list[k].connected !== false) {
          g = list[k];
          break;
        }
      }
    }
    if (g) {
      if (g.axes && g.axes.length > 1) {
        x = g.axes[0];
        y = g.axes[1];
      }
      fromGamepad[0] = button(g, 14) | (x < -0.5 ? 1 : 0);
      fromGamepad[1] = button(g, 15) | (x > 0.5 ? 1 : 0);
      fromGamepad[2] = button(g, 12) | (y < -0.5 ? 1 : 0);
      fromGamepad[3] = button(g, 13) | (y > 0.5 ? 1 : 0);
      fromGamepad[4] = button(g, 0);
      fromGamepad[5] = button(g, 1);
      fromGamepad[6] = button(g, 9);
    } else {
      for (k = 0; k < 7; k++) fromGamepad[k] = 0;
    }
    combine();
    return !!g;
  }

  // The browser lists a gamepad once it is connected and a button of it has
  // been pressed, and says so; until then there is nothing to read each frame.
  var gamepadOn = false;
  function gamepadsChanged() {
    gamepadOn = readGamepad();
  }

  //--- the pad on the screen
  // A d-pad at the lower left, A and B at the lower right, start at the top,
  // half transparent, sized by the shorter side of the window. Each finger
  // (or the mouse) on it holds the buttons under it, found again as it
  // slides, and the game never hears it.
  function makePad() {
    var root = document.createElement('div');
    var parts = [], arms = [], fingers = {};
    var look = 'position:absolute;box-sizing:border-box;pointer-events:auto;touch-action:none;'
      + 'user-select:none;-webkit-user-select:none;-webkit-touch-callout:none;'
      + 'border:2px solid rgba(255,255,255,0.7);background:rgba(255,255,255,0.2);';
    var label = 'display:flex;align-items:center;justify-content:center;color:#fff;'
      + 'font:bold 6vmin sans-serif;';
    function part(n, style, text) {
      var el = document.createElement('div');
      el.style.cssText = look + style;
      el.setAttribute('data-pad', n);
      if (text) el.textContent = text;
      root.appendChild(el);
      return el;
    }
    root.id = 'quill-pad';
    root.style.cssText = 'position:fixed;left:0;top:0;right:0;bottom:0;pointer-events:none;opacity:0.5;'
      + 'z-index:2147483647;touch-action:none;';
    parts[0] = part('dpad', 'left:4vmin;bottom:4vmin;width:min(38vmin,260px);height:min(38vmin,260px);'
      + 'border-radius:50%;');
    // The arms of the cross, lit while their direction is held.
    var armPlace = ['left:8%;top:37%;width:34%;height:26%;', 'right:8%;top:37%;width:34%;height:26%;',
      'left:37%;top:8%;width:26%;height:34%;', 'left:37%;bottom:8%;width:26%;height:34%;'];
    for (var k = 0; k < 4; k++) {
      arms[k] = document.createElement('div');
      arms[k].style.cssText = 'position:absolute;pointer-events:none;border-radius:3px;' + armPlace[k];
      parts[0].appendChild(arms[k]);
    }
    parts[4] = part('a', 'right:4vmin;bottom:14vmin;width:min(17vmin,116px);height:min(17vmin,116px);'
      + 'border-radius:50%;' + label, 'A');
    parts[5] = part('b', 'right:24vmin;bottom:4vmin;width:min(17vmin,116px);height:min(17vmin,116px);'
      + 'border-radius:50%;' + label, 'B');
    parts[6] = part('start', 'left:50%;top:3vmin;transform:translateX(-50%);width:min(22vmin,150px);'
      + 'height:min(8vmin,54px);border-radius:4vmin;' + label + 'font-size:3.5vmin;', 'START');

    function inside(el, x, y, grow) {
      var r = el.getBoundingClientRect(), g = r.width * grow;
      return x >= r.left - g && x <= r.right + g && y >= r.top - g && y <= r.bottom + g;
    }

    // The buttons at a point, as bits 1 << n: A, B and start by their boxes,
    // the d-pad by the direction from its centre (diagonals hold two).
    function at(x, y) {
      var n, r, dx, dy, d, m = 0, slope = 0.4142;
      for (n = 4; n < 7; n++) if (inside(parts[n], x, y, 0.1)) return 1 << n;
      r = parts[0].getBoundingClientRect();
      dx = x - (r.left + r.right) / 2;
      dy = y - (r.top + r.bottom) / 2;
      d = Math.sqrt(dx * dx + dy * dy);
      if (d < r.width * 0.1 || d > r.width * 0.75) return 0;
      if (-dx > Math.abs(dy) * slope) m |= 1;
      if (dx > Math.abs(dy) * slope) m |= 2;
      if (-dy > Math.abs(dx) * slope) m |= 4;
      if (dy > Math.abs(dx) * slope) m |= 8;
      return m;
    }

    function fingersChanged() {
      var id, n, all = 0;
      for (id in fingers) all |= fingers[id];
      for (n = 0; n < 7; n++) fromFingers[n] = (all >> n) & 1;
      combine();
    }

    // A touch that begins on the pad stays the pad's: the browser sends all
    // its events to the part it began on. No mouse events are made up from
    // it, and it neither scrolls nor zooms.
    function touches(e, lifted) {
      var k, t, list = e.changedTouches;
      e.preventDefault();
      for (k = 0; k < list.length; k++) {
        t = list[k];
        if (lifted) delete fingers['t' + t.identifier];
        else if (e.type == 'touchstart' || fingers.hasOwnProperty('t' + t.identifier))
          fingers['t' + t.identifier] = at(t.clientX, t.clientY);
      }
      fingersChanged();
    }
    root.addEventListener('touchstart', function (e) { touches(e, 0); }, {passive: false});
    root.addEventListener('touchmove', function (e) { touches(e, 0); }, {passive: false});
    root.addEventListener('touchend', function (e) { touches(e, 1); }, {passive: false});
    root.addEventListener('touchcancel', function (e) { touches(e, 1); }, {passive: false});

    // The mouse presses the pad too; until its button comes up, wherever it
    // goes, the game hears none of it.
    function mouseMove(e) {
      e.stopPropagation();
      fingers.mouse = at(e.clientX, e.clientY);
      fingersChanged();
    }
    function mouseUp(e) {
      e.stopPropagation();
      delete fingers.mouse;
      window.removeEventListener('mousemove', mouseMove, true);
      window.removeEventListener('mouseup', mouseUp, true);
      fingersChanged();
    }
    root.addEventListener('mousedown', function (e) {
      e.preventDefault();
      if (!fingers.hasOwnProperty('mouse')) {
        window.addEventListener('mousemove', mouseMove, true);
        window.addEventListener('mouseup', mouseUp, true);
      }
      mouseMove(e);
    });
    root.addEventListener('contextmenu', function (e) { e.preventDefault(); });

    (document.body || document.documentElement).appendChild(root);
    return {
      root: root,
      light: function (b) {
        for (var n = 0; n < 7; n++) {
          var lit = b[n] ? 'rgba(255,255,255,0.75)' : '';
          if (n < 4) arms[n].style.background = lit || 'rgba(255,255,255,0.45)';
          else parts[n].style.background = lit || 'rgba(255,255,255,0.2)';
        }
      }
    };
  }

  function touchOnly() {
    var mq = window.matchMedia;
    return !!mq && mq('(any-pointer: coarse)').matches && !mq('(any-pointer: fine)').matches;
  }

  function showPad() {
    if (onScreen || !api.used || !(touched || touchOnly())) return;
    onScreen = makePad();
    onScreen.light(buttons);
  }

  function sawTouch(e) {
    if (e.type == 'pointerdown' && e.pointerType != 'touch') return;
    touched = 1;
    document.removeEventListener('touchstart', sawTouch, true);
    document.removeEventListener('pointerdown', sawTouch, true);
    showPad();
  }
  document.addEventListener('touchstart', sawTouch, true);
  document.addEventListener('pointerdown', sawTouch, true);

  function onPad(el) {
    return !!onScreen && onScreen.root.contains(el);
  }

  api = {
    reads: reads,
    held: held,
    keyName: keyName,
    used: 0,

    // The first call of pad().
    use: function () {
      api.used = 1;
      for (var n = 0; n < 7; n++) taps[n] = 0;
      window.addEventListener('gamepadconnected', gamepadsChanged);
      window.addEventListener('gamepaddisconnected', gamepadsChanged);
      gamepadsChanged();
      showPad();
    },

    // Called as each frame begins: a connected gamepad is read once a frame.
    frame: function () {
      if (!api.used) return;
      if (gamepadOn) gamepadOn = readGamepad();
      for (var n = 0; n < 7; n++) {
        pulses[n] = taps[n] & (1 - buttons[n]);
        taps[n] = 0;
        reads[n] = buttons[n] | pulses[n];
      }
    },

    // Fingers and the mouse on target call on.down, on.move and on.up with
    // the place that place(clientX, clientY, target) gives ({x, y}) and the
    // finger's number: the lowest not held by another finger, 0 for the
    // mouse. The mouse moves the game hears are those with a button down.
    // A touch that ends or is cancelled calls on.up.
    hear: function (target, place, on) {
      var mouse = 0, numbers = {}, taken = [];
      game = on;
      target.addEventListener('mousedown', function (e) {
        if (onPad(e.target)) return;
        e.preventDefault();
        mouse = 1;
        var p = place(e.clientX, e.clientY, target);
        on.down(p.x, p.y, 0);
      });
      target.addEventListener('mousemove', function (e) {
        if (!mouse || onPad(e.target)) return;
        var p = place(e.clientX, e.clientY, target);
        on.move(p.x, p.y, 0);
      });
      target.addEventListener('mouseup', function (e) {
        if (onPad(e.target)) return;
        e.preventDefault();
        var p = place(e.clientX, e.clientY, target);
        on.up(p.x, p.y, 0);
      });
      window.addEventListener('mouseup', function () { mouse = 0; }, true);
      window.addEventListener('blur', function () { mouse = 0; });

      function touches(e, kind) {
        var k, t, f, p, list = e.changedTouches;
        if (onPad(e.target)) return;
        // No mouse events made up after the touch, no scrolling or zoom.
        e.preventDefault();
        for (k = 0; k < list.length; k++) {
          t = list[k];
          if (kind == 'down') {
            if (numbers.hasOwnProperty(t.identifier)) continue;
            f = 0;
            while (taken[f]) f++;
            taken[f] = 1;
            numbers[t.identifier] = f;
          } else {
            if (!numbers.hasOwnProperty(t.identifier)) continue;
            f = numbers[t.identifier];
            if (kind == 'up') {
              delete numbers[t.identifier];
              taken[f] = 0;
            }
          }
          p = place(t.clientX, t.clientY, target);
          on[kind](p.x, p.y, f);
        }
      }
      target.addEventListener('touchstart', function (e) { touches(e, 'down'); }, {passive: false});
      target.addEventListener('touchmove', function (e) { touches(e, 'move'); }, {passive: false});
      target.addEventListener('touchend', function (e) { touches(e, 'up'); }, {passive: false});
      target.addEventListener('touchcancel', function (e) { touches(e, 'up'); }, {passive: false});
    }
  };
  return api;
})();

// 1 while the key named k is held, else 0; k as the browser names keys:
// 'a', 'ArrowLeft', ' ', 'Enter'. A letter is the same key in either case.
function key(k) {
  return _input.held[_input.keyName(String(k))] ? 1 : 0;
}

// 1 while button n of the pad is held, else 0; a press shorter than a frame
// is held for the frame after it.
function pad(n) {
  if (!_input.used) _input.use();
  return _input.reads[n] === 1 ? 1 : 0;
}

//--- 3D objects (3D page only)

// Every object gets a texture and material of its own, so each can show its
// own frame and opacity. The texture window starts on frame 0 without margin.
function makeim(n) {
  var te = new THREE.TextureLoader().load(sp_fi[n]);
  te.repeat.set((sp_w[n] - 2 * sp_z[n]) / sp_ww[n], (sp_h[n] - 2 * sp_z[n]) / sp_h[n]);
  te.offset.set(sp_z[n] / sp_ww[n], sp_z[n] / sp_h[n]);
  imt[imn] = te;
  imsp[imn] = n;
  imm[imn] = new THREE.MeshBasicMaterial({map: te, transparent: true});
  return imn++;
}

function makeCube(a) {
  var o = new THREE.Mesh(geobox, imm[a]);
  scene.add(o);
  return o;
}

function makePlane(a) {
  var o = new THREE.Mesh(geoplane, imm[a]);
  scene.add(o);
  return o;
}

// Allocates the lowest free object number, as the 2D page allocates sprite slots.
function _setm(x, y, z, c, t1, n) {
  var i = 0;
  while (i < mm && m[i]) i++;
  if (i == mm) mm++;
  m[i] = t1;
  mx[i] = x; my[i] = y; mz[i] = z;
  mxx[i] = 0; myy[i] = 0; mzz[i] = 0;
  mrx[i] = 0; mry[i] = 0; mrz[i] = 0;
  ms[i] = 1;
  mn[i] = n ? n : 0;
  mh[i] = 0; ml[i] = 0;
  ma[i] = 255;
  msx[i] = x; msy[i] = y; msz[i] = z;
  mi[i] = makeim(c);
  return i;
}

function _meshm(i, g) {
  mo[i] = new THREE.Mesh(g, imm[mi[i]]);
  scene.add(mo[i]);
  return i;
}

function setm(x, y, z, c, t1, n) {
  var i = _setm(x, y, z, c, t1, n);
  mo[i] = makePlane(mi[i]);
  return i;
}

function setmCube(x, y, z, c, t1, n, w, h, d) {
  var i = _setm(x, y, z, c, t1, n);
  if (w) return _meshm(i, new THREE.BoxGeometry(w, h, d));
  mo[i] = makeCube(mi[i]);
  return i;
}

function setmSphere(x, y, z, c, t1, n, r, w, h) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.SphereGeometry(r, w, h));
}

function setmPlane(x, y, z, c, t1, n, w, h) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.PlaneGeometry(w, h));
}

function setmCone(x, y, z, c, t1, n, r, h) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.ConeGeometry(r, h));
}

function setmCylinder(x, y, z, c, t1, n, r1, r2, h) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.CylinderGeometry(r1, r2, h));
}

function setm12s(x, y, z, c, t1, n, r) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.DodecahedronGeometry(r));
}

function setm8s(x, y, z, c, t1, n, r) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.OctahedronGeometry(r));
}

function setm4s(x, y, z, c, t1, n, r) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.TetrahedronGeometry(r));
}

function setmTorusKnot(x, y, z, c, t1, n, r, t, sr, st, p, q) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.TorusKnotGeometry(r, t, sr, st, p, q));
}

function setmTorus(x, y, z, c, t1, n, r, t, sr, st) {
  return _meshm(_setm(x, y, z, c, t1, n), new THREE.TorusGeometry(r, t, sr, st));
}

function setcam(x, y, z, rx, ry, rz) {
  cax = x; cay = y; caz = z;
  carx = rx; cary = ry; carz = rz;
}

// A texture already on the GPU keeps its old wrapping unless it is uploaded again.
function maprepeat(c, x, y) {
  var te = imt[mi[c]];
  te.wrapS = THREE.RepeatWrapping;
  te.wrapT = THREE.RepeatWrapping;
  te.repeat.set(x, y);
  if (te.image) te.needsUpdate = true;
}

function delm(i) {
  scene.remove(mo[i]);
  m[i] = 0;
}

function chkm(a, ii, s) {
  for (var k = 0; k < mm; k++) {
    if (k != ii && m[k] == a && Math.abs(mx[k] - sx) < s && Math.abs(my[k] - sy) < s && Math.abs(mz[k] - sz) < s) {
      rsi = k; rsx = mx[k]; rsy = my[k]; rsz = mz[k];
      return 1;
    }
  }
  return 0;
}
