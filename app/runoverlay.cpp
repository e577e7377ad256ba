// The run overlay's handlers: Close, Resize, the web view's finished loads and
// the page's errors.
#include "app/ammain.h"

#include "app/base/wholenumber.h"
#include "builder/runview.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QUrl>

void TfrmMain::btnRunCloseClick()
{
    if (RunState.close())
        RunView->loadBlank(QUrl::fromLocalFile(Paths.scriptDir + QStringLiteral("blank.html")));
}

void TfrmMain::webRunDidFinishLoad()
{
    if (RunState.loadFinished())
        RunView->hide();
}

void TfrmMain::btnRunResizeClick()
{
    // A width the pages cannot be laid out in would only be widened again.
    const std::optional<int> width = quill::toWholeNumber(RunView->widthEdit()->text());
    if (!width || *width < minimumWidth() || *width > maximumWidth()) {
        Messages->showMessage(QStringLiteral("Invalid width."));
        return;
    }
    resize(*width, height());
    LayoutScreen();
}

void TfrmMain::webRunError(const QString &message, int line, const QString &source)
{
    // The first error is the one to look at; later ones often follow from it.
    if (RunErrorShown || RunState.overlay() != quill::RunOverlay::Running)
        return;
    RunErrorShown = quill::mapRunError(message, line, source, QUrl::fromLocalFile(Paths.pagePath),
                                       RunPage, RunProgramName);
    RunView->showError(RunErrorShown->text);
}

void TfrmMain::btnRunErrorClick()
{
    const int line = RunErrorShown ? RunErrorShown->programLine : -1;
    btnRunCloseClick();
    if (line < 0)
        return;
    TabControl1->setCurrentWidget(TabItem1);
    goToProgramLine(line);
}

void TfrmMain::goToProgramLine(int line)
{
    CursorLine = line;
    CursorColumn = 0;
}
