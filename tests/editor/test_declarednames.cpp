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

TEST(DeclaredNameIndex, AgreesWithAFullScanThroughEdits)
{
    std::mt19937 random(11);
    auto pick = [&](int count) { return int(random() % unsigned(count)); };
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines.append(EditLines[pick(int(EditLines.size()))] + (pick(3) == 0 ? QStringLiteral(" var v%1;").arg(i) : QString()));
    DeclaredNameIndex index;
    for (int step = 0; step < 400; ++step) {
        const int line = pick(int(lines.size()) + 1);
        switch (pick(4)) {
        case 0:
            lines.insert(line, EditLines[pick(int(EditLines.size()))]);
            break;
        case 1:
            if (line < lines.size())
                lines.remove(line);
            break;
        case 2:
            if (line < lines.size())
                lines[line] = EditLines[pick(int(EditLines.size()))] + QStringLiteral(" var w%1;").arg(step);
            break;
        default:
            break;  // no change at all
        }
        const NameQuery query{pick(2) ? QString() : QStringLiteral("v"), pick(int(lines.size()) + 1), pick(12)};
        ASSERT_EQ(index.names(lines, query), DeclaredNames(lines, query)) << "after step " << step;
    }
}

TEST(DeclaredNameIndex, ScansOnlyAroundAChange)
{
    QStringList lines;
    for (int i = 0; i < 10000; ++i)
        lines.append(i % 10 == 0 ? QStringLiteral("function f%1(a%1) {").arg(i) : QStringLiteral("  x = x + %1; }").arg(i));
    DeclaredNameIndex index;
    EXPECT_EQ(index.names(lines, {}).size(), 2000);
    EXPECT_EQ(index.scannedLines(), 10000);

    index.names(lines, {});
    EXPECT_EQ(index.scannedLines(), 0) << "nothing changed";

    lines[5000] = QStringLiteral("var typed;");
    EXPECT_EQ(index.names(lines, {"typ"}), QStringList{"typed"});
    EXPECT_LE(index.scannedLines(), 130);

    lines.insert(4000, QStringLiteral("/* everything below is a comment now"));
    EXPECT_EQ(index.names(lines, {}).size(), 800);
    EXPECT_GT(index.scannedLines(), 6000);

    lines.remove(4000);
    EXPECT_EQ(index.names(lines, {}).size(), 1999);
    EXPECT_EQ(index.names(lines, {}), DeclaredNames(lines));
}

} // namespace
} // namespace quill
