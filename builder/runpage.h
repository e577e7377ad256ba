#pragma once

#include <QString>
#include <QWebEnginePage>

namespace quill {

// The run view's page: its main frame stays on the workspace's pages, and
// what the page writes to the console is passed on as a signal.
class RunPage : public QWebEnginePage {
    Q_OBJECT

public:
    // baseDir: the workspace folder, ending in "/".
    RunPage(QWebEngineProfile *profile, const QString &baseDir, QObject *parent = nullptr);

signals:
    // A console message or an uncaught exception of the page: its level, the
    // text, the line and the address of the script it came from.
    void consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level,
                        const QString &message, int line, const QString &source);
    // A navigation of the main frame that was refused.
    void navigationRefused(const QUrl &url);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    QString baseDir_;
};

} // namespace quill
