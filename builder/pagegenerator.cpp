#include "builder/pagegenerator.h"

#include "base/constants.h"
#include "base/messagesink.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "base/wholenumber.h"
#include "base/workspace.h"
#include "builder/includefilereader.h"

#include <algorithm>

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

} // namespace

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
                       [&](const QString &line) { return line.contains(cameraCall); });
}

int scanCallArguments(const QString &line, const QString &name, CallArgs &args)
{
    for (QString &slot : args)
        slot.clear();

    QString stripped = line;
    stripped.remove(u' ');
    stripped.remove(u'\'');
    stripped.remove(u'"');

    const qsizetype start = stripped.indexOf(name);
    if (start < 0)
        return 0;

    int slot = 0;
    for (qsizetype i = start + name.size(); i < stripped.size(); ++i) {
        const QChar c = stripped[i];
        if (c == u')')
            break;
        if (c == u',' && slot < 5)
            ++slot;
        else
            args[slot] += c;
    }
    return slot;
}

void addHandlerStub(QString &code, const QString &header, const QString &parameters)
{
    if (code.contains(header))
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

    QString declaration = QStringLiteral("Stage({image:'img/") + args[1]
                          + QStringLiteral(".png',textures:{");
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

// The line by line part of rewriteCode: sprite and sound lines.
PageCode rewriteLines(const QStringList &lines, bool use3D, qsizetype sizeLimit)
{
    PageCode page;
    QStringList &resources = page.resources;
    QString &code = page.code;
    CallArgs args;
    qsizetype codeSize = 0;
    for (const QString &line : lines)
        codeSize += line.size() + 1;
    code.reserve(std::min(codeSize + codeSize / 2, sizeLimit));

    for (QString line : lines) {
        if (line.contains(SpriteCall)) {
            const int separators = scanCallArguments(line, SpriteCall, args);
            const QString imagePath = QStringLiteral("img/") + args[1] + QStringLiteral(".png");
            if (!use3D)
                line = textureDeclaration(args, separators, line, sizeLimit - code.size());
            resources.append(imagePath);
        }
        if (line.contains(SoundCall)) {
            scanCallArguments(line, SoundCall, args);
            resources.append(QStringLiteral("audio/") + args[1] + QStringLiteral(".ogg"));
        }
        if (code.size() + line.size() + 1 > sizeLimit)
            throw QuillError(pageTooLarge());
        code += line;
        code += u'\n';
    }
    return page;
}

} // namespace

PageCode rewriteCode(const QStringList &lines, bool use3D, qsizetype sizeLimit)
{
    PageCode page = rewriteLines(lines, use3D, sizeLimit);
    QStringList &resources = page.resources;
    QString &code = page.code;

    const auto addScript = [&](const QString &script) {
        page.addonScripts += QStringLiteral("<script src=\"") + script + QStringLiteral("\"></script>");
        page.addonResources.append(script);
        resources.append(script);
    };
    if (code.contains(QStringLiteral("sprintf")))
        addScript(QStringLiteral("js/js-sprintf-1.0.1.min.js"));
    if (code.contains(QStringLiteral("sndload")))
        addScript(QStringLiteral("js/soundjs.min.js"));

    const qsizetype before = code.size();
    addHandlerStub(code, QStringLiteral("function init()"), QString());
    addHandlerStub(code, QStringLiteral("function move("), QStringLiteral("i)"));
    addHandlerStub(code, QStringLiteral("function update()"), QString());
    addHandlerStub(code, QStringLiteral("function mousedown("), QStringLiteral("x,y)"));
    addHandlerStub(code, QStringLiteral("function mouseup("), QStringLiteral("x,y)"));
    // Every stub is one line; none holds a line break of its own.
    page.stubLines = int(QStringView(code).left(code.size() - before).count(u'\n'));

    code.replace(QStringLiteral("bgbegin()"),
                 QStringLiteral("oGra.image(Stage.canvas(function(ctx){gctx=ctx;this.size(scx,scy)"));
    code.replace(QStringLiteral("bgend()"), QStringLiteral("}))"));

    if (code.contains(QStringLiteral("settext")) || code.contains(QStringLiteral("print")))
        resources.append(QStringLiteral("img/fnt18.png"));
    return page;
}

FilledTemplate fillTemplate(const QStringList &templateLines, const PageCode &code,
                            const QString &appName)
{
    FilledTemplate filled;
    const QString user = QStringLiteral("##user##");
    for (qsizetype i = 0; i < templateLines.size(); ++i) {
        if (templateLines[i].contains(user)) {
            filled.userLine = int(i);
            break;
        }
    }
    QString text = templateLines.join(u'\n');
    text.replace(user, code.code);
    text.replace(QStringLiteral("##addon##"), code.addonScripts);
    text.replace(QStringLiteral("##appname##"), appName);
    // The code brought its own line breaks into the page: the page is split
    // into lines again so that every line is written with CR LF.
    filled.lines = splitLines(text);
    return filled;
}

GeneratedPage buildPage(const QStringList &codeLines, const QString &fileName,
                        IncludeReader &includes, const QStringList &templateLines,
                        MessageSink &messages)
{
    GeneratedPage page;
    // Decided on the user's own lines: "setcam(" inside an included file does
    // not select 3D, while one inside a comment or a string does.
    page.use3D = usesCamera(codeLines);

    const ExpandedCode expanded = expandIncludes(codeLines, includes, messages);
    if (!expanded.complete) {
        // What came before the failed include was taken as usual: its
        // sprites and sounds are listed, and its errors are raised.
        page.resources = rewriteLines(expanded.lines, page.use3D, PageSizeLimit).resources;
        return page;
    }
    PageCode code = rewriteCode(expanded.lines, page.use3D);
    const FilledTemplate filled = fillTemplate(templateLines, code, fileName);

    page.resources = code.resources;
    page.resources.append(QStringLiteral("js/quillfunc.js"));
    page.resources.append(page.use3D ? QStringLiteral("js/three.min.js")
                                     : QStringLiteral("js/stage.web.min.js"));
    page.pageLines = filled.lines;
    page.pageText = filled.lines.join(u'\n');
    page.sources = expanded.sources;
    page.origins.assign(filled.lines.size(), PageLineOrigin{});
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

GeneratedPage generatePage(const QStringList &codeLines, const QString &fileName,
                           const WorkspacePaths &paths, MessageSink &messages)
{
    const QString templateName = usesCamera(codeLines) ? QStringLiteral("tmp_3d.html")
                                                       : QStringLiteral("tmp_main.html");
    const TextFileContent pageTemplate = readTextFile(paths.scriptDir + templateName);
    IncludeFileReader includes(paths.codeDir);
    GeneratedPage page = buildPage(codeLines, fileName, includes, pageTemplate.lines, messages);
    page.parts.encoding = pageTemplate.encoding;
    if (page.written)
        replaceFile(paths.pagePath, encodeText(page.pageLines, pageTemplate.encoding));
    return page;
}

} // namespace quill
