// The command line: which request the arguments make, and which of them may
// start without a display.
#include "app/commandline.h"

#include <gtest/gtest.h>

#include <vector>

using quill::CommandLineAction;

namespace {

TEST(CommandLine, ReadsTheRequest)
{
    struct Case {
        const char *name;
        QStringList arguments; // after the program
        CommandLineAction action;
        QString error;
    };
    const std::vector<Case> cases = {
        {"nothing", {}, CommandLineAction::Run, {}},
        {"version", {"--version"}, CommandLineAction::ShowVersion, {}},
        {"short version", {"-v"}, CommandLineAction::ShowVersion, {}},
        {"help", {"--help"}, CommandLineAction::ShowHelp, {}},
        {"short help", {"-h"}, CommandLineAction::ShowHelp, {}},
        {"help with Qt's options", {"--help-all"}, CommandLineAction::ShowHelp, {}},
        {"help wins over version", {"--version", "--help"}, CommandLineAction::ShowHelp, {}},
        {"unknown option", {"--frobnicate"}, CommandLineAction::Fail, "Unknown option 'frobnicate'."},
        {"unknown option before help", {"--frobnicate", "--help"}, CommandLineAction::Fail,
         "Unknown option 'frobnicate'."},
        {"a file", {"game.js"}, CommandLineAction::Fail, "Unexpected argument 'game.js'."},
        {"web engine flags are not ours", {"--webEngineArgs", "--remote-debugging-port=9222", "x"},
         CommandLineAction::Run, {}},
        {"a version flag for the web engine", {"--webEngineArgs", "--version"}, CommandLineAction::Run, {}},
        {"ours before the web engine's", {"-v", "--webEngineArgs", "--frobnicate"},
         CommandLineAction::ShowVersion, {}},
    };
    for (const Case &c : cases) {
        const quill::CommandLineRequest request =
            quill::readCommandLine(QStringList{QStringLiteral("QuillIDE")} + c.arguments);
        EXPECT_EQ(request.action, c.action) << c.name;
        EXPECT_EQ(request.error, c.error) << c.name;
    }
}

TEST(CommandLine, OnlyHelpAndVersionStartWithoutADisplay)
{
    struct Case {
        const char *name;
        std::vector<const char *> arguments; // after the program
        bool textOnly;
    };
    const std::vector<Case> cases = {
        {"nothing", {}, false},
        {"version", {"--version"}, true},
        {"short version", {"-v"}, true},
        {"help", {"--help"}, true},
        {"short help", {"-h"}, true},
        {"help with Qt's options", {"--help-all"}, true},
        {"after Qt's own option", {"-platform", "xcb", "--help"}, true},
        {"unknown option", {"--frobnicate"}, false},
        {"a value that looks like help", {"-qwindowtitle", "--helpful"}, false},
        {"after the web engine's mark", {"--webEngineArgs", "--version"}, false},
    };
    for (const Case &c : cases) {
        std::vector<const char *> argv = {"QuillIDE"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        EXPECT_EQ(quill::asksForTextOnly(int(argv.size()), argv.data()), c.textOnly) << c.name;
    }
}

TEST(CommandLine, HelpListsOursAndWhatADisplayNeedsButNoDebuggerSwitches)
{
    const QString help = quill::helpText();
    EXPECT_TRUE(help.startsWith("Usage: QuillIDE [options]\n")) << help.toStdString();
    struct Case {
        const char *name;
        const char *text;
        bool listed;
    };
    const std::vector<Case> cases = {
        {"help", "-h, --help", true},
        {"version", "-v, --version", true},
        {"window system", "--platform <name>", true},
        {"scale", "QT_SCALE_FACTOR=", true},
        {"workspace", "QuillIDE/ under $XDG_DATA_HOME", true},
        {"the second help", "--help-all", false},
        {"QML debugger", "qmljsdebugger", false},
        {"reversed layout", "--reverse", false},
        {"session", "--session", false},
        {"plugin paths", "--platformpluginpath", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(help.contains(QLatin1String(c.text)), c.listed) << c.name;
}

} // namespace
