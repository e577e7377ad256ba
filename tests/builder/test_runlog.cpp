// The run's console and error bar without a display: which of the page's
// messages count, where they are placed, the first error and the count after
// it, the browser's second report of an uncaught error, and the last 500 lines.
#include "builder/runlog.h"

#include "base/messagesink.h"
#include "tests/builder/qtprint.h"

#include <QUrl>
#include <gtest/gtest.h>

using namespace quill;
using Level = PageMessage::Level;

namespace quill {
void PrintTo(const RunLogLine &line, std::ostream *out)
{
    *out << "{level " << int(line.level) << ", \"" << line.text.toStdString() << "\", line "
         << line.programLine << ", serial " << line.serial << '}';
}
} // namespace quill

namespace {

class NoMessages : public MessageSink {
public:
    void showMessage(const QString &text) override { ADD_FAILURE() << text.toStdString(); }
};

class NoIncludes : public IncludeReader {
public:
    std::optional<IncludeFile> readInclude(const QString &) override { return std::nullopt; }
};

const QUrl PageUrl = QUrl::fromLocalFile("/w/QuillIDE/temp.html");
const QString Page = PageUrl.toString();
const QString Engine = "file:///w/QuillIDE/js/stage.web.min.js";
const QString Runtime = "file:///w/QuillIDE/js/quillfunc.js";
const QStringList Template = {"<html><script>", "function sett(){}", "##user##",
                              "</script></html>"};
// Every handler, so no stubs: program line k is page line k + 3.
const QStringList Program = {"function init(){ sett(); }", "function move(i){}",
                             "function update(){ console.log(1); }", "function mousedown(x,y){}",
                             "function mouseup(x,y){}"};

QString frame(const QString &source, int line)
{
    return QStringLiteral("    at f (%1:%2:1)\n").arg(source).arg(line);
}

class RunLogTest : public ::testing::Test {
protected:
    RunLogTest()
    {
        NoIncludes includes;
        NoMessages messages;
        GeneratedPage page = buildPage(Program, "cat", includes, Template, messages);
        log.start(RunPlaces(std::move(page), PageUrl, "cat"));
    }

    // A console line the probe reports, written at the stack's innermost frame.
    static PageMessage written(Level level, const QString &text, const QString &stack)
    {
        return {level, text, {}, 0, "Error\n    at console.log (userscript:probe:1:1)\n" + stack};
    }
    // An uncaught error as the probe reports it, and then the browser.
    static PageMessage uncaught(const QString &text, const QString &source, int line,
                                const QString &stack)
    {
        return {Level::Error, text, source, line, stack, true};
    }
    static PageMessage browsers(Level level, const QString &text, const QString &source, int line)
    {
        return {level, text, source, line};
    }

    QStringList texts() const
    {
        QStringList shown;
        for (const RunLogLine &line : log.lines())
            shown << line.text;
        return shown;
    }

    RunLog log;
};

TEST_F(RunLogTest, KeepsWhatTheProgramWritesAndWhatWentWrongAnywhere)
{
    struct Case {
        const char *name;
        PageMessage message;
        std::optional<RunLogLine> expected;  // nothing: left out
    };
    const std::vector<Case> cases = {
        {"a log line of the program", written(Level::Log, "1", frame(Page, 5)),
         RunLogLine{Level::Log, "cat:3: 1", 2}},
        {"a log line of the template", written(Level::Log, "t", frame(Page, 2)),
         RunLogLine{Level::Log, "temp.html:2: t", -1}},
        {"a log line of the runtime", written(Level::Log, "r", frame(Runtime, 9)),
         RunLogLine{Level::Log, "quillfunc.js:9: r", -1}},
        {"an engine's chatter", written(Level::Log, "Loading image: img/cat.png", frame(Engine, 7) + frame(Page, 3)),
         std::nullopt},
        {"the browser's own note", browsers(Level::Log, "note", "", 0), std::nullopt},
        {"an engine's error, at the user's line",
         written(Level::Error, "Texture not found: chr50", frame(Engine, 7) + frame(Page, 2) + frame(Page, 3)),
         RunLogLine{Level::Error, "cat:1: Texture not found: chr50", 0}},
        {"an engine's warning", written(Level::Warning, "slow", frame(Engine, 3)),
         RunLogLine{Level::Warning, "stage.web.min.js:3: slow", -1}},
        {"the browser's warning", browsers(Level::Warning, "A warning.", "", 0),
         RunLogLine{Level::Warning, "A warning.", -1}},
        {"a browser's error without a stack", browsers(Level::Error, "Uncaught x", Page, 5),
         RunLogLine{Level::Error, "cat:3: Uncaught x", 2}},
    };
    for (const Case &c : cases) {
        const qsizetype before = log.lines().size();
        const RunLog::Change change = log.add(c.message);
        EXPECT_EQ(change.lineAdded, c.expected.has_value()) << c.name;
        ASSERT_EQ(log.lines().size(), before + (c.expected ? 1 : 0)) << c.name;
        if (!c.expected)
            continue;
        RunLogLine expected = *c.expected;
        expected.serial = log.lines().back().serial;
        EXPECT_EQ(log.lines().back(), expected) << c.name;
    }
}

TEST_F(RunLogTest, TheFirstErrorStaysAndTheOthersAreCounted)
{
    EXPECT_FALSE(log.add(written(Level::Warning, "w", frame(Page, 3))).errorChanged);
    EXPECT_FALSE(log.firstError().has_value());

    RunLog::Change change = log.add(uncaught("Uncaught TypeError: a", Page, 3, frame(Page, 3)));
    EXPECT_TRUE(change.errorChanged);
    EXPECT_EQ(log.firstError(), (RunError{"cat:1: Uncaught TypeError: a", 0}));
    EXPECT_EQ(log.furtherErrors(), 0);

    for (int k = 1; k <= 3; ++k) {
        change = log.add(written(Level::Error, "told", frame(Page, 5)));
        EXPECT_TRUE(change.errorChanged);
        EXPECT_EQ(log.furtherErrors(), k);
    }
    EXPECT_EQ(log.firstError()->text, "cat:1: Uncaught TypeError: a");
    EXPECT_EQ(furtherErrorsText(log.furtherErrors()), "and 3 more");
}

TEST_F(RunLogTest, TheBrowsersSecondReportOfAnUncaughtErrorIsDropped)
{
    const QString text = "Uncaught TypeError: Cannot read properties of undefined";
    log.add(uncaught(text, Engine, 7, frame(Engine, 7) + frame(Page, 3)));
    EXPECT_FALSE(log.add(browsers(Level::Error, text, Engine, 7)).lineAdded);
    EXPECT_EQ(texts(), QStringList({"cat:1: " + text}));
    EXPECT_EQ(log.furtherErrors(), 0);

    // A page that keeps the browser quiet (the 3D page's own handler does):
    // the next message is not taken for a second report, even the same error
    // thrown again.
    log.add(uncaught(text, Engine, 7, frame(Page, 3)));
    EXPECT_TRUE(log.add(uncaught(text, Engine, 7, frame(Page, 3))).lineAdded);
    EXPECT_FALSE(log.add(browsers(Level::Error, text, Engine, 7)).lineAdded);
    // Only the very next message can be the second report.
    log.add(uncaught(text, Engine, 7, frame(Page, 3)));
    log.add(written(Level::Log, "between", frame(Page, 5)));
    EXPECT_TRUE(log.add(browsers(Level::Error, text, Engine, 7)).lineAdded);
    EXPECT_EQ(log.furtherErrors(), 4);
}

TEST_F(RunLogTest, KeepsTheLastFiveHundredLinesAndTheFirstError)
{
    log.add(written(Level::Error, "first", frame(Page, 3)));
    for (int k = 0; k < RunLog::Capacity + 20; ++k)
        log.add(written(Level::Log, QString::number(k), frame(Page, 5)));
    ASSERT_EQ(log.lines().size(), std::size_t(RunLog::Capacity));
    EXPECT_EQ(log.lines().front().text, "cat:3: 20");
    EXPECT_EQ(log.lines().back().text, "cat:3: 519");
    EXPECT_EQ(log.lines().front().serial, 21);
    EXPECT_EQ(log.nextSerial(), 521);
    EXPECT_EQ(log.firstError()->text, "cat:1: first");

    // A new run starts empty; the serials go on.
    log.start(RunPlaces());
    EXPECT_TRUE(log.lines().empty());
    EXPECT_FALSE(log.firstError().has_value());
    EXPECT_EQ(log.furtherErrors(), 0);
    log.add(browsers(Level::Warning, "w", "", 0));
    EXPECT_EQ(log.lines().front().serial, 521);
}

TEST_F(RunLogTest, LongTextsAreCut)
{
    const QString longText(RunLog::TextLimit + 50, u'x');
    log.add(written(Level::Log, longText, frame(Page, 5)));
    EXPECT_EQ(log.lines().back().text, "cat:3: " + longText.left(RunLog::TextLimit) + QChar(0x2026));
    EXPECT_EQ(clippedText("short"), "short");
    EXPECT_EQ(clippedText(longText.left(RunLog::TextLimit)), longText.left(RunLog::TextLimit));
}

} // namespace
