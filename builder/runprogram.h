#pragma once

#include "builder/pagegenerator.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace quill {

class MessageSink;
class RunViewState;
class SettingsStore;
struct WorkspacePaths;

// What a Run starts from: the code being edited and its file.
struct RunSource {
    QStringList codeLines;
    QString fileName;                  // the code file's name; may be empty
    bool codeModified = false;
    std::function<void()> saveCode;    // writes the code to its file, no message
};

// Run up to the showing of the page: named code that was changed is saved
// first (a failed save throws and nothing else happens), the page is
// generated, and RunActive is set. Nothing when the generator has told of a
// missing include. With "web" exactly "1" the page is meant for the desktop's
// browser and the overlay stays as it was.
//
//   if (auto page = startRun(source, paths, settings, state, messages))
//       state.overlay() == OverlayState::Running ? view.showPage(...) : ShellOpen(paths.pagePath);
std::optional<GeneratedPage> startRun(const RunSource &source, const WorkspacePaths &paths,
                                      const SettingsStore &settings, RunViewState &state,
                                      MessageSink &messages);

// True when the setting "web" asks for the desktop's browser.
bool runsInBrowser(const SettingsStore &settings);

} // namespace quill
