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
// file inside the workspace is still inside it, and its load simply fails).
bool isWorkspaceFile(const QUrl &url, const QString &baseDir);

// True when the main frame may show url: a file:// URL of an existing file
// inside baseDir (symbolic links and ".." resolved first), or about:blank.
bool isWorkspacePage(const QUrl &url, const QString &baseDir);

// True when a frame inside the page may show url: what the main frame may,
// and the documents the page makes itself (about:srcdoc, data:, blob:).
bool isSubFramePage(const QUrl &url, const QString &baseDir);

// The Chromium switches the run view needs before the web engine starts,
// for traffic that no request blocker sees: WebRTC may send no UDP at all
// (so no STUN or TURN packet over UDP), and its TCP, which then must go
// through a proxy, goes to one that cannot be reached (255.255.255.255, where
// a connection fails at once without a packet), loopback addresses included.
// Pages themselves never use the proxy: the request blocker refuses every
// request it would carry.
QList<QByteArray> runViewChromiumSwitches();

} // namespace quill
