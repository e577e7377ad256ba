#include "app/commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdlib>
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

// The parser with QuillIDE's options; "--help-all" is the parser's own way to
// list Qt's options as well, and plain "--help" is made to do the same.
void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("A touch-first IDE for small JavaScript games."));
    parser.addHelpOption();
    parser.addVersionOption();
}

} // namespace

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

void showHelpAndExit()
{
    QCommandLineParser parser;
    addOptions(parser);
    const QStringList arguments = QCoreApplication::arguments();
    parser.process(QStringList{arguments.value(0), QStringLiteral("--help-all")});
    std::exit(0); // process() has already exited; this only tells the compiler so
}

} // namespace quill
