#include "app/commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace quill {

namespace {

const char *const WebEngineArgs = "--webEngineArgs";

// The arguments that are ours to read: those before "--webEngineArgs".
QStringList ownArguments(const QStringList &arguments)
{
    const qsizetype end = arguments.indexOf(QLatin1String(WebEngineArgs));
    return end < 0 ? arguments : arguments.first(end);
}

// The parser with QuillIDE's options. "--help-all", which Qt's own help
// option adds, is still taken but not listed: the help shows one list.
void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("A touch-first IDE for small JavaScript games."));
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Displays this help.")));
    QCommandLineOption all(QStringLiteral("help-all"), QStringLiteral("Displays this help."));
    all.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(all);
    parser.addVersionOption();
}

// The options of Qt's that a user of QuillIDE has a use for; Qt's debugging
// switches (a QML debugger, a reversed layout, sessions, plugin paths) are
// left out of the help although Qt still takes them.
const char *const DisplayHelp =
    "\n"
    "Display (Qt's options and settings):\n"
    "  --platform <name>            The window system to open on: xcb (X11),\n"
    "                               wayland, or offscreen (no window at all).\n"
    "  QT_SCALE_FACTOR=<factor>     Set in the environment: draws everything\n"
    "                               that many times larger, for example 1.5.\n"
    "\n"
    "QuillIDE keeps its workspace in QuillIDE/ under $XDG_DATA_HOME\n"
    "(~/.local/share when that is not set).\n";

} // namespace

QString helpText()
{
    QCommandLineParser parser;
    addOptions(parser);
    // The usage line names the program as users start it, wherever it lies.
    QString text = parser.helpText();
    const qsizetype usage = text.indexOf(QLatin1String("Usage: "));
    const qsizetype end = text.indexOf(QLatin1String(" [options]"));
    if (usage >= 0 && end > usage)
        text.replace(usage + 7, end - usage - 7, QStringLiteral("QuillIDE"));
    return text + QString::fromLatin1(DisplayHelp);
}

CommandLineRequest readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(ownArguments(arguments)))
        return {CommandLineAction::Fail, parser.errorText()};
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return {CommandLineAction::ShowHelp, {}};
    if (parser.isSet(QStringLiteral("version")))
        return {CommandLineAction::ShowVersion, {}};
    const QStringList extra = parser.positionalArguments();
    if (!extra.isEmpty())
        return {CommandLineAction::Fail,
                QStringLiteral("Unexpected argument '%1'.").arg(extra.constFirst())};
    return {};
}

bool asksForTextOnly(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        const char *argument = argv[i];
        if (std::strcmp(argument, WebEngineArgs) == 0)
            return false;
        for (const char *text : {"-h", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argument, text) == 0)
                return true;
    }
    return false;
}

void showHelp()
{
    std::fputs(helpText().toLocal8Bit().constData(), stdout);
}

} // namespace quill
