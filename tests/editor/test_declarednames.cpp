#include "editor/declarednames.h"
#include "tests/editor/cursortext.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quill {
namespace {

struct NamesCase {
    const char *name;
    QStringList program;
    QStringList names;
};

TEST(DeclaredNames, FindsFunctionsBindingsAndParameters)
{
    const std::vector<NamesCase> cases = {
        {"functions and their parameters",
         {"function hit(power, angle){", "}"}, {"hit", "power", "angle"}},
        {"var, let and const, several per statement",
         {"var score = 0, lives;", "let speed = f(1, 2), gravity = [1, 2];", "const MAX_X=320;"},
         {"score", "lives", "speed", "gravity", "MAX_X"}},
        {"each name once, in the order of its first declaration",
         {"var b;", "var a;", "function f(b){}", "var a = 2;"}, {"b", "a", "f"}},
        {"loop variables", {"for (var i = 0; i < n; i++) {}", "for (let key in table) {}", "for (const v of list) {}"},
         {"i", "key", "v"}},
        {"parameters with defaults and rest", {"function f(a = 1, b, ...rest) {}"}, {"f", "a", "b", "rest"}},
        {"parameters over several lines", {"function move(i,", "                 dx) {"}, {"move", "i", "dx"}},
        {"function expressions and anonymous functions",
         {"var onHit = function(target) {};", "setTimeout(function (delay) {}, 10);"},
         {"onHit", "target", "delay"}},
        {"arrow functions", {"var add = (x, y) => x + y;", "list.map(item => item * 2);", "run(() => 0);"},
         {"add", "x", "y", "item"}},
        {"a call is not a declaration", {"draw(px, py);", "if (a == b) c = d;"}, {}},
        {"catch clauses", {"try { go(); } catch (err) { print(err); }"}, {"err"}},
        {"destructuring", {"let {left, top: y, width = 3, h = size(1, 2)} = box;", "const [p, [q, r]] = pts;"},
         {"left", "y", "width", "h", "p", "q", "r"}},
        {"comments are skipped", {"// var hidden;", "/* function gone(x){}", " var gone2; */ var shown;"},
         {"shown"}},
        {"strings and template literals are skipped",
         {"print('var no1;'); print(\"function no2(\");", "var t = `var no3;", "function no4(){}`;", "var yes;"},
         {"t", "yes"}},
        {"a regular expression holding quotes is skipped", {"var re = /['\"]/g; var after;"}, {"re", "after"}},
        {"a declaration ends with its line", {"var a = 1", "b, c;"}, {"a"}},
        {"an initializer goes on after an operator or inside brackets",
         {"var total = 1 +", "  2, more;", "var grid = [", "  1, 2", "], spare;"},
         {"total", "more", "grid", "spare"}},
        {"keywords are never names", {"var in;", "function if(){}"}, {}},
        {"include lines name files, not declarations", {"include shapes", "var own;"}, {"own"}},
        {"unbalanced brackets do not stop the scan", {"function broken(a {", "))", "var later;"},
         {"broken", "later"}},
        {"names beyond ASCII", {"var café = 1;"}, {"café"}},
    };
    for (const NamesCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DeclaredNames(c.program), c.names);
    }
}

struct QueryCase {
    const char *name;
    QStringList program;  // "|" at the cursor
    QString prefix;
    QStringList names;
};

TEST(DeclaredNames, KeepsNamesWithThePrefixAndSkipsTheWordBeingTyped)
{
    const std::vector<QueryCase> cases = {
        {"only names with the prefix", {"var player, points, enemy;", "pl|"}, "p", {"player", "points"}},
        {"the prefix is case-sensitive", {"var Player, pal;", "|"}, "p", {"pal"}},
        {"the name being declared at the cursor is not offered",
         {"var playerX;", "var pla|"}, "pla", {"playerX"}},
        {"nor a parameter being typed", {"function f(alpha, al|)"}, "al", {"alpha"}},
        {"the cursor inside a name hides it too", {"var sc|ore;", "var scale;"}, "sc", {"scale"}},
        {"the same name declared elsewhere is still offered",
         {"var pause;", "var pau|"}, "pau", {"pause"}},
    };
    for (const QueryCase &c : cases) {
        SCOPED_TRACE(c.name);
        const testing::CursorText text = testing::parseCursorText(c.program);
        EXPECT_EQ(DeclaredNames(text.lines, NameQuery{c.prefix, text.line, text.column}), c.names);
    }
}

// Lines that change what follows them: comments and template literals
// left open, declarations and parameter lists across lines, brackets.
const QStringList EditLines = {
    "var a1 = 1, b1;", "function f1(p1,", "  p2) {", "}", "/* open", "close */ var c1;", "let t1 = `x",
    "var no1; `;", "const {d1, e1: g1} = h;", "var i1 = [", "  1], j1;", "q => q;", "(r1, s1) => 0;",
    "try {} catch (x1) {}", "x = 1;", "", "  ", "{", "}", "(", ")", "// var no2;", "'var no3;'",
    "var k1 = 1 +", "  2, l1;", "function", "m1(n1) {}",
};

// A text as Open makes it: the lines joined with the given line end and
// held as the file's bytes until read or changed.
CodeText fileText(const QStringList &lines, const QByteArray &lineEnd, CodeText::Bytes decoding)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += (decoding == CodeText::Bytes::Latin1 ? line.toLatin1() : line.toUtf8()) + lineEnd;
    return CodeText::fromBytes(bytes, 0, decoding);
}

// Edits of every kind, within a block and across blocks, on texts held as
// bytes of each kind: after each, the index gives what a full scan of the
// decoded lines gives. The full scan reads a copy, so that the index meets
// blocks never decoded as well as decoded ones.
TEST(DeclaredNameIndex, AgreesWithAFullScanThroughEdits)
{
    struct Case {
        const char *name;
        QByteArray lineEnd;
        CodeText::Bytes decoding;
        QString extra;  // appended to some lines
    };
    const std::vector<Case> cases = {
        {"ASCII, CR LF", "\r\n", CodeText::Bytes::Latin1, " var v%1;"},
        {"ASCII, LF", "\n", CodeText::Bytes::Latin1, " var v%1;"},
        {"lone CR", "\r", CodeText::Bytes::Latin1, " var v%1;"},
        {"Latin-1 letters", "\r\n", CodeText::Bytes::Latin1, QString::fromLatin1(" var \xE9t\xE9%1 = (\xE0) => 0;")},
        {"UTF-8 letters", "\n", CodeText::Bytes::Utf8, QString::fromUtf8(" var \xCF\x80%1, \xC3\xA9;")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::mt19937 random(11);
        auto pick = [&](int count) { return int(random() % unsigned(count)); };
        auto someLine = [&](int i) {
            return EditLines[pick(int(EditLines.size()))] + (pick(3) == 0 ? c.extra.arg(i) : QString());
        };
        QStringList lines;
        for (int i = 0; i < 3 * CodeText::BlockLines; ++i)
            lines.append(someLine(i));
        CodeText text = fileText(lines, c.lineEnd, c.decoding);
        DeclaredNameIndex index;
        for (int step = 0; step < 120; ++step) {
            const int line = pick(text.size());
            switch (pick(6)) {
            case 0:
                text.insert(line, someLine(step));
                break;
            case 1:
                text.remove(line, std::min(text.size() - line, 1 + pick(3)));
                break;
            case 2:
                text.modifiableLine(line) = someLine(step);
                break;
            case 3: {
                // A paste, now and then longer than two blocks.
                QStringList pasted;
                for (int i = pick(8) == 0 ? 2 * CodeText::BlockLines + 5 : 1 + pick(30); i > 0; --i)
                    pasted.append(someLine(step));
                text.insert(line, pasted);
                break;
            }
            case 4:
                // Lines cut from one block to the next.
                text.remove(line, std::min(text.size() - line, CodeText::BlockLines / 2 + pick(CodeText::BlockLines)));
                break;
            default:
                break;  // no change at all
            }
            if (text.isEmpty())
                text.insert(0, QStringLiteral("var last;"));
            const NameQuery query{pick(2) ? QString() : QStringLiteral("v"), pick(text.size() + 1), pick(12)};
            const CodeText copy = text;
            ASSERT_EQ(index.names(text, query), DeclaredNames(copy, query)) << "after step " << step;
        }
    }
}

TEST(DeclaredNameIndex, ScansOnlyAroundAChange)
{
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines.append(i % 10 == 0 ? QStringLiteral("function f%1(a%1) {").arg(i) : QStringLiteral("  x = x + %1; }").arg(i));
    CodeText text = fileText(lines, "\r\n", CodeText::Bytes::Latin1);
    DeclaredNameIndex index;
    EXPECT_EQ(index.names(text, {}).size(), 2000);
    EXPECT_EQ(index.scannedLines(), 10000);

    index.names(text, {});
    EXPECT_EQ(index.scannedLines(), 0) << "nothing changed";
    const CodeText copy = text;
    index.names(copy, {});
    EXPECT_EQ(index.scannedLines(), 0) << "a copy is the same text";

    text.modifiableLine(5000) = QStringLiteral("var typed;");
    EXPECT_EQ(index.names(text, {"typ"}), QStringList{"typed"});
    EXPECT_LE(index.scannedLines(), CodeText::BlockLines) << "the block of the change";

    text.insert(4000, QStringLiteral("/* everything below is a comment now"));
    EXPECT_EQ(index.names(text, {}).size(), 800);
    EXPECT_GT(index.scannedLines(), 6000);

    text.remove(4000);
    EXPECT_EQ(index.names(text, {}).size(), 1999);
    EXPECT_EQ(index.names(text, {}), DeclaredNames(text));
}

} // namespace
} // namespace quill
