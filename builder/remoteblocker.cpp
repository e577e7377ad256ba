#include "builder/remoteblocker.h"

#include "builder/runpolicy.h"

namespace quill {

void RemoteBlocker::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    // SoundJS learns whether a file page may load files by asking for one
    // that does not exist; here that request fails outright, SoundJS falls
    // back to audio elements, and those cannot play the workspace's tunes.
    // The page itself answers instead, as a web server's error page would.
    const QUrl url = info.requestUrl();
    if (url.fileName() == QLatin1String("WebAudioPluginTest.fail") && isWorkspaceFile(url, baseDir_)
        && info.firstPartyUrl().isLocalFile()) {
        info.redirect(info.firstPartyUrl());
        return;
    }
    if (mayLoad(url, baseDir_))
        return;
    info.block(true);
    ++blocked_;
}

} // namespace quill
