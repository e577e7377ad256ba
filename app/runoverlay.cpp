// The run overlay's handlers: Close, Resize and the web view's finished loads.
#include "app/ammain.h"

#include "app/base/wholenumber.h"
#include "builder/runview.h"

#include <QLineEdit>
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
