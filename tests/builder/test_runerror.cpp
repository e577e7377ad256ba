// Run errors mapped from the page's lines back to the program, its included
// files, or the template and runtime.
#include "builder/runerror.h"

#include "base/messagesink.h"
#include "tests/builder/qtprint.h"

#include <QUrl>
#include <gtest/gtest.h>

#include <map>

using namespace quill;

namespace {

class NoMessages : public MessageSink {
public:
    void showMessage(const QString &text) override { ADD_FAILURE() << text.toStdString(); }
};

class MemoryIncludes : public IncludeReader {
public:
    std::map<QString, QStringList> files;
    std::optional<IncludeFile> readInclude(const QString &name) override
    {
        const auto found = files.find(name);
        if (found == files.end())
            return std::nullopt;
        return IncludeFile{found->second, name};
    }
};

const QUrl PageUrl = QUrl::fromLocalFile("/w/QuillIDE/temp.html");
const QString Runtime = "file:///w/QuillIDE/js/quillfunc.js";

// Template: three lines before the code, one after.
const QStringList Template = {"<html><script src=\"js/quillfunc.js\"></script>", "<script>",
                              "// user", "##user##", "</script></html>"};

// All five handlers, so no stubs; line 4 (zero-based 3) includes "lib".
const QStringList Program = {"function init(){}",         "function move(i){}",
                             "function update(){}",       "include lib",
                             "function mousedown(x,y){}", "function mouseup(x,y){}",
                             "sprite(1,'cat',2);",        "oops();"};

int pageLineOf(const GeneratedPage &page, const QString &text)
{
    return int(page.pageLines.indexOf(text)) + 1;
}

TEST(MapRunError, PointsAtTheLineItCameFrom)
{
    MemoryIncludes includes;
    includes.files["lib"] = {"var a = 1;", "broken();"};
    NoMessages messages;
    const GeneratedPage page = buildPage(Program, "cat", includes, Template, messages);
    ASSERT_TRUE(page.written);
    const QString error = "Uncaught ReferenceError: oops is not defined";

    struct Case {
        const char *name;
        int line;
        QString source;
        QString programName;
        RunError expected;
    };
    const int oopsLine = pageLineOf(page, "oops();");
    const int brokenLine = pageLineOf(page, "broken();");
    const int spriteLine = oopsLine - 1;  // the rewritten sprite line
    const int handlerLine = pageLineOf(page, "function init(){}");
    ASSERT_GT(oopsLine, 0);
    ASSERT_GT(brokenLine, 0);
    const std::vector<Case> cases = {
        {"program line after an include", oopsLine, PageUrl.toString(), "cat",
         {"cat:8: " + error, 7}},
        {"first program line", handlerLine, PageUrl.toString(), "cat", {"cat:1: " + error, 0}},
        {"rewritten sprite line", spriteLine, PageUrl.toString(), "cat", {"cat:7: " + error, 6}},
        {"unnamed program", oopsLine, PageUrl.toString(), "", {"code:8: " + error, 7}},
        {"line of the included file", brokenLine, PageUrl.toString(), "cat",
         {"lib:2: " + error, -1}},
        {"template line", 2, PageUrl.toString(), "cat", {"temp.html:2: " + error, -1}},
        {"runtime script", 40, Runtime, "cat", {"quillfunc.js:40: " + error, -1}},
        {"beyond the page", int(page.pageLines.size()) + 5, PageUrl.toString(), "cat",
         {"temp.html:" + QString::number(page.pageLines.size() + 5) + ": " + error, -1}},
        {"no line", 0, PageUrl.toString(), "cat", {error, -1}},
        {"no source", 12, "", "cat", {error, -1}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(mapRunError(error, c.line, c.source, PageUrl, page, c.programName), c.expected)
            << c.name;
}

TEST(MapRunError, StubLinesAreNotTheProgramsOwn)
{
    MemoryIncludes includes;
    NoMessages messages;
    const GeneratedPage page = buildPage({"oops();"}, "cat", includes, Template, messages);
    ASSERT_TRUE(page.written);
    const int stub = pageLineOf(page, "function init(){};");
    const int oops = pageLineOf(page, "oops();");
    ASSERT_GT(stub, 0);

    EXPECT_EQ(mapRunError("e", stub, PageUrl.toString(), PageUrl, page, "cat"),
              (RunError{"temp.html:" + QString::number(stub) + ": e", -1}));
    EXPECT_EQ(mapRunError("e", oops, PageUrl.toString(), PageUrl, page, "cat"),
              (RunError{"cat:1: e", 0}));
}

} // namespace
