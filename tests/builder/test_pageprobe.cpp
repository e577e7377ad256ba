// Reading the console messages of a page that runs the probe: the probe's
// reports and the browser's own messages. The probe itself runs in the real
// web view (tests/builder/test_runview.cpp).
#include "builder/pageprobe.h"

#include "tests/builder/qtprint.h"

#include <gtest/gtest.h>

using namespace quill;
using Level = PageMessage::Level;

namespace quill {
void PrintTo(const PageMessage &message, std::ostream *out)
{
    *out << "{level " << int(message.level) << ", \"" << message.text.toStdString() << "\", "
         << message.source.toStdString() << ':' << message.line << ", stack \""
         << message.stack.toStdString() << "\"" << (message.uncaught ? ", uncaught" : "") << '}';
}
} // namespace quill

namespace {

const QString Mark = "\x01quill-probe ";

TEST(ReadConsoleMessage, TellsReportsFromTheBrowsersMessages)
{
    struct Case {
        const char *name;
        Level level;
        QString text;
        std::optional<int> frames;
        std::optional<PageMessage> message;
    };
    const QString page = "file:///w/temp.html";
    const std::vector<Case> cases = {
        {"frames", Level::Log, Mark + R"j({"kind":"frames","count":58})j", 58, std::nullopt},
        {"a log line", Level::Log,
         Mark + R"j({"kind":"console","level":"log","text":"x = 3","stack":"Error\n    at f (a:1:1)"})j",
         std::nullopt, PageMessage{Level::Log, "x = 3", {}, 0, "Error\n    at f (a:1:1)"}},
        {"a warning", Level::Log, Mark + R"j({"kind":"console","level":"warn","text":"w","stack":""})j",
         std::nullopt, PageMessage{Level::Warning, "w"}},
        {"an error line", Level::Log, Mark + R"j({"kind":"console","level":"error","text":"e","stack":""})j",
         std::nullopt, PageMessage{Level::Error, "e"}},
        {"an uncaught error", Level::Log,
         Mark + R"j({"kind":"uncaught","text":"Uncaught TypeError: t","source":"file:///w/temp.html","line":12,"stack":"s"})j",
         std::nullopt, PageMessage{Level::Error, "Uncaught TypeError: t", page, 12, "s", true}},
        {"the browser's error", Level::Error, "Uncaught SyntaxError: x", std::nullopt,
         PageMessage{Level::Error, "Uncaught SyntaxError: x", page, 4}},
        {"the browser's warning", Level::Warning, "careful", std::nullopt,
         PageMessage{Level::Warning, "careful", page, 4}},
        {"a report that does not read", Level::Log, Mark + "{broken", std::nullopt, std::nullopt},
        {"a report of another kind", Level::Log, Mark + R"j({"kind":"later"})j", std::nullopt,
         std::nullopt},
    };
    for (const Case &c : cases) {
        const ProbeReading reading = readConsoleMessage(c.level, c.text, 4, page);
        EXPECT_EQ(reading.frames, c.frames) << c.name;
        EXPECT_EQ(reading.message, c.message) << c.name;
    }
}

} // namespace
