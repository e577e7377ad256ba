#pragma once

#include <QString>
#include <QWebEnginePage>

class QEventLoop;

namespace quill {

// The run view's page: every frame stays on the workspace's pages (and the
// documents the page makes itself), what the page writes to the console is
// passed on as a signal, and its dialogs (alert, confirm, prompt, and the
// question before leaving) are asked of the run view, which shows them in
// itself: no window of its own ever stands between the user and Close.
// The page offers no file chooser.
class RunPage : public QWebEnginePage {
    Q_OBJECT

public:
    enum class DialogKind { Alert, Confirm, Prompt };

    // baseDir: the workspace folder, ending in "/".
    RunPage(QWebEngineProfile *profile, const QString &baseDir, QObject *parent = nullptr);
    ~RunPage() override;

    // While the page is closing, its dialogs are answered at once without
    // being asked: OK for alerts and questions (so that leaving is never held
    // up), Cancel for prompts; and dialogWhileClosing tells of each.
    void setClosing(bool closing) { closing_ = closing; }
    bool closing() const { return closing_; }

    // Whether the page waits for the answer to a dialog, and that answer
    // (the value is the text of a prompt). The wait ends once the event that
    // answered has been handled.
    bool dialogOpen() const { return wait_ != nullptr; }
    void answerDialog(bool accepted, const QString &value = QString());

signals:
    // A console message or an uncaught exception of the page: its level, the
    // text, the line and the address of the script it came from.
    void consoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level,
                        const QString &message, int line, const QString &source);
    // A navigation of any frame that was refused.
    void navigationRefused(const QUrl &url);
    // The page asks a dialog and waits for answerDialog.
    void dialogRequested(quill::RunPage::DialogKind kind, const QString &text,
                         const QString &defaultValue);
    // The page has its answer and runs on; emitted after its wait, so a
    // slot connected through the event queue runs once the page's call
    // has returned.
    void dialogEnded();
    // A dialog the closing page asked for, answered at once.
    void dialogWhileClosing();

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;
    void javaScriptAlert(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptConfirm(const QUrl &securityOrigin, const QString &msg) override;
    bool javaScriptPrompt(const QUrl &securityOrigin, const QString &msg, const QString &defaultValue,
                          QString *result) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList &oldFiles,
                            const QStringList &acceptedMimeTypes) override;

private:
    struct Answer {
        bool accepted = false;
        QString value;
    };
    Answer ask(DialogKind kind, const QString &text, const QString &defaultValue);

    QString baseDir_;
    bool closing_ = false;
    QEventLoop *wait_ = nullptr;
    Answer answer_;
};

} // namespace quill
