#pragma once

#include <QString>
#include <QWebEngineUrlRequestInterceptor>

namespace quill {

// Installed on the run view's profile: every request that mayLoad refuses
// is blocked before it is made, whatever asked for it (a script, a picture,
// a style sheet, fetch or XMLHttpRequest, a frame, a link): a page in the
// run view never reaches the network and never reads a local file outside
// the workspace. One request inside the workspace is answered instead of
// failing: SoundJS's probe for file access ("WebAudioPluginTest.fail"), so
// that sounds play through Web Audio.
class RemoteBlocker : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    // baseDir: the workspace folder, ending in "/".
    explicit RemoteBlocker(QString baseDir, QObject *parent = nullptr)
        : QWebEngineUrlRequestInterceptor(parent), baseDir_(std::move(baseDir)) {}
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;

    // Requests blocked so far.
    int blocked() const { return blocked_; }

private:
    QString baseDir_;
    int blocked_ = 0;
};

} // namespace quill
