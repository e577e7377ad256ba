// Run and the run overlay's handlers: Close, Resize, the web view's finished
// loads and the page's errors.
#include "app/ammain.h"

#include "base/wholenumber.h"
#include "app/shellopen.h"
#include "builder/runprogram.h"
#include "builder/runview.h"
#include "editor/codeview.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QUrl>

void TfrmMain::btRunClick()
{
    const QString name = Code.edtFile->text();
    // Saved as Save saves, but without its message, and the code still counts
    // as changed, so the next Run saves again.
    const quill::RunSource source{Program.lines(), name, Program.codeModified(), [&] {
                                      ProgramFiles.save(name, Program);
                                      Program.setCodeModified(true);
                                  }};
    std::optional<quill::GeneratedPage> page =
        quill::startRun(source, Paths, Settings, RunState, *Messages);
    if (!page)
        return;
    RunPage = std::move(*page);
    RunProgramName = name;
    RunErrorShown.reset();
    if (RunState.overlay() != quill::RunOverlay::Running) {
        quill::ShellOpen(Paths.pagePath);
        return;
    }
    RunView->showPage(QUrl::fromLocalFile(Paths.pagePath), Paths.baseDir);
}

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
    Program.setSelectionActive(false);
    Program.setCursor(std::min(line, Program.lineCount() - 1), 0);
    Program.ScrollToCursor();
    Code.pntProg->update();
}
