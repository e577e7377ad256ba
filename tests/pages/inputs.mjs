// Input for the page tests: fingers through the browser's own touch input
// (the DevTools protocol's Input.dispatchTouchEvent, the path a touch
// screen's events take into a page), a stand-in for the browser's gamepad
// list, and the places of the on-screen pad's buttons.

// Fingers on a page. Going down and moving, an event carries every finger
// that is down; coming up, the fingers that come up.
//
//   const fingers = await touchScreen(view.page);
//   await fingers.down(1, 100, 200);       // finger 1 lands at a viewport point
//   await fingers.down([[2, 50, 60], [3, 70, 80]]);   // two land in one event
//   await fingers.move(1, 120, 200);
//   await fingers.up(1);
export async function touchScreen(page) {
  const cdp = await page.context().newCDPSession(page);
  const down = new Map();
  const points = () => [...down].map(([id, [x, y]]) => ({ id, x, y }));
  const many = (idOrList, x, y) => (Array.isArray(idOrList) ? idOrList : [[idOrList, x, y]]);
  return {
    async down(idOrList, x, y) {
      for (const [id, px, py] of many(idOrList, x, y)) down.set(id, [px, py]);
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: points() });
    },
    async move(idOrList, x, y) {
      for (const [id, px, py] of many(idOrList, x, y)) down.set(id, [px, py]);
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: points() });
    },
    // The named fingers come up; the others stay down.
    async up(...ids) {
      const lifted = ids.map((id) => ({ id, x: down.get(id)[0], y: down.get(id)[1] }));
      for (const id of ids) down.delete(id);
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: lifted });
    },
    // The screen takes every finger away (a system gesture, say).
    async cancel() {
      down.clear();
      await cdp.send('Input.dispatchTouchEvent', { type: 'touchCancel', touchPoints: [] });
    },
    detach: () => cdp.detach(),
  };
}

// Runs in a page before its scripts: navigator.getGamepads() answers with
// window.q_gamepads, four slots, all empty until a test fills one with
// q_gamepad(slot, {buttons: {index: value}, axes: [x, y], connected}).
// Buttons have the browser's shape ({pressed, touched, value}), 17 of them
// as in the standard mapping. As the browser does, the window hears
// gamepadconnected when a slot fills and gamepaddisconnected when it empties
// or its pad is no longer connected; changes of a pad's buttons and stick
// are only there to be read.
export const gamepadStandIn = `(() => {
  window.q_gamepads = [null, null, null, null];
  navigator.getGamepads = function () { return window.q_gamepads.slice(); };
  window.q_gamepad = function (slot, state) {
    var was = window.q_gamepads[slot], on = !!state && state.connected !== false;
    var announce = function (kind) { window.dispatchEvent(new Event(kind)); };
    if (!state) {
      window.q_gamepads[slot] = null;
      if (was && was.connected) announce('gamepaddisconnected');
      return;
    }
    var buttons = [];
    for (var k = 0; k < 17; k++) {
      var value = (state.buttons && state.buttons[k]) || 0;
      buttons.push({ pressed: value > 0.5, touched: value > 0, value: value });
    }
    window.q_gamepads[slot] = { id: 'stand-in', index: slot, mapping: 'standard', timestamp: performance.now(),
      connected: on, axes: (state.axes || [0, 0]).concat([0, 0]), buttons: buttons };
    if (on && !(was && was.connected)) announce('gamepadconnected');
    if (!on && was && was.connected) announce('gamepaddisconnected');
  };
})();`;

// The viewport points of the on-screen pad's buttons: the arms of the d-pad
// (left, right, up, down, and the up-left diagonal), A, B and start, each
// well inside its part; null while no pad is shown.
export function padPoints(view) {
  return view.eval(() => {
    const box = (name) => {
      const part = document.querySelector(`#quill-pad [data-pad=${name}]`);
      return part && part.getBoundingClientRect();
    };
    const dpad = box('dpad');
    if (!dpad) return null;
    const cx = dpad.left + dpad.width / 2, cy = dpad.top + dpad.height / 2, arm = dpad.width * 0.3;
    const middle = (r) => [r.left + r.width / 2, r.top + r.height / 2];
    return {
      left: [cx - arm, cy], right: [cx + arm, cy], up: [cx, cy - arm], down: [cx, cy + arm],
      upLeft: [cx - arm * 0.7, cy - arm * 0.7], centre: [cx, cy],
      a: middle(box('a')), b: middle(box('b')), start: middle(box('start')),
    };
  });
}

// The seven buttons as pad() reads them, read in the page's own world.
export const padState = '[0,1,2,3,4,5,6].map(function(n){return pad(n);})';

// A pad state with the named buttons held.
export function held(...buttons) {
  return [0, 1, 2, 3, 4, 5, 6].map((n) => (buttons.includes(n) ? 1 : 0));
}
