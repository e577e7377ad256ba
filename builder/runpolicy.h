#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QUrl;

namespace quill {

// What the run view lets a page reach. The run view shows pages of the
// workspace and nothing else: no request leaves the machine, no local file
// outside the workspace is read, and no frame leaves the workspace.

// True when a page may load url, whatever asks for it (a script, a picture,
// a style sheet, fetch, XMLHttpRequest, a frame, a navigation): a file of
// the workspace (isWorkspaceFile), or data:, blob:, about:blank and
// about:srcdoc, which hold what the page made itself. Everything else is
// refused: the network (http, https, ws, ftp ...), every other local file,
// and the schemes of the browser and of Qt (qrc:, filesystem:, chrome:).
bool mayLoad(const QUrl &url, const QString &baseDir);

// True for a file:// URL of this machine whose path lies inside baseDir once
// ".." and symbolic links are resolved (as far as the path exists: a missing
// file inside the workspace is still inside it, and its load simply fails),
// and that names no folder: a folder's listing is never served.
bool isWorkspaceFile(const QUrl &url, const QString &baseDir);

// True when the main frame may show url: a file:// URL of an existing file
// inside baseDir (symbolic links and ".." resolved first), or about:blank.
bool isWorkspacePage(const QUrl &url, const QString &baseDir);

// True when a frame inside the page may show url: what the main frame may,
// and the documents the page makes itself (about:srcdoc, data:, blob:).
bool isSubFramePage(const QUrl &url, const QString &baseDir);

// The Chromium switches the run view needs before the web engine starts,
// for what no request check sees:
// - WebRTC may send no UDP at all (so no STUN or TURN packet over UDP), and
//   its TCP, which then must go through a proxy, goes to one that cannot be
//   reached (255.255.255.255, where a connection fails at once without a
//   packet), loopback addresses included. Pages themselves never use the
//   proxy: the request blocker refuses every request it would carry.
// - Shared workers are not offered to any page: their requests pass no
//   request interceptor of this engine, so a shared worker could read any
//   file of the machine.
// - Dedicated workers keep loading through their page, where the request
//   blocker sees every request they make (the engine could otherwise move
//   their loading elsewhere).
// Chromium takes only the last of two switches of one name: a feature list
// here (--disable-blink-features=, --disable-features=) must be joined to
// one given before it, not added beside it.
QList<QByteArray> runViewChromiumSwitches();

} // namespace quill
