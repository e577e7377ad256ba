#include "builder/runpage.h"

#include "builder/runpolicy.h"

#include <QEventLoop>

namespace quill {

RunPage::RunPage(QWebEngineProfile *profile, const QString &baseDir, QObject *parent)
    : QWebEnginePage(profile, parent), baseDir_(baseDir)
{
}

RunPage::~RunPage()
{
    if (wait_)
        wait_->exit();
}

bool RunPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (isMainFrame ? isWorkspacePage(url, baseDir_) : isSubFramePage(url, baseDir_))
        return true;
    emit navigationRefused(url);
    return false;
}

void RunPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                       const QString &message, int lineNumber,
                                       const QString &sourceID)
{
    emit consoleMessage(level, message, lineNumber, sourceID);
}

RunPage::Answer RunPage::ask(DialogKind kind, const QString &text, const QString &defaultValue)
{
    if (closing_ || wait_) {
        emit dialogWhileClosing();
        return {kind != DialogKind::Prompt, QString()};
    }
    // The page waits, as it does for any browser's dialog, while the window
    // goes on: Close and everything else stay at hand.
    QEventLoop wait;
    wait_ = &wait;
    answer_ = {};
    emit dialogRequested(kind, text, defaultValue);
    wait.exec();
    wait_ = nullptr;
    emit dialogEnded();
    return closing_ ? Answer{kind != DialogKind::Prompt, QString()} : answer_;
}

void RunPage::answerDialog(bool accepted, const QString &value)
{
    if (!wait_)
        return;
    answer_ = {accepted, value};
    wait_->exit();
}

void RunPage::javaScriptAlert(const QUrl &, const QString &msg)
{
    ask(DialogKind::Alert, msg, QString());
}

bool RunPage::javaScriptConfirm(const QUrl &, const QString &msg)
{
    return ask(DialogKind::Confirm, msg, QString()).accepted;
}

bool RunPage::javaScriptPrompt(const QUrl &, const QString &msg, const QString &defaultValue,
                               QString *result)
{
    const Answer answer = ask(DialogKind::Prompt, msg, defaultValue);
    if (answer.accepted && result)
        *result = answer.value;
    return answer.accepted;
}

QStringList RunPage::chooseFiles(FileSelectionMode, const QStringList &, const QStringList &)
{
    return {};
}

} // namespace quill
