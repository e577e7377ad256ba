#include "builder/runpage.h"

#include "builder/runpolicy.h"

namespace quill {

RunPage::RunPage(QWebEngineProfile *profile, const QString &baseDir, QObject *parent)
    : QWebEnginePage(profile, parent), baseDir_(baseDir)
{
}

bool RunPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame)
{
    Q_UNUSED(type);
    if (!isMainFrame || isWorkspacePage(url, baseDir_))
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

} // namespace quill
