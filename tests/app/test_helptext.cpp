// The Help page text: its placeholders, its headings and the lines a user
// looks things up by (key legends, functions, variables).
#include "app/helptext.h"
#include "base/workspace.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace quill {
namespace {

QString rawHelp()
{
    QFile resource(QStringLiteral(":/program/help.txt"));
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(resource.readAll());
}

QStringList helpLines(const QString &text) { return text.split(QLatin1Char('\n')); }

// Index of the first line equal to `line` at or after `from`, or -1.
qsizetype findLine(const QStringList &lines, const QString &line, qsizetype from = 0)
{
    return lines.indexOf(line, from);
}

// The lines from the one after `heading` up to (not including) the first line
// that equals one of `ends`, or to the end of the text.
QStringList sectionAfter(const QStringList &lines, const QString &heading,
                         const QStringList &ends, qsizetype from = 0)
{
    const qsizetype start = findLine(lines, heading, from);
    if (start < 0)
        return {};
    QStringList body;
    for (qsizetype i = start + 1; i < lines.size() && !ends.contains(lines[i]); ++i)
        body << lines[i];
    return body;
}

// The section of our own after the design's, beyond what the design names.
const QString kOwnHeading = "* Start here and more";

const QStringList kTopHeadings = {
    "[CODE]", "[SPRITE]", "[SYSTEM]", "* Functions", "* Functions called",
    "* Global variables", "* Directories", "* Tips"};

TEST(HelpTextResource, IsPlainUtf8WithSingleLineFeeds)
{
    QFile resource(QStringLiteral(":/program/help.txt"));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const QByteArray bytes = resource.readAll();
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF")) << "no byte-order mark";
    EXPECT_FALSE(bytes.contains('\r')) << "lines are separated by LF only";
    EXPECT_FALSE(bytes.contains('\t'));
    EXPECT_EQ(QString::fromUtf8(bytes).toUtf8(), bytes) << "valid UTF-8";
    EXPECT_FALSE(bytes.contains("\n\n\n")) << "one blank line between groups, never two";
}

TEST(HelpTextResource, HeadingsAppearOnceEachInOrder)
{
    const QStringList lines = helpLines(rawHelp());
    qsizetype previous = -1;
    for (const QString &heading : kTopHeadings) {
        const qsizetype at = findLine(lines, heading);
        ASSERT_GE(at, 0) << heading.toStdString();
        EXPECT_GT(at, previous) << heading.toStdString() << " is out of order";
        EXPECT_EQ(lines.count(heading), 1) << heading.toStdString();
        previous = at;
    }
    EXPECT_EQ(lines.first(), "[CODE]");
    // Headings after the first are each set off by a blank line.
    for (const QString &heading : kTopHeadings.mid(1)) {
        const qsizetype at = findLine(lines, heading);
        ASSERT_GT(at, 0);
        EXPECT_EQ(lines[at - 1], "") << "no blank line before " << heading.toStdString();
    }
}

TEST(HelpTextResource, TheTipsAreSevenAndOurOwnSectionFollowsThem)
{
    const QString text = rawHelp();
    const QStringList lines = helpLines(text);
    const QStringList tips = sectionAfter(lines, "* Tips", {"", kOwnHeading});
    ASSERT_EQ(tips.size(), 7) << "seven tips";
    for (const QString &tip : tips)
        EXPECT_TRUE(tip.startsWith("- ")) << tip.toStdString();
    EXPECT_EQ(tips.first(), "- [Sh]+[Hm] moves the cursor to the beginning of the file.");
    const qsizetype own = findLine(lines, kOwnHeading);
    ASSERT_GT(own, 1);
    EXPECT_EQ(lines[own - 2], tips.last());
    EXPECT_EQ(lines[own - 1], "");
    EXPECT_EQ(lines.count(kOwnHeading), 1);
    EXPECT_FALSE(text.endsWith('\n'));
}

// What the design's sections leave out: where to begin, the hardware keys,
// the keys beyond the legend, the run view's bar and console, how a program
// reads taps, drags, keys and the pad, and what a wide window changes.
TEST(HelpTextResource, OurOwnSectionAnswersWhereToBeginAndWhatToPress)
{
    const QStringList lines = helpLines(rawHelp());
    const qsizetype own = findLine(lines, kOwnHeading);
    ASSERT_GE(own, 0);
    const QString section = lines.mid(own).join('\n');
    struct Case {
        const char *name;
        QString text;
    };
    const std::vector<Case> cases = {
        {"first steps", "[First steps]"},
        {"the sample to begin with", "choose cat_sample"},
        {"Ctrl+T", "- Ctrl+T: [Tm]"},
        {"Ctrl+B", "- Ctrl+B: [Sl]"},
        {"Ctrl+S", "- Ctrl+S: [Sp]"},
        {"Ctrl+A", "- Ctrl+A: [Au]"},
        {"Ctrl+J", "- Ctrl+J: [Jp]"},
        {"Ctrl+C", "- Ctrl+C: [Cp]"},
        {"Ctrl+V", "- Ctrl+V: [Ps]"},
        {"Ctrl+X", "- Ctrl+X: [Ct]"},
        {"Ctrl+F", "- Ctrl+F: [Fi]"},
        {"Ctrl+L", "- Ctrl+L: [Fn]"},
        {"Ctrl+R", "- Ctrl+R: [Rp]"},
        {"undo", "- Ctrl+Z: undo"},
        {"redo", "- Ctrl+Y or Ctrl+Shift+Z: redo"},
        {"Insert", "Insert is [Ky]"},
        {"Ct", "Ct... Cut"},
        {"Lz", "Lz... Copy a line twice"},
        {"Wn", "Wn... Maximize the window"},
        {"the frame counter", "frames per second"},
        {"the error bar's tap", "Tap the red bar"},
        {"the error bar's hold", "Hold it to read the whole error"},
        {"the console", "[Console] opens a strip"},
        {"taps", "mousedown(x,y,finger)"},
        {"drags", "mousemove(x,y,finger)"},
        {"keys", "key('ArrowLeft')"},
        {"the pad", "if(pad(0))sx-=4;"},
        {"the pad on the screen", "The pad on the screen shows on touch screens"},
        {"the preview", "Tap the preview"},
        {"sound in exported games", "first tap, click or key"},
        {"the keys toggle of a wide window", "[Keys] hides the keys"},
        {"Width in a wide window", "Width is the fewest columns"},
        {"the window's place", "opens again at the size and place it was closed with"},
    };
    for (const Case &c : cases)
        EXPECT_TRUE(section.contains(c.text)) << c.name << ": " << c.text.toStdString();
}

TEST(HelpTextResource, FixedLinesAreExact)
{
    struct Case {
        const char *name;
        QString line;
    };
    const std::vector<Case> cases = {
        {"code intro 1", "This page is for writing JavaScript code."},
        {"code intro 2", "When you tap the [Run] button, the current code will be executed."},
        {"shift intro", "When you tap the [Sh], the following buttons appear."},
        {"sprite intro", "This page is for drawing sprites."},
        {"width", "- Width"},
        {"width text", "Number of columns in the CODE page"},
        {"export", "- Export"},
        {"include", "- include filename: inserts an external file."},
        {"sndload", "- sndload(audio number,filename,[play]): loads a ogg file into the specified "
                    "audio number. play:0=not play when loaded 1=play 2=loop"},
        {"move", "- move(sprite number): called regularly for each sprite."},
        {"rotation", "tr[],sr: rotation. 0 to 359"},
        {"paragraph", "You can manipulate the sprites and 3D objects by updating these global "
                      "variables. The variables starting with s- are variables you can use in "
                      "the move() function."},
        {"pi", "pi: 3.14159"},
    };
    const QStringList lines = helpLines(rawHelp());
    for (const Case &c : cases)
        EXPECT_TRUE(lines.contains(c.line)) << c.name << ": " << c.line.toStdString();
}

TEST(HelpTextResource, ExportLineNamesZipServerAndBrowser)
{
    const QStringList lines = helpLines(rawHelp());
    const qsizetype at = findLine(lines, "- Export");
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, lines.size());
    const QString line = lines[at + 1];
    for (const char *word : {"zip", "code", "resources", "web server", "web browser"})
        EXPECT_TRUE(line.contains(QLatin1String(word))) << word << " missing in: " << line.toStdString();
}

TEST(HelpTextResource, KeyboardLegendIsExactAndInOrder)
{
    const QStringList layer1 = {
        "Sh... Shift", "Hm... Home", "En... End", "Tm... Insert a template",
        "Ky... Keyword suggestion", "Rt... Enter", "Dl... Delete"};
    const QStringList layer2 = {
        "Sl... Select start", "Cp... Copy", "Ps... Paste", "Ld... Delete a line",
        "Lc... Copy a line", "Ly... Copy a line and replace x to y", "Jp... Jump",
        "Fi... Find, Format: {find text}", "Fn... Find next",
        "Rp... Replace, Format: {find text}replace text", "Rn... Replace next",
        "Sp... Insert sprite definition function", "Au... Insert audio load function"};
    const QStringList code = sectionAfter(helpLines(rawHelp()), "[CODE]", {"[SPRITE]"});
    const QStringList expected = QStringList{
        "This page is for writing JavaScript code.",
        "When you tap the [Run] button, the current code will be executed.", "", "- Buttons"}
        + layer1 + QStringList{"", "When you tap the [Sh], the following buttons appear."}
        + layer2 + QStringList{""};
    ASSERT_EQ(code.size(), expected.size()) << code.join('\n').toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(code[i], expected[i]) << "line " << i << " of [CODE]";
}

TEST(HelpTextResource, SpriteLegendIsExactWithCorrectedFlips)
{
    const QStringList legend = {
        "Ad... Add a character", "Dl... Delete a character", "Cp... Copy a character",
        "Ps... Paste a character", "Pn... Cycle a pen kind. Pn:Pen Fl:Fill Rp:Replace",
        "Rt... Rotate", "Fv... Flip vertical", "Fh... Flip horizontal", "Sh... Shift",
        "U.... Cycle a shift direction", "Er... Erase a current character", "Un... Undo",
        "Cl... Change a color palette"};
    const QString text = rawHelp();
    const QStringList sprite = sectionAfter(helpLines(text), "[SPRITE]", {"[SYSTEM]"});
    const QStringList expected =
        QStringList{"This page is for drawing sprites.", "", "- Buttons"} + legend + QStringList{""};
    ASSERT_EQ(sprite.size(), expected.size()) << sprite.join('\n').toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_EQ(sprite[i], expected[i]) << "line " << i << " of [SPRITE]";
    for (const char *wrong : {"virtical", "horizonal", "Hv..."})
        EXPECT_FALSE(text.contains(QLatin1String(wrong))) << wrong;
}

// "- name(" or, for include, "- include " at the start of a line.
bool documentsFunction(const QStringList &lines, const QString &name)
{
    const QString prefix = name == "include" ? "- include " : "- " + name + "(";
    return std::any_of(lines.begin(), lines.end(),
                       [&](const QString &line) { return line.startsWith(prefix); });
}

TEST(HelpTextResource, EveryFunctionSitsUnderItsSubheading)
{
    struct Case {
        QString subheading;
        QStringList names;
    };
    const std::vector<Case> cases = {
        {"[Audio]", {"sndload", "sndloop", "sndplay", "sndstatus", "sndstop"}},
        {"[Core]", {"bgcolor", "include", "setscreen", "setwait", "time"}},
        {"[Graphics]", {"bgbegin", "bgend", "box", "circle", "line", "rectangle", "rgb"}},
        {"[Input]", {"key", "keydown", "keyup", "mousemove", "pad"}},
        {"[Math]", {"abs", "atan2", "cos", "int", "rand", "rnd", "sin", "sqr", "tan"}},
        {"[Sprite]", {"chkt", "cls", "delt", "offset", "putc", "sett", "sprite"}},
        {"[Text]", {"asc", "chr", "len", "lower", "mid", "print", "settext", "sprintf", "upper"}},
        {"[3D]", {"chkm", "delm", "maprepeat", "setcam", "setm", "setmCone", "setmCube",
                  "setmCylinder", "setmPlane", "setmSphere", "setmTorus"}},
    };
    const QStringList lines = helpLines(rawHelp());
    const qsizetype functions = findLine(lines, "* Functions");
    ASSERT_GE(functions, 0);
    // Subheadings in order, each group a run of "- " lines ended by a blank line.
    qsizetype previous = functions;
    for (const Case &c : cases) {
        const QStringList group = sectionAfter(lines, c.subheading, {""}, functions);
        const qsizetype at = findLine(lines, c.subheading, functions);
        EXPECT_GT(at, previous) << c.subheading.toStdString() << " missing or out of order";
        previous = at;
        for (const QString &line : group)
            EXPECT_TRUE(line.startsWith("- ")) << c.subheading.toStdString() << ": " << line.toStdString();
        EXPECT_EQ(group.size(), c.names.size()) << c.subheading.toStdString() << " has extra lines";
        for (const QString &name : c.names)
            EXPECT_TRUE(documentsFunction(group, name))
                << name.toStdString() << " not under " << c.subheading.toStdString();
    }
    EXPECT_LT(previous, findLine(lines, "* Functions called"));
}

TEST(HelpTextResource, FunctionLinesHaveTheNameArgumentsDescriptionForm)
{
    const QStringList lines = helpLines(rawHelp());
    const QStringList all = sectionAfter(lines, "* Functions", {"* Global variables"});
    static const QRegularExpression form(QStringLiteral(R"(^- [A-Za-z0-9]+\([^()]*\): \S)"));
    int checked = 0;
    for (const QString &line : all) {
        if (!line.startsWith("- ") || line.startsWith("- include "))
            continue;
        ++checked;
        EXPECT_TRUE(form.match(line).hasMatch()) << line.toStdString();
    }
    EXPECT_GT(checked, 0);
}

TEST(HelpTextResource, HandlersAreDocumented)
{
    const QStringList called = sectionAfter(helpLines(rawHelp()), "* Functions called", {""});
    const QStringList expected = {"init", "move", "update", "mousedown", "mouseup"};
    ASSERT_EQ(called.size(), expected.size()) << called.join('\n').toStdString();
    for (qsizetype i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(called[i].startsWith("- " + expected[i] + "(")) << called[i].toStdString();
}

// The names before ": " on a variable line, split at commas.
QStringList variableNames(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1String(": "));
    return colon < 0 ? QStringList{} : line.left(colon).split(QLatin1Char(','));
}

TEST(HelpTextResource, EveryVariableFamilyAppears)
{
    struct Case {
        QString subheading;
        std::vector<QStringList> families; // names that share one line
    };
    const std::vector<Case> cases = {
        {"[Sprite]",
         {{"tm"}, {"t[]"}, {"tx[]", "ty[]", "sx", "sy"}, {"txx[]", "tyy[]", "sxx", "syy"},
          {"tr[]", "sr"}, {"ts[]", "ss"}, {"ta[]", "sa"}, {"th[]", "sh"}, {"th2[]"},
          {"tl[]", "sl"}, {"tl2[]"}, {"tc[]"}, {"tn[]"}, {"tsx[]", "tsy[]"}}},
        {"[3D]",
         {{"mm"}, {"m[]"}, {"mx[]", "my[]", "mz[]", "sx", "sy", "sz"},
          {"mxx[]", "myy[]", "mzz[]", "sxx", "syy", "szz"},
          {"mrx[]", "mry[]", "mrz[]", "srx", "sry", "srz"}, {"ms[]", "ss"}, {"ma[]", "sa"},
          {"mh[]", "sh"}, {"mh2[]"}, {"ml[]", "sl"}, {"ml2[]"}, {"mc[]"}, {"mn[]"},
          {"msx[]", "msy[]", "msz[]"}, {"cax", "cay", "caz"}, {"carx", "cary", "carz"}, {"fps"}}},
        {"[Others]", {{"rsi"}, {"rsx", "rsy", "rsz"}, {"scx", "scy"}, {"pi"}}},
    };
    const QStringList lines = helpLines(rawHelp());
    const qsizetype globals = findLine(lines, "* Global variables");
    ASSERT_GE(globals, 0);
    for (const Case &c : cases) {
        const QStringList group = sectionAfter(lines, c.subheading, {""}, globals);
        ASSERT_FALSE(group.isEmpty()) << c.subheading.toStdString();
        for (const QStringList &family : c.families) {
            const bool found = std::any_of(group.begin(), group.end(), [&](const QString &line) {
                const QStringList names = variableNames(line);
                return std::all_of(family.begin(), family.end(),
                                   [&](const QString &n) { return names.contains(n); });
            });
            EXPECT_TRUE(found) << family.join(',').toStdString() << " not under "
                               << c.subheading.toStdString();
        }
    }
}

const QStringList kPlaceholders = {"%di_basfiles%", "%di_grafiles%", "%di_temps%", "%di_img%",
                                   "%di_au%"};

TEST(HelpTextResource, EachPlaceholderOccursExactlyOnce)
{
    const QString text = rawHelp();
    for (const QString &placeholder : kPlaceholders)
        EXPECT_EQ(text.count(placeholder), 1) << placeholder.toStdString();
}

TEST(HelpText, DirectoriesShowTheWorkspacePaths)
{
    struct Case {
        QString nameLine;
        QString path;
    };
    const std::vector<Case> cases = {
        {"- Code files", "C:\\ProgramData/prgfiles/"},
        {"- Sprite files", "C:\\ProgramData/sprfiles/"},
        {"- Templates", "C:\\ProgramData/tempfiles/"},
        {"- Image files", "C:\\ProgramData/img/"},
        {"- Audio files", "C:\\ProgramData/audio/"},
    };
    const QString text = helpText(WorkspacePaths::fromBaseDir("C:\\ProgramData/"));
    const QStringList lines = helpLines(text);
    const QStringList directories = sectionAfter(lines, "* Directories", {"* Tips"});
    QStringList expected;
    for (const Case &c : cases)
        expected << c.nameLine << c.path << "";
    EXPECT_EQ(directories, expected);
    for (const QString &placeholder : kPlaceholders)
        EXPECT_FALSE(text.contains(placeholder)) << placeholder.toStdString();
    EXPECT_FALSE(text.contains("%di_"));
}

TEST(HelpText, OnlyThePlaceholderLinesChange)
{
    const QStringList raw = helpLines(rawHelp());
    const QStringList filled = helpLines(helpText(WorkspacePaths::fromBaseDir("/ws/")));
    ASSERT_EQ(raw.size(), filled.size());
    int changed = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != filled[i]) {
            ++changed;
            EXPECT_TRUE(kPlaceholders.contains(raw[i])) << raw[i].toStdString();
        }
    }
    EXPECT_EQ(changed, kPlaceholders.size());
}

TEST(FillHelpPlaceholders, ReplacesExactlyInOrder)
{
    WorkspacePaths paths;
    paths.codeDir = "C/";
    paths.spriteDir = "S/";
    paths.templateDir = "T/";
    paths.imageDir = "I/";
    paths.audioDir = "A/";
    struct Case {
        const char *name;
        QString before;
        QString after;
    };
    const std::vector<Case> cases = {
        {"each placeholder", "%di_basfiles%|%di_grafiles%|%di_temps%|%di_img%|%di_au%",
         "C/|S/|T/|I/|A/"},
        {"every occurrence", "%di_au%\n%di_au%", "A/\nA/"},
        {"letter case counts", "%DI_AU% %Di_img%", "%DI_AU% %Di_img%"},
        {"partial names stay", "%di_au %di_imgx% di_temps%", "%di_au %di_imgx% di_temps%"},
        {"no placeholders", "plain text", "plain text"},
        {"empty text", "", ""},
        {"placeholders glued together", "%di_img%%di_au%", "I/A/"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(fillHelpPlaceholders(c.before, paths), c.after) << c.name;
}

TEST(FillHelpPlaceholders, EachStepWorksOnThePreviousResult)
{
    // A code directory whose path holds a later placeholder is filled again by
    // the later step; a path holding an earlier placeholder is left alone.
    WorkspacePaths paths;
    paths.codeDir = "/x/%di_au%/";
    paths.spriteDir = "/s/";
    paths.templateDir = "/t/";
    paths.imageDir = "/y/%di_basfiles%/";
    paths.audioDir = "/a/";
    EXPECT_EQ(fillHelpPlaceholders("%di_basfiles% %di_img%", paths), "/x//a// /y/%di_basfiles%/");
}

} // namespace
} // namespace quill
