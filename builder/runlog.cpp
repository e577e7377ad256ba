#include "builder/runlog.h"

namespace quill {

namespace {

// True when the browser's report is the one of the error reported before.
bool echoes(const PageMessage &report, const PageMessage &message)
{
    return !message.uncaught && message.level == PageMessage::Level::Error
        && clippedText(message.text) == report.text && message.line == report.line
        && message.source == report.source;
}

} // namespace

QString clippedText(const QString &text)
{
    return text.size() > RunLog::TextLimit ? text.left(RunLog::TextLimit) + QChar(0x2026) : text;
}

QString furtherErrorsText(int count)
{
    return QStringLiteral("and %1 more").arg(count);
}

void RunLog::start(RunPlaces places)
{
    places_ = std::move(places);
    lines_.clear();
    firstError_.reset();
    furtherErrors_ = 0;
    echo_.reset();
}

RunLog::Change RunLog::add(const PageMessage &message)
{
    const std::optional<PageMessage> echo = std::exchange(echo_, std::nullopt);
    if (echo && echoes(*echo, message))
        return {};
    if (message.uncaught)
        echo_ = message;

    if (message.level == PageMessage::Level::Log) {
        const std::vector<StackFrame> frames = stackFrames(message.stack);
        if (!places_.writtenByPage(frames.empty() ? message.source : frames.front().source))
            return {};
    }

    const ScriptPlace place = places_.locate(message.source, message.line, message.stack);
    const RunError placed{placedText(place.name, clippedText(message.text)), place.programLine};
    lines_.push_back({message.level, placed.text, placed.programLine, added_++});
    if (lines_.size() > std::size_t(Capacity))
        lines_.pop_front();

    Change change{true, false};
    if (message.level == PageMessage::Level::Error) {
        if (firstError_)
            ++furtherErrors_;
        else
            firstError_ = placed;
        change.errorChanged = true;
    }
    return change;
}

} // namespace quill
