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
