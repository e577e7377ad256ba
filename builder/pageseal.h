#pragma once

#include <QString>

namespace quill {

// The script that the run view puts into every document of every frame as
// it is made, in the page's own world, before any script of the page: it
// takes from the page what the request checks cannot follow.
//
// - Peer connections (RTCPeerConnection and its kin), shared workers and
//   service workers are taken from the document's window.
// - Every other window the page can reach is treated the same before the
//   page sees it: a frame's first empty document, which no injected script
//   reaches, is sealed as the frame is made (whatever inserts it: the DOM's
//   methods, markup, the parser, document.write), and before contentWindow
//   or contentDocument hands it out.
// - No popup is opened: window.open, and document.open with a window's
//   three arguments, give null.
//
// The script declares no name in the page and keeps its own references to
// what it uses, so a page that replaces the built-in objects' methods does
// not reach it. The run view's Chromium switches (runViewChromiumSwitches)
// take shared workers from every page of the engine as well.
QString pageSealScript();

} // namespace quill
