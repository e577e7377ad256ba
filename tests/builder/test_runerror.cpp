// Run errors mapped from the page's lines back to the program, its included
// files, or the template and runtime; and through a stack, from inside the
// runtime or an engine back to the user's line that called it.
#include "builder/runerror.h"

#include "base/messagesink.h"
#include "tests/builder/qtprint.h"

#include <QUrl>
#include <gtest/gtest.h>

#include <map>

using namespace quill;

namespace quill {
void PrintTo(const RunError &error, std::ostream *out)
{
    *out << "{\"" << error.text.toStdString() << "\", line " << error.programLine << '}';
}
void PrintTo(const ScriptPlace &place, std::ostream *out)
{
    *out << "{\"" << place.name.toStdString() << "\", " << (place.usersCode ? "user's" : "not user's")
         << ", line " << place.programLine << '}';
}
void PrintTo(const StackFrame &frame, std::ostream *out)
{
    *out << '{' << frame.source.toStdString() << ':' << frame.line << '}';
}
} // namespace quill

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
    return int(splitLines(page.pageText()).indexOf(text)) + 1;
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
        {"beyond the page", int(splitLines(page.pageText()).size()) + 5, PageUrl.toString(), "cat",
         {"temp.html:" + QString::number(splitLines(page.pageText()).size() + 5) + ": " + error, -1}},
        {"no line", 0, PageUrl.toString(), "cat", {error, -1}},
        {"no source", 12, "", "cat", {error, -1}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RunPlaces(page, PageUrl, c.programName).error(error, c.source, c.line), c.expected)
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

    const RunPlaces places(page, PageUrl, "cat");
    EXPECT_EQ(places.error("e", PageUrl.toString(), stub),
              (RunError{"temp.html:" + QString::number(stub) + ": e", -1}));
    EXPECT_EQ(places.error("e", PageUrl.toString(), oops), (RunError{"cat:1: e", 0}));
}

TEST(StackFrames, TakesTheScriptPlacesInnermostFirst)
{
    struct Case {
        const char *name;
        QString stack;
        std::vector<StackFrame> expected;
    };
    const QString page = "file:///w/QuillIDE/temp.html";
    const std::vector<Case> cases = {
        {"named and bare frames after the message",
         "TypeError: x is undefined\n    at sett (" + page + ":12:5)\n    at " + page + ":40:1",
         {{page, 12}, {page, 40}}},
        {"constructors and async functions",
         "Error\n    at new Foo (" + page + ":4:2)\n    at async go (" + page + ":5:9)",
         {{page, 4}, {page, 5}}},
        {"a web address with a port", "Error\n    at f (http://127.0.0.1:8000/cat.html:9:3)",
         {{"http://127.0.0.1:8000/cat.html", 9}}},
        {"an escaped path", "Error\n    at f (file:///home/a%20b/temp.html:2:1)",
         {{"file:///home/a%20b/temp.html", 2}}},
        {"the view's own script, built-ins and eval code are left out",
         "Error\n    at console.log (userscript:quill-page-probe:60:7)\n"
         "    at Array.forEach (<anonymous>)\n"
         "    at eval (eval at qe (" + page + ":7:3), <anonymous>:1:1)\n    at qe (" + page + ":7:3)",
         {{page, 7}}},
        {"a message line that mentions a place", "Error: look at (" + page + ":3:1)\nmore",
         {}},
        {"no line number", "Error\n    at f (" + page + ")\n    at g (" + page + ":x:1)", {}},
        {"line zero", "Error\n    at f (" + page + ":0:1)", {}},
        {"empty", "", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(stackFrames(c.stack), c.expected) << c.name;
}

TEST(RunPlaces, AStackLeadsFromTheRuntimeOrAnEngineToTheUsersLine)
{
    MemoryIncludes includes;
    includes.files["lib"] = {"var a = 1;", "broken();"};
    NoMessages messages;
    const GeneratedPage page = buildPage(Program, "cat", includes, Template, messages);
    ASSERT_TRUE(page.written);
    const RunPlaces places(page, PageUrl, "cat");
    const QString at = "    at f (" + PageUrl.toString() + ":";
    const auto frame = [&](int line) { return at + QString::number(line) + ":3)\n"; };
    const QString engine = "    at Object.texture (file:///w/QuillIDE/js/stage.web.min.js:7:100)\n";
    const QString probe = "    at console.error (userscript:quill-page-probe:60:7)\n";
    const int oops = pageLineOf(page, "oops();");
    const int broken = pageLineOf(page, "broken();");
    const int templateLine = 2;

    struct Case {
        const char *name;
        QString stack;
        ScriptPlace expected;
    };
    const std::vector<Case> cases = {
        {"engine, template, then the program", probe + engine + frame(templateLine) + frame(oops),
         {"cat:8", true, 7}},
        {"an included file called from the program", engine + frame(broken) + frame(oops),
         {"lib:2", true, 7}},
        {"an included file alone", frame(broken) + frame(templateLine), {"lib:2", true, -1}},
        {"the program's innermost line wins", frame(oops) + frame(pageLineOf(page, "function init(){}")),
         {"cat:8", true, 7}},
        {"no user's code: the innermost script line", engine + frame(templateLine),
         {"stage.web.min.js:7", false, -1}},
        {"only the view's own frames: the reported line", probe, {"quillfunc.js:40", false, -1}},
        {"no stack: the reported line", "", {"quillfunc.js:40", false, -1}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(places.locate(Runtime, 40, c.stack), c.expected) << c.name;

    // The bar keeps the engine's own text after the user's place.
    EXPECT_EQ(places.error("Texture not found: chr50", Runtime, 7, engine + frame(oops)),
              (RunError{"cat:8: Texture not found: chr50", 7}));
    EXPECT_EQ(places.locate("", 0, ""), ScriptPlace{});
}

TEST(RunPlaces, ThePageAndTheRuntimeWriteForTheProgram)
{
    const RunPlaces places(GeneratedPage{}, PageUrl, "cat");
    struct Case {
        const char *name;
        QString source;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"the page", PageUrl.toString(), true},
        {"the page by another path", "file:///w/QuillIDE/js/../temp.html", true},
        {"the runtime", Runtime, true},
        {"an engine", "file:///w/QuillIDE/js/stage.web.min.js", false},
        {"another page", "file:///w/QuillIDE/other.html", false},
        {"the view's own script", "userscript:quill-page-probe", false},
        {"nothing", "", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(places.writtenByPage(c.source), c.expected) << c.name;
}

} // namespace
