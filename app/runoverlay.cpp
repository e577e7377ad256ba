#include "app/runoverlay.h"

#include "base/messagesink.h"
#include "base/wholenumber.h"
#include "app/handlerboundary.h"
#include "app/shellopen.h"
#include "builder/runprogram.h"
#include "builder/runview.h"
#include "editor/codebuffer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

namespace quill {

RunOverlay::RunOverlay(QWidget *window, CodeBuffer &program, const SettingsStore &settings,
                       const WorkspacePaths &paths, RunOverlayCrossings crossings, Handlers &handlers)
    : QObject(window), window_(window), program_(program), Settings(settings), paths_(paths),
      programFiles_(paths.codeDir), crossings_(std::move(crossings)), handlers_(handlers)
{
    runView_ = new RunView(window);
    // Resize and its width are the desktop's.
    runView_->resizeButton()->setVisible(true);
    runView_->widthEdit()->setVisible(true);
    handlers_.wire(runView_->closeButton(), &QPushButton::clicked, [this] { btnRunCloseClick(); });
    handlers_.wire(runView_->resizeButton(), &QPushButton::clicked, [this] { btnRunResizeClick(); });
    handlers_.wire(runView_, &RunView::lineChosen, this, &RunOverlay::closeRunAt);
    handlers_.wire(runView_, &RunView::wholeErrorAsked, &handlers_.messages(), &MessageSink::showMessage);
}

bool RunOverlay::showing() const
{
    return runView_->isVisible();
}

void RunOverlay::layoutOverlay(const QRect &clientArea)
{
    runView_->layoutView(clientArea);
}

void RunOverlay::btRunClick()
{
    const QString name = program_.identity().name;
    // Saved as Save saves, but without its message, and the code still counts
    // as changed, so the next Run saves again.
    // Another program's file is replaced only when the user says so; for
    // no, nothing is saved and the run goes on, as for unnamed code.
    const RunSource source{program_.lines(), name, program_.codeModified(), [&] {
                               if (programFiles_.save(name, program_, handlers_.messages()))
                                   program_.setCodeModified(true);
                           }};
    std::optional<GeneratedPage> page = startRun(source, paths_, Settings, runState_, handlers_.messages());
    if (!page)
        return;
    if (runState_.overlay() != OverlayState::Running) {
        ShellOpen(paths_.pagePath);
        return;
    }
    const bool threeD = page->use3D;
    const QUrl url = QUrl::fromLocalFile(paths_.pagePath);
    runView_->showPage(url, paths_.baseDir, threeD, RunPlaces(std::move(*page), url, name));
}

void RunOverlay::btnRunCloseClick()
{
    // The overlay goes at once, whatever the page is doing; the view ends
    // the page behind it.
    if (runState_.close()) {
        runView_->hide();
        runView_->closePage(QUrl::fromLocalFile(paths_.scriptDir + QStringLiteral("blank.html")));
    }
    crossings_.giveCodeTheKeys();
}

void RunOverlay::btnRunResizeClick()
{
    // A width the pages cannot be laid out in would only be widened again.
    const std::optional<int> width = toWholeNumber(runView_->widthEdit()->text());
    if (!width || *width < window_->minimumWidth() || *width > window_->maximumWidth()) {
        handlers_.messages().showMessage(QStringLiteral("Invalid width."));
        return;
    }
    window_->resize(*width, window_->height());
    crossings_.layoutScreen();
}

void RunOverlay::closeRunAt(int programLine)
{
    btnRunCloseClick();
    if (programLine >= 0)
        crossings_.showProgramLine(programLine);
}

} // namespace quill
