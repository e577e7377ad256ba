#pragma once

#include <QString>

class QUrl;

namespace quill {

// What the run view lets a page reach. The run view shows pages of the
// workspace and nothing else: no request leaves the machine, and the main
// frame never leaves the workspace.

// True for the schemes of the network: http, https, ws, wss and ftp (any case).
bool isRemoteScheme(const QString &scheme);

// True when the main frame may show url: a file:// URL of an existing file
// inside baseDir (symbolic links and ".." resolved first), or about:blank.
bool isWorkspacePage(const QUrl &url, const QString &baseDir);

} // namespace quill
