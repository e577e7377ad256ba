#pragma once

#include "base/workspace.h"
#include "builder/runviewstate.h"
#include "editor/codefiles.h"

#include <QObject>
#include <functional>

class QWidget;

namespace quill {

class CodeBuffer;
class Handlers;
class RunView;
class SettingsStore;

// What the run overlay reaches outside itself.
struct RunOverlayCrossings {
    // The Code page shown, the cursor at the start of the program's line.
    std::function<void(int programLine)> showProgramLine;
    // The keys of a hardware keyboard back to the code.
    std::function<void()> giveCodeTheKeys;
    // The layout pass.
    std::function<void()> layoutScreen;
};

// Run and the run overlay (pnlRun, a RunView over the whole window): Run
// saves changed named code, generates the page and shows it in the run view
// or the desktop's browser; Close ends the page at once; Resize sets the
// window's width; a tap on the run's error or on a console line of the
// program closes the run there.
//
//   RunOverlay overlay(window, program, settings, paths, crossings, handlers);
//   overlay.btRunClick();
class RunOverlay : public QObject {
    Q_OBJECT

public:
    RunOverlay(QWidget *window, CodeBuffer &program, const SettingsStore &settings, const WorkspacePaths &paths,
               RunOverlayCrossings crossings, Handlers &handlers);

    void btRunClick();
    void btnRunCloseClick();
    void btnRunResizeClick();

    // Fills the window's client area, above the pages and the pick list.
    void layoutOverlay(const QRect &clientArea);
    bool showing() const;
    RunView *view() const { return runView_; }
    const RunViewState &state() const { return runState_; }

private:
    // Closes the run and, for a line of the program (-1: none), shows it.
    void closeRunAt(int programLine);

    QWidget *window_;
    CodeBuffer &program_;
    const SettingsStore &Settings;
    WorkspacePaths paths_;
    CodeFiles programFiles_;
    RunOverlayCrossings crossings_;
    Handlers &handlers_;
    RunView *runView_ = nullptr;
    RunViewState runState_;  // RunActive and the overlay's state
};

} // namespace quill
