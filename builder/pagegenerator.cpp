#include "builder/pagegenerator.h"

#include "base/constants.h"
#include "base/filename.h"
#include "base/messagesink.h"
#include "base/quotedargument.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "base/textsearch.h"
#include "base/wholenumber.h"
#include "base/workspace.h"
#include "builder/includefilereader.h"
#include "builder/scripttext.h"
#include "builder/templateparts.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <utility>
#include <vector>

namespace quill {

namespace {

const QString SpriteCall = QStringLiteral("sprite(");
const QString SoundCall = QStringLiteral("sndload(");

// One sprite line builds one texture entry per frame. Sheets from the sprite
// editor hold at most 32 cels; the limit keeps a mistyped count from building
// a page of gigabytes.
constexpr qint64 MaxSpriteFrames = 10000;

constexpr qsizetype QuotedLineLength = 200;

qint64 spriteNumber(const QString &text, const QString &line)
{
    const std::optional<int> value = toWholeNumber(text);
    if (!value)
        throw QuillError(QStringLiteral("Invalid number '%1' in: %2").arg(quotedLine(text), quotedLine(line)));
    return *value;
}

QString pageTooLarge()
{
    return QStringLiteral("Too large: the page.");
}

void checkResourceName(const QString &name, const QString &folder, const QString &line)
{
    if (const std::optional<QString> problem = resourceNameProblem(name, folder))
        throw QuillError(QStringLiteral("Cannot use the name \"%1\" (%2) in: %3")
                             .arg(quotedLine(name), *problem, quotedLine(line)));
}

} // namespace

std::optional<QString> resourceNameProblem(const QString &name, const QString &folder)
{
    if (hasControlCharacters(name))
        return QStringLiteral("it holds a control character");
    if (!name.isValidUtf16())
        return QStringLiteral("it holds half of a character");
    if (name.startsWith(u'/') || name.split(u'/').contains(QStringLiteral("..")))
        return QStringLiteral("it leads out of the %1 folder").arg(folder);
    // What a page's address reads otherwise than as part of a file's name.
    if (name.contains(u'#'))
        return QStringLiteral("# ends a page's address");
    if (name.contains(u'?'))
        return QStringLiteral("? ends a page's address");
    if (name.contains(u'%'))
        return QStringLiteral("% in a page's address begins the code of a character");
    if (name.contains(u'\\'))
        return QStringLiteral("a page's address reads \\ as /");
    return std::nullopt;
}

QString quotedLine(const QString &line)
{
    if (line.size() <= QuotedLineLength)
        return line;
    return line.left(QuotedLineLength) + QChar(0x2026);
}

bool usesCamera(const QStringList &codeLines)
{
    // No line break is part of the text, so testing line by line is testing
    // the joined code.
    const QString cameraCall = QStringLiteral("setcam(");
    return std::any_of(codeLines.begin(), codeLines.end(),
                       [&](const QString &line) { return containsText(line, cameraCall); });
}

int scanCallArguments(const QString &line, const QString &name, CallArgs &args)
{
    for (QString &slot : args)
        slot.clear();

    // The line as the scan reads it: blanks out, quotes out, and what stood
    // between a pair of quotes kept as written (quoted) and taken as text.
    QString reading;
    std::vector<bool> quoted;
    reading.reserve(line.size());
    quoted.reserve(std::size_t(line.size()));
    for (qsizetype i = 0; i < line.size();) {
        const QChar c = line[i];
        if (c == u'\'' || c == u'"') {
            if (const std::optional<QuotedArgument> argument = readQuotedArgument(line, i)) {
                reading += argument->text;
                quoted.insert(quoted.end(), std::size_t(argument->text.size()), true);
                i = argument->end;
                continue;
            }
        }
        if (c != u' ' && c != u'\'' && c != u'"') {
            reading += c;
            quoted.push_back(false);
        }
        ++i;
    }

    const qsizetype start = reading.indexOf(name);
    if (start < 0)
        return 0;

    int slot = 0;
    for (qsizetype i = start + name.size(); i < reading.size(); ++i) {
        const QChar c = reading[i];
        const bool text = quoted[std::size_t(i)];
        if (c == u')' && !text)
            break;
        if (c == u',' && !text && slot < 5)
            ++slot;
        else
            args[slot] += c;
    }
    return slot;
}

void addHandlerStub(QString &code, const QString &header, const QString &parameters)
{
    if (containsText(code, header))
        return;
    code.prepend(header + parameters + QStringLiteral("{};\n"));
}

QString textureDeclaration(const CallArgs &args, int separatorCount, const QString &line,
                           qsizetype sizeLimit)
{
    const qint64 frames = spriteNumber(args[2], line);
    // Without sizes, a sheet of default-size sprites.
    qint64 width = sheetCellSize(DefaultSpriteSize);
    qint64 height = sheetCellSize(DefaultSpriteSize);
    qint64 margin = 1;
    if (separatorCount >= 3) {
        width = spriteNumber(args[3], line);
        height = spriteNumber(args[4], line);
        margin = args[5].isEmpty() ? 0 : spriteNumber(args[5], line);
        if (margin != 0) {
            width += 2;
            height += 2;
        }
    }
    if (frames > MaxSpriteFrames)
        throw QuillError(QStringLiteral("Too many frames '%1' in: %2").arg(quotedLine(args[2]), quotedLine(line)));
    // Each frame repeats the image number in its texture name: a long number
    // times many frames is refused before anything is built.
    constexpr qsizetype NumbersPerFrame = 64;
    const qsizetype estimate = std::max<qint64>(frames, 0) * (args[0].size() + NumbersPerFrame)
                               + args[1].size() + NumbersPerFrame;
    if (estimate > sizeLimit)
        throw QuillError(pageTooLarge());

    // The name as written, in a string of single quotes.
    QString name = args[1];
    name.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    QString declaration = QStringLiteral("Stage({image:'img/") + name + QStringLiteral(".png',textures:{");
    const QString texturePrefix = QStringLiteral("chr") + args[0];
    const QString cellSize = QStringLiteral(",y:%1,width:%2,height:%3}")
                                 .arg(margin)
                                 .arg(width - 2 * margin)
                                 .arg(height - 2 * margin);
    for (qint64 frame = 0; frame < frames; ++frame) {
        if (frame > 0)
            declaration += u',';
        declaration += texturePrefix;
        declaration += QString::number(frame);
        declaration += QStringLiteral(":{x:");
        declaration += QString::number(margin + width * frame);
        declaration += cellSize;
    }
    declaration += QStringLiteral("}});");
    return declaration;
}

namespace {

// The handlers a page needs, in the order their stubs are added.
struct Handler {
    QStringView header;
    QStringView parameters;
};
constexpr Handler Handlers[] = {
    {u"function init()", u""},
    {u"function move(", u"i)"},
    {u"function update()", u""},
    {u"function mousedown(", u"x,y)"},
    {u"function mouseup(", u"x,y)"},
};
constexpr int HandlerCount = int(std::size(Handlers));

// What the code as a whole contains, found line by line while each line is
// at hand. None of the texts holds a line break, so a text is in the joined
// code exactly when it is in one of its lines.
class CodeFacts {
public:
    bool sprintf = false;
    bool sndload = false;
    bool font = false;  // "settext" or "print"
    std::array<bool, HandlerCount> handlers{};
    bool marksOrBreaks = false;  // "##", a CR or an LF
    bool leavesScript = false;   // what staysInScript refuses

    void look(QStringView line)
    {
        const char16_t *const chars = line.utf16();
        const qsizetype size = line.size();
        for (qsizetype i = 0; i < size; ++i) {
            switch (chars[i]) {
            case u's':
                sprintf = sprintf || at(line, i, u"sprintf");
                sndload = sndload || at(line, i, u"sndload");
                font = font || at(line, i, u"settext");
                break;
            case u'p':
                font = font || at(line, i, u"print");
                break;
            case u'f':
                if (at(line, i, u"function ")) {
                    for (int h = 0; h < HandlerCount; ++h)
                        handlers[h] = handlers[h] || at(line, i, Handlers[h].header);
                }
                break;
            case u'#':
                marksOrBreaks = marksOrBreaks || at(line, i, u"##");
                break;
            case u'<':
            case 0:
                // Every text that could end a script begins with one of these.
                leavesScript = leavesScript || !staysInScript(line.mid(i, ScriptEndLength));
                break;
            case u'\r':
            case u'\n':
                marksOrBreaks = true;
                break;
            default:
                break;
            }
        }
    }

private:
    static constexpr qsizetype ScriptEndLength = 8;  // "</script"

    static bool at(QStringView line, qsizetype i, QStringView text)
    {
        return line.size() - i >= text.size() && line.sliced(i, text.size()) == text;
    }
};

struct RewrittenLines {
    // The lines that changed, by their index; the others go into the code
    // as they are.
    std::vector<std::pair<qsizetype, QString>> changed;
    qsizetype size = 0;  // of the code, with a line break after each line
    QStringList resources;
    CodeFacts facts;
};

// The line by line part of rewriteCode: sprite and sound lines and the
// drawing brackets.
RewrittenLines rewriteLines(const QStringList &lines, bool use3D, qsizetype sizeLimit)
{
    RewrittenLines rewritten;
    QStringList &resources = rewritten.resources;
    CallArgs args;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString *line = &lines[i];
        QString changedLine;
        const auto change = [&](QString text) {
            changedLine = std::move(text);
            line = &changedLine;
        };
        if (containsText(*line, SpriteCall)) {
            const int separators = scanCallArguments(*line, SpriteCall, args);
            checkResourceName(args[1], QStringLiteral("img"), *line);
            const QString imagePath = QStringLiteral("img/") + args[1] + QStringLiteral(".png");
            if (!use3D)
                change(textureDeclaration(args, separators, *line, sizeLimit - rewritten.size));
            resources.append(imagePath);
        }
        if (containsText(*line, SoundCall)) {
            scanCallArguments(*line, SoundCall, args);
            checkResourceName(args[1], QStringLiteral("audio"), *line);
            resources.append(QStringLiteral("audio/") + args[1] + QStringLiteral(".ogg"));
        }
        // The drawing brackets, replaced line by line: neither text holds a
        // line break or is made or broken by the other's replacement, and
        // neither replacement makes or breaks a text that CodeFacts finds.
        if (containsText(*line, u"bg")) {
            QString text = *line;
            replaceText(text, u"bgbegin()", u"oGra.image(Stage.canvas(function(ctx){gctx=ctx;this.size(scx,scy)");
            replaceText(text, u"bgend()", u"}))");
            change(std::move(text));
        }
        if (rewritten.size + line->size() + 1 > sizeLimit)
            throw QuillError(pageTooLarge());
        rewritten.facts.look(*line);
        rewritten.size += line->size() + 1;
        if (line == &changedLine)
            rewritten.changed.emplace_back(i, std::move(changedLine));
    }
    return rewritten;
}

} // namespace

PageCode rewriteCode(const QStringList &lines, bool use3D, qsizetype sizeLimit)
{
    RewrittenLines rewritten = rewriteLines(lines, use3D, sizeLimit);
    PageCode page;
    const CodeFacts &facts = rewritten.facts;
    QStringList &resources = page.resources;
    resources = std::move(rewritten.resources);

    const auto addScript = [&](const QString &script) {
        page.addonScripts += QStringLiteral("<script src=\"") + script + QStringLiteral("\"></script>");
        page.addonResources.append(script);
        resources.append(script);
    };
    if (facts.sprintf)
        addScript(QStringLiteral("js/js-sprintf-1.0.1.min.js"));
    if (facts.sndload)
        addScript(QStringLiteral("js/soundjs.min.js"));

    // Each missing handler goes in front of what is there: the last one
    // added comes first. No stub holds the header of another, so looking at
    // the user's code alone is looking at the code with the earlier stubs.
    QString stubs;
    for (int h = 0; h < HandlerCount; ++h) {
        if (!facts.handlers[h]) {
            QString stub = Handlers[h].header.toString();
            stub += Handlers[h].parameters;
            stub += u"{};\n";
            stubs.prepend(stub);
            ++page.stubLines;
        }
    }
    // The code is copied once, into a string of its exact size.
    QString &code = page.code;
    code.reserve(stubs.size() + rewritten.size);
    code += stubs;
    auto changed = rewritten.changed.cbegin();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (changed != rewritten.changed.cend() && changed->first == i)
            code += (changed++)->second;
        else
            code += lines[i];
        code += u'\n';
    }
    if (facts.font)
        resources.append(QStringLiteral("img/fnt18.png"));
    page.plainLines = !facts.marksOrBreaks;
    page.leavesScript = facts.leavesScript;
    page.lineBreaks = lines.size() + page.stubLines;
    return page;
}

namespace {

const QString UserMark = QStringLiteral("##user##");

// A part of the template around the code, with its other placeholders
// filled in the order the whole page fills them.
QString filledAround(QString part, const PageCode &code, const QString &appName)
{
    replaceText(part, u"##addon##", code.addonScripts);
    replaceText(part, u"##appname##", appName);
    return part;
}

// The page in three pieces: the part of the template before the code, the
// code itself and the part after it, with the lines of the template's parts
// counted alone. False when the template or the code is not the usual kind;
// then only filling the page whole gives the same text.
bool fillAroundCode(const QString &joined, const PageCode &code, const QString &appName,
                    FilledTemplate &filled)
{
    // A placeholder made of the code and its neighbours needs "##" in the
    // code or a '#' at its start: a line break ends it, and a plain code's
    // only line break is at its end.
    if (!code.plainLines || code.code.isEmpty() || code.code.front() == u'#' || code.code.back() != u'\n')
        return false;
    const qsizetype userAt = findText(joined, UserMark);
    if (userAt < 0 || findText(joined, UserMark, userAt + UserMark.size()) >= 0)
        return false;
    const QString before = filledAround(joined.first(userAt), code, appName);
    const QString after = filledAround(joined.sliced(userAt + UserMark.size()), code, appName);
    // A CR before the code would pair with an empty first line's LF.
    if (before.endsWith(u'\r'))
        return false;
    filled.pieces = {before, code.code, after};
    // The last line of the part before goes on with the code's first line.
    const bool joinsCode = !before.isEmpty() && before.back() != u'\n';
    filled.lineCount = countLines(before) - (joinsCode ? 1 : 0) + code.lineBreaks + countLines(after);
    return true;
}

// How many line ends the text holds: the lines of the page before what follows it.
qsizetype lineEnds(QStringView text)
{
    const qsizetype lines = countLines(text);
    return text.isEmpty() || text.back() == u'\n' || text.back() == u'\r' ? lines : lines - 1;
}

// The page filled part by part, for code or a name that could end a script
// element early: placeholders in the whole page's order in each part, and
// every script element whose text could end it carried, line for line.
QString fillCarryingScripts(const QString &joined, const PageCode &code, const QString &appName)
{
    const auto fill = [&](QString part) {
        replaceText(part, UserMark, code.code);
        return filledAround(std::move(part), code, appName);
    };
    QString page;
    for (const TemplatePart &part : splitTemplate(joined)) {
        if (part.kind != TemplatePart::Script) {
            page += fill(part.text);
            continue;
        }
        const QString startTag = fill(part.startTag);
        const QString text = fill(part.text);
        if (staysInScript(text)) {
            page += startTag + text + fill(part.endTag);
            continue;
        }
        const StartTag tag = readStartTag(startTag, QLatin1StringView("<script").size());
        const bool external = std::any_of(tag.attributes.begin(), tag.attributes.end(),
                                          [](const Attribute &attribute) { return attribute.name == u"src"; });
        if (external)  // the file runs, the text never did: only its line ends stay
            page += startTag + QString(lineEnds(text), u'\n') + fill(part.endTag);
        else
            page += carriedScript(text, tag.attributes, lineEnds(page));
    }
    return page;
}

} // namespace

FilledTemplate fillTemplate(const QStringList &templateLines, const PageCode &code,
                            const QString &appName)
{
    FilledTemplate filled;
    for (qsizetype i = 0; i < templateLines.size(); ++i) {
        if (templateLines[i].contains(UserMark)) {
            filled.userLine = int(i);
            break;
        }
    }
    const QString joined = templateLines.join(u'\n');
    if (code.leavesScript || !staysInScript(appName)) {
        QString page = fillCarryingScripts(joined, code, appName);
        filled.lineCount = countLines(page);
        filled.pieces = {std::move(page)};
        return filled;
    }
    if (fillAroundCode(joined, code, appName, filled))
        return filled;
    QString text = joined;
    // Room for what the later placeholders add, so that they are filled in
    // place rather than in a copy of the whole page.
    text.reserve(text.size() + code.code.size() + code.addonScripts.size() + appName.size() + 1024);
    replaceText(text, UserMark, code.code);
    replaceText(text, u"##addon##", code.addonScripts);
    replaceText(text, u"##appname##", appName);
    // The code brought its own line breaks into the page: its lines are
    // those that splitLines finds.
    filled.lineCount = countLines(text);
    filled.pieces = {std::move(text)};
    return filled;
}

namespace {

GeneratedPage buildPageIn(bool use3D, const QStringList &codeLines, const QString &fileName,
                          IncludeReader &includes, const QStringList &templateLines, MessageSink &messages)
{
    GeneratedPage page;
    page.use3D = use3D;

    const ExpandedCode expanded = expandIncludes(codeLines, includes, messages);
    if (!expanded.complete) {
        // What came before the failed include was taken as usual: its
        // sprites and sounds are listed, and its errors are raised.
        page.resources = rewriteLines(expanded.lines, page.use3D, PageSizeLimit).resources;
        return page;
    }
    PageCode code = rewriteCode(expanded.lines, page.use3D);
    FilledTemplate filled = fillTemplate(templateLines, code, fileName);

    page.resources = code.resources;
    page.resources.append(QStringLiteral("js/quillfunc.js"));
    page.resources.append(page.use3D ? QStringLiteral("js/three.min.js")
                                     : QStringLiteral("js/stage.web.min.js"));
    page.pagePieces = std::move(filled.pieces);
    page.sources = expanded.sources;
    page.origins.assign(std::size_t(filled.lineCount), PageLineOrigin{});
    if (filled.userLine >= 0) {
        const qsizetype first = qsizetype(filled.userLine) + code.stubLines;
        for (qsizetype i = 0; i < qsizetype(expanded.origins.size()); ++i) {
            if (first + i >= qsizetype(page.origins.size()))
                break;
            page.origins[first + i] = {expanded.origins[i].source, expanded.origins[i].line};
        }
    }
    page.parts = {templateLines, std::move(code), fileName, TextEncoding::Local8Bit};
    page.written = true;
    return page;
}

} // namespace

GeneratedPage buildPage(const QStringList &codeLines, const QString &fileName,
                        IncludeReader &includes, const QStringList &templateLines,
                        MessageSink &messages)
{
    // Decided on the user's own lines: "setcam(" inside an included file does
    // not select 3D, while one inside a comment or a string does.
    return buildPageIn(usesCamera(codeLines), codeLines, fileName, includes, templateLines, messages);
}

GeneratedPage generatePage(const QStringList &codeLines, const QString &fileName,
                           const WorkspacePaths &paths, MessageSink &messages)
{
    const bool use3D = usesCamera(codeLines);
    const QString templateName = use3D ? QStringLiteral("tmp_3d.html") : QStringLiteral("tmp_main.html");
    const TextFileContent pageTemplate = readTextFile(paths.scriptDir + templateName);
    IncludeFileReader includes(paths.codeDir);
    GeneratedPage page = buildPageIn(use3D, codeLines, fileName, includes, pageTemplate.lines, messages);
    page.parts.encoding = pageTemplate.encoding;
    if (page.written)
        replaceFileWithLines(paths.pagePath, page.pagePieces, pageTemplate.encoding);
    return page;
}

} // namespace quill
