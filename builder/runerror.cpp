#include "builder/runerror.h"

#include <QStringView>

namespace quill {

namespace {

// The schemes of the places a page's scripts come from.
bool scriptAddress(QStringView address)
{
    if (address.contains(u' '))
        return false;
    for (const char *scheme : {"file:", "http:", "https:"})
        if (address.startsWith(QLatin1String(scheme)))
            return true;
    return false;
}

// "address:line:column" into its address and line.
std::optional<StackFrame> framePlace(QStringView place)
{
    const qsizetype columnColon = place.lastIndexOf(u':');
    if (columnColon <= 0)
        return std::nullopt;
    const qsizetype lineColon = place.left(columnColon).lastIndexOf(u':');
    if (lineColon <= 0)
        return std::nullopt;
    bool lineOk = false;
    bool columnOk = false;
    const int line = place.mid(lineColon + 1, columnColon - lineColon - 1).toInt(&lineOk);
    const int column = place.mid(columnColon + 1).toInt(&columnOk);
    const QStringView address = place.left(lineColon);
    if (!lineOk || !columnOk || line <= 0 || column <= 0 || !scriptAddress(address))
        return std::nullopt;
    return StackFrame{address.toString(), line};
}

// The place of one stack line, or nothing.
std::optional<StackFrame> stackLineFrame(QStringView text)
{
    text = text.trimmed();
    if (!text.startsWith(QLatin1String("at ")))
        return std::nullopt;
    text = text.mid(3);
    if (!text.endsWith(u')'))
        return framePlace(text);
    // "name (address:line:column)": the address begins at the first opening
    // parenthesis that a script address follows, so a name with parentheses
    // of its own does not end it early.
    text.chop(1);
    for (qsizetype open = text.indexOf(u'('); open >= 0; open = text.indexOf(u'(', open + 1))
        if (scriptAddress(text.mid(open + 1)))
            return framePlace(text.mid(open + 1));
    return std::nullopt;
}

} // namespace

std::vector<StackFrame> stackFrames(const QString &stack)
{
    std::vector<StackFrame> frames;
    for (QStringView line : QStringView(stack).split(u'\n'))
        if (std::optional<StackFrame> frame = stackLineFrame(line))
            frames.push_back(std::move(*frame));
    return frames;
}

QString placedText(const QString &place, const QString &message)
{
    return place.isEmpty() ? message : place + QStringLiteral(": ") + message;
}

RunPlaces::RunPlaces(GeneratedPage page, QUrl pageUrl, QString programName)
    : page_(std::move(page)),
      pageUrl_(pageUrl.adjusted(QUrl::NormalizePathSegments)),
      runtimeUrl_(pageUrl_.resolved(QUrl(QStringLiteral("js/quillfunc.js")))),
      programName_(std::move(programName))
{
}

std::optional<ScriptPlace> RunPlaces::place(const QString &source, int line) const
{
    if (source.isEmpty() || line <= 0)
        return std::nullopt;
    const QUrl script(source);
    const auto named = [&](const QString &file, int fileLine) {
        return QStringLiteral("%1:%2").arg(file).arg(fileLine);
    };
    if (script.adjusted(QUrl::NormalizePathSegments) != pageUrl_
        || line > qsizetype(page_.origins.size()))
        return ScriptPlace{named(script.fileName(), line)};

    const PageLineOrigin &origin = page_.origins[std::size_t(line - 1)];
    if (origin.source == 0 && origin.line >= 0) {
        const QString name = programName_.isEmpty() ? QStringLiteral("code") : programName_;
        return ScriptPlace{named(name, origin.line + 1), true, origin.line};
    }
    if (origin.source > 0 && origin.source < page_.sources.size() && origin.line >= 0)
        return ScriptPlace{named(page_.sources[origin.source], origin.line + 1), true};
    return ScriptPlace{named(script.fileName(), line)};
}

ScriptPlace RunPlaces::locate(const QString &source, int line, const QString &stack) const
{
    std::optional<ScriptPlace> named;
    std::optional<ScriptPlace> innermost;
    int programLine = -1;
    for (const StackFrame &frame : stackFrames(stack)) {
        const std::optional<ScriptPlace> framePlace = place(frame.source, frame.line);
        if (!framePlace)
            continue;
        if (!innermost)
            innermost = framePlace;
        if (framePlace->usersCode && !named)
            named = framePlace;
        if (framePlace->programLine >= 0) {
            programLine = framePlace->programLine;
            break;
        }
    }
    if (named) {
        named->programLine = programLine;
        return *named;
    }
    if (innermost)
        return *innermost;
    return place(source, line).value_or(ScriptPlace{});
}

RunError RunPlaces::error(const QString &message, const QString &source, int line,
                          const QString &stack) const
{
    const ScriptPlace where = locate(source, line, stack);
    return {placedText(where.name, message), where.programLine};
}

bool RunPlaces::writtenByPage(const QString &source) const
{
    const QUrl script = QUrl(source).adjusted(QUrl::NormalizePathSegments);
    return script == pageUrl_ || script == runtimeUrl_;
}

} // namespace quill
