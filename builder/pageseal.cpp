#include "builder/pageseal.h"

namespace quill {

namespace {

// seal(w) works on any window of the page's origin: its own globals and
// prototypes, never those of the window the script started in, so that a
// frame's first empty document is sealed from its parent. Each step stands
// alone: one the window refuses (a frame of another origin, which its own
// copy of this script seals) leaves the others done. Loops count by index and
// descriptors have no prototype: the page may have changed Array's iterator
// or put a "get" on Object.prototype by the time a frame is sealed.
const char *const SealSource = R"js((() => {
  'use strict';
  const apply = Reflect.apply;
  const own = Object.getOwnPropertyDescriptor;
  const define = Object.defineProperty;
  const hasOwn = Object.prototype.hasOwnProperty;
  const mark = Symbol();
  const taken = ['RTCPeerConnection', 'webkitRTCPeerConnection', 'RTCDataChannel', 'RTCSessionDescription',
                 'RTCIceCandidate', 'SharedWorker'];
  const step = (work) => { try { work(); } catch (e) {} };
  const noPopup = function open() { return null; };

  const seal = (w) => {
    if (w === null || w === undefined) return;
    try {
      if (apply(hasOwn, w, [mark])) return;
      define(w, mark, { __proto__: null, value: true });
    } catch (e) {
      return;
    }
    for (let i = 0; i < taken.length; i++) step(() => { delete w[taken[i]]; });
    step(() => { delete w.Navigator.prototype.serviceWorker; });

    const lengthOf = own(w, 'length').get;
    const defaultView = own(w.Document.prototype, 'defaultView').get;
    const framesOf = (win) => {
      let count = 0;
      try { count = apply(lengthOf, win, []); } catch (e) { return; }
      for (let i = 0; i < count; i++) {
        let frame = null;
        try { frame = win[i]; } catch (e) {}
        seal(frame);
      }
    };
    const viewOf = (document) => {
      try { return document ? apply(defaultView, document, []) : null; } catch (e) { return null; }
    };
    const frames = () => framesOf(w);

    step(() => define(w, 'open', { __proto__: null, value: noPopup, writable: false, configurable: false,
                                   enumerable: true }));
    const documents = w.Document.prototype;
    step(() => {
      const open = documents.open;
      define(documents, 'open', { __proto__: null, value: function open() {
        return arguments.length > 2 ? null : apply(open, this, arguments);
      }, writable: false, configurable: false });
    });
    const writers = ['write', 'writeln'];
    for (let i = 0; i < writers.length; i++) {
      step(() => {
        const original = documents[writers[i]];
        define(documents, writers[i], { __proto__: null, value: function () {
          const result = apply(original, this, arguments);
          const view = viewOf(this);
          if (view) framesOf(view);
          return result;
        }, writable: false, configurable: false });
      });
    }

    // What hands out a frame's window or document seals it first.
    const guard = (proto, name, toWindow) => step(() => {
      const found = own(proto, name);
      if (!found) return;
      const original = found.get || found.value;
      const sealed = function () {
        const value = apply(original, this, found.get ? [] : arguments);
        seal(toWindow(value));
        return value;
      };
      define(proto, name, found.get
        ? { __proto__: null, get: sealed, enumerable: found.enumerable, configurable: false }
        : { __proto__: null, value: sealed, enumerable: found.enumerable, writable: false, configurable: false });
    });
    const owners = ['HTMLIFrameElement', 'HTMLFrameElement', 'HTMLObjectElement', 'HTMLEmbedElement'];
    for (let i = 0; i < owners.length; i++) {
      const proto = w[owners[i]] && w[owners[i]].prototype;
      if (!proto) continue;
      guard(proto, 'contentWindow', (value) => value);
      guard(proto, 'contentDocument', viewOf);
      guard(proto, 'getSVGDocument', viewOf);
    }

    // A frame made by inserting nodes is sealed before the call that made
    // it returns; one the parser made, before the next script runs.
    step(() => w.addEventListener('DOMNodeInserted', frames, true));
    step(() => new w.MutationObserver(frames).observe(w.document, { __proto__: null, childList: true, subtree: true }));
    frames();
  };
  seal(window);
})();
)js";

} // namespace

QString pageSealScript()
{
    return QString::fromUtf8(SealSource);
}

} // namespace quill
