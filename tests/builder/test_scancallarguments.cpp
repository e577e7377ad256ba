#include "builder/pagegenerator.h"

#include "base/quotedargument.h"

#include "tests/builder/qtprint.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace quill;

namespace {

struct ScanCase {
    const char *name;
    QString line;
    QString call;
    int separators;
    QStringList arguments;  // all six slots
};

TEST(ScanCallArguments, SplitsTheFirstCallOfTheLine)
{
    const QString cat = QString::fromUtf8("\xE7\x8C\xAB");           // a CJK letter
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");      // a surrogate pair
    const std::vector<ScanCase> cases = {
        {"three arguments", "sprite(1,'cat',2);", "sprite(", 2, {"1", "cat", "2", "", "", ""}},
        {"blanks go, quoted text stays as written", "sprite( 1 , 'my cat' , \"2\" )", "sprite(", 2,
         {"1", "my cat", "2", "", "", ""}},
        {"a quote of the other kind is text", "sprite(1,\"it's\",2)", "sprite(", 2,
         {"1", "it's", "2", "", "", ""}},
        {"escaped quotes and backslashes", "sprite(1,'it\\'s \\\\ \\\"x\\\"',2)", "sprite(", 2,
         {"1", "it's \\ \"x\"", "2", "", "", ""}},
        {"another escape keeps its backslash", "sprite(1,'a\\nb',2)", "sprite(", 2,
         {"1", "a\\nb", "2", "", "", ""}},
        {"commas and parentheses in quotes", "sprite(1,\"a, (b)\",2)", "sprite(", 2,
         {"1", "a, (b)", "2", "", "", ""}},
        {"a quote never closed quotes nothing", "sprite(1,\"my cat,2)", "sprite(", 2,
         {"1", "mycat", "2", "", "", ""}},
        {"tabs stay", "sprite(\t1,'a',2)", "sprite(", 2, {"\t1", "a", "2", "", "", ""}},
        {"six arguments", "sprite(0,'a',2,16,16,1)", "sprite(", 5, {"0", "a", "2", "16", "16", "1"}},
        {"sixth slot collects further commas", "sprite(0,a,2,16,16,1,7,8)", "sprite(", 5,
         {"0", "a", "2", "16", "16", "1,7,8"}},
        {"first closing parenthesis ends the call", "sprite(1,f(2),3)", "sprite(", 1,
         {"1", "f(2", "", "", "", ""}},
        {"no closing parenthesis scans to the end", "sprite(1,'a',2", "sprite(", 2,
         {"1", "a", "2", "", "", ""}},
        {"only the first call is scanned", "sprite(1,'a',2);sprite(3,'b',4)", "sprite(", 2,
         {"1", "a", "2", "", "", ""}},
        {"text before the call is skipped", "x=1;sndload(1,'bgm',2)", "sndload(", 2,
         {"1", "bgm", "2", "", "", ""}},
        {"empty argument list", "sprite()", "sprite(", 0, {"", "", "", "", "", ""}},
        {"empty slots count as separators", "sprite(,,)", "sprite(", 2, {"", "", "", "", "", ""}},
        {"names outside ASCII survive", "sprite(1,'" + cat + face + "',2)", "sprite(", 2,
         {"1", cat + face, "2", "", "", ""}},
        {"removing quotes can join the name", "spr'ite(1,a,2)", "sprite(", 2,
         {"1", "a", "2", "", "", ""}},
        {"a blank inside the name is removed too", "sndload (1,'bgm',2)", "sndload(", 2,
         {"1", "bgm", "2", "", "", ""}},
        {"name absent", "print(1,2)", "sprite(", 0, {"", "", "", "", "", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CallArgs args;
        args.fill(QStringLiteral("stale"));
        EXPECT_EQ(scanCallArguments(c.line, c.call, args), c.separators);
        EXPECT_EQ(QStringList(args.begin(), args.end()), c.arguments);
    }
}

// The names the Sp key writes (quotedArgument) are the names the scan reads.
TEST(ScanCallArguments, ReadsBackEveryNameTheSpKeyWrites)
{
    for (const QString &name : {QString("cat"), QString("my cat"), QString("it's"), QString("say \"hi\""),
                                QString("back\\slash\\"), QString("a, (b)"), QString(" edges "),
                                QString::fromUtf8("\xE7\x8C\xAB \xF0\x9F\x98\x80")}) {
        CallArgs args;
        const QString line = "sprite(1," + quotedArgument(name) + ",2);";
        EXPECT_EQ(scanCallArguments(line, "sprite(", args), 2) << line.toStdString();
        EXPECT_EQ(args[1], name) << line.toStdString();
        EXPECT_EQ(args[2], "2") << line.toStdString();
    }
}

struct StubCase {
    const char *name;
    QString code;
    QString header;
    QString parameters;
    QString after;
};

TEST(AddHandlerStub, PutsTheStubInFrontOnlyWhenTheHeaderIsMissing)
{
    const std::vector<StubCase> cases = {
        {"missing", "a();\n", "function move(", "i)", "function move(i){};\na();\n"},
        {"present", "function move(k){}\n", "function move(", "i)", "function move(k){}\n"},
        {"present in a comment counts", "// function init()\n", "function init()", "",
         "// function init()\n"},
        {"blank before the parenthesis does not count", "function init (){}\n", "function init()", "",
         "function init(){};\nfunction init (){}\n"},
        {"empty code", "", "function update()", "", "function update(){};\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QString code = c.code;
        addHandlerStub(code, c.header, c.parameters);
        EXPECT_EQ(code, c.after);
    }
}

} // namespace
