#pragma once

#include <QWebEngineUrlRequestInterceptor>

namespace quill {

// Installed on the run view's profile: every request for http, https, ws, wss
// or ftp is blocked before it is sent, whatever asked for it (a script, an
// image, a frame, a link), so a page in the run view never reaches the network.
// One local request is answered instead of failing: SoundJS's probe for file
// access ("WebAudioPluginTest.fail"), so that sounds play through Web Audio.
class RemoteBlocker : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // Requests blocked so far.
    int blocked() const { return blocked_; }

private:
    int blocked_ = 0;
};

} // namespace quill
