// Run and the run overlay's handlers: Close, Resize, the page's errors and
// console lines.
#include "app/ammain.h"

#include "base/wholenumber.h"
#include "app/shellopen.h"
#include "builder/runconsolestrip.h"
#include "builder/runprogram.h"
#include "builder/runview.h"
#include "editor/codeview.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QUrl>

void TfrmMain::btRunClick()
{
    const QString name = codePage_.edtFile->text();
    // Saved as Save saves, but without its message, and the code still counts
    // as changed, so the next Run saves again.
    // Another program's file is replaced only when the user says so; for
    // no, nothing is saved and the run goes on, as for unnamed code.
    const quill::RunSource source{program_.lines(), name, program_.codeModified(), [&] {
                                      if (programFiles_.save(name, program_, *messages_))
                                          program_.setCodeModified(true);
                                  }};
    std::optional<quill::GeneratedPage> page =
        quill::startRun(source, paths_, Settings, runState_, *messages_);
    if (!page)
        return;
    if (runState_.overlay() != quill::RunOverlay::Running) {
        quill::ShellOpen(paths_.pagePath);
        return;
    }
    const bool threeD = page->use3D;
    const QUrl url = QUrl::fromLocalFile(paths_.pagePath);
    runView_->showPage(url, paths_.baseDir, threeD, quill::RunPlaces(std::move(*page), url, name));
}

void TfrmMain::btnRunCloseClick()
{
    // The overlay goes at once, whatever the page is doing; the view ends
    // the page behind it.
    if (runState_.close()) {
        runView_->hide();
        runView_->closePage(QUrl::fromLocalFile(paths_.scriptDir + QStringLiteral("blank.html")));
    }
    giveCodeTheKeys();
}

void TfrmMain::btnRunResizeClick()
{
    // A width the pages cannot be laid out in would only be widened again.
    const std::optional<int> width = quill::toWholeNumber(runView_->widthEdit()->text());
    if (!width || *width < minimumWidth() || *width > maximumWidth()) {
        messages_->showMessage(QStringLiteral("Invalid width."));
        return;
    }
    resize(*width, height());
    LayoutScreen();
}

void TfrmMain::closeRunAt(int programLine)
{
    btnRunCloseClick();
    if (programLine < 0)
        return;
    TabControl1->setCurrentWidget(TabItem1);
    goToProgramLine(programLine);
    giveCodeTheKeys();
}

void TfrmMain::goToProgramLine(int line)
{
    program_.setSelectionActive(false);
    program_.setCursor(std::min(line, program_.lineCount() - 1), 0);
    program_.ScrollToCursor();
    codePage_.pntProg->update();
}
