#pragma once

#include <QString>
#include <QStringList>

namespace quill {

// What the command line asks of the process. QuillIDE itself takes no
// options besides the informational ones; Qt's own (-platform, -style, ...)
// are taken by the application object before this is read, and everything
// after "--webEngineArgs" belongs to the web engine.
//
//   const auto request = quill::readCommandLine(application.arguments());
//   if (request.action == quill::CommandLineAction::Run) ...
enum class CommandLineAction {
    Run,          // start the window
    ShowVersion,  // print "QuillIDE <version>" and exit
    ShowHelp,     // print our options and the display options of Qt's, and exit
    Fail,         // print `error` and exit with status 1
};

struct CommandLineRequest {
    CommandLineAction action = CommandLineAction::Run;
    QString error; // for Fail: one line, ending in a full stop
};

// Reads the arguments left after the application object took Qt's options
// (the first is the program itself).
CommandLineRequest readCommandLine(const QStringList &arguments);

// True when the raw arguments ask only for text (help or version), so the
// process can start without a display. Looks at nothing after
// "--webEngineArgs".
bool asksForTextOnly(int argc, const char *const *argv);

// The help: QuillIDE's options, then those of Qt's that matter to a user
// (the window system, the scale), not Qt's debugging switches.
QString helpText();

// Prints the help text to standard output.
void showHelp();

} // namespace quill
