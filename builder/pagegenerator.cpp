#include "builder/pagegenerator.h"

#include "app/base/messagesink.h"
#include "app/base/wholenumber.h"
#include "app/base/quillerror.h"
#include "app/base/textfile.h"
#include "app/base/workspace.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <vector>

namespace quill {

namespace {

const QString IncludePrefix = QStringLiteral("include ");
const QString SpriteCall = QStringLiteral("sprite(");
const QString SoundCall = QStringLiteral("sndload(");

// Every expansion of an include line counts, nested or not. Real programs use
// a handful; the limit stops what the cycle test cannot see: include trees
// that double at every level, or a cycle through hard links.
constexpr int MaxIncludeExpansions = 100000;

// One sprite line builds one texture entry per frame. Sheets from the sprite
// editor hold at most 32 cels; the limit keeps a mistyped count from building
// a page of gigabytes.
constexpr qint64 MaxSpriteFrames = 10000;

qint64 spriteNumber(const QString &text, const QString &line)
{
    const std::optional<int> value = toWholeNumber(text);
    if (!value)
        throw QuillError(QStringLiteral("Invalid number '%1' in: %2").arg(text, line));
    return *value;
}

// One file of the include chain whose lines are being taken, or the user's
// code at the bottom of the chain (empty identity).
struct SourceFrame {
    QStringList lines;
    qsizetype next = 0;
    QString identity;
};

// Include files as read, by the path they were looked up under; a file
// included many times is read from disk once per generation.
struct IncludeFile {
    QStringList lines;
    QString identity;
};

enum class IncludeOutcome { Expanded, Failed };

} // namespace

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

QString textureDeclaration(const CallArgs &args, int separatorCount, const QString &line)
{
    const qint64 frames = spriteNumber(args[2], line);
    qint64 width = 34;
    qint64 height = 34;
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
        throw QuillError(QStringLiteral("Too many frames '%1' in: %2").arg(args[2], line));

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

GeneratedPage generatePage(const QStringList &codeLines, const QString &fileName,
                           const WorkspacePaths &paths, MessageSink &messages)
{
    GeneratedPage page;
    QStringList &resources = page.resources;

    qsizetype codeSize = 0;
    for (const QString &line : codeLines)
        codeSize += line.size() + 1;

    // Decided on the user's own lines: "setcam(" inside an included file does
    // not select 3D, while one inside a comment or a string does. No line
    // break is part of the text, so testing line by line is testing the
    // joined code.
    const QString cameraCall = QStringLiteral("setcam(");
    page.use3D = std::any_of(codeLines.begin(), codeLines.end(),
                             [&](const QString &line) { return line.contains(cameraCall); });

    // The lines are taken in order from a chain of sources: an include line
    // opens its file on top of the chain, so the file's lines come next, each
    // examined afresh (an included include line expands again), and the
    // source below continues when the file is used up. This is the same
    // order as splicing the file's lines into a list in place of the include
    // line, without moving the rest of the list on every include.
    std::vector<SourceFrame> chain;
    chain.push_back(SourceFrame{codeLines, 0, QString()});
    QSet<QString> openIncludes;
    QHash<QString, IncludeFile> includeFiles;
    int expansions = 0;

    QString code;
    code.reserve(codeSize + codeSize / 2);
    CallArgs args;

    while (!chain.empty()) {
        SourceFrame &source = chain.back();
        // A file leaves the chain only once its last line has been dealt
        // with, so a last line that includes the file itself is a cycle.
        if (source.next == source.lines.size()) {
            openIncludes.remove(source.identity);
            chain.pop_back();
            continue;
        }
        QString line = source.lines.at(source.next++);

        if (line.startsWith(IncludePrefix)) {
            const QString name = line.mid(IncludePrefix.size());
            const QString path = paths.codeDir + name;
            auto cached = includeFiles.constFind(path);
            if (cached == includeFiles.constEnd()) {
                IncludeFile file;
                try {
                    file.lines = readTextFile(path).lines;
                } catch (const QuillError &) {
                    messages.showMessage(QStringLiteral("Failed to open ") + name);
                    return page;
                }
                const QString canonical = QFileInfo(path).canonicalFilePath();
                file.identity = canonical.isEmpty() ? path : canonical;
                cached = includeFiles.insert(path, file);
            }
            if (openIncludes.contains(cached->identity)) {
                messages.showMessage(QStringLiteral("Include cycle at %1.").arg(name));
                return page;
            }
            if (++expansions > MaxIncludeExpansions) {
                messages.showMessage(QStringLiteral("Too many includes at %1.").arg(name));
                return page;
            }
            openIncludes.insert(cached->identity);
            chain.push_back(SourceFrame{cached->lines, 0, cached->identity});
            continue;
        }

        if (line.contains(SpriteCall)) {
            const int separators = scanCallArguments(line, SpriteCall, args);
            const QString imagePath = QStringLiteral("img/") + args[1] + QStringLiteral(".png");
            if (!page.use3D)
                line = textureDeclaration(args, separators, line);
            resources.append(imagePath);
        }
        if (line.contains(SoundCall)) {
            scanCallArguments(line, SoundCall, args);
            resources.append(QStringLiteral("audio/") + args[1] + QStringLiteral(".ogg"));
        }
        code += line;
        code += u'\n';
    }

    QString addonScripts;
    if (code.contains(QStringLiteral("sprintf"))) {
        addonScripts = QStringLiteral("<script src=\"js/js-sprintf-1.0.1.min.js\"></script>");
        resources.append(QStringLiteral("js/js-sprintf-1.0.1.min.js"));
    }
    if (code.contains(QStringLiteral("sndload"))) {
        addonScripts += QStringLiteral("<script src=\"js/soundjs.min.js\"></script>");
        resources.append(QStringLiteral("js/soundjs.min.js"));
    }

    addHandlerStub(code, QStringLiteral("function init()"), QString());
    addHandlerStub(code, QStringLiteral("function move("), QStringLiteral("i)"));
    addHandlerStub(code, QStringLiteral("function update()"), QString());
    addHandlerStub(code, QStringLiteral("function mousedown("), QStringLiteral("x,y)"));
    addHandlerStub(code, QStringLiteral("function mouseup("), QStringLiteral("x,y)"));

    code.replace(QStringLiteral("bgbegin()"),
                 QStringLiteral("oGra.image(Stage.canvas(function(ctx){gctx=ctx;this.size(scx,scy)"));
    code.replace(QStringLiteral("bgend()"), QStringLiteral("}))"));

    if (code.contains(QStringLiteral("settext")) || code.contains(QStringLiteral("print")))
        resources.append(QStringLiteral("img/fnt18.png"));

    const QString templateName = page.use3D ? QStringLiteral("tmp_3d.html")
                                            : QStringLiteral("tmp_main.html");
    const TextFileContent pageTemplate = readTextFile(paths.scriptDir + templateName);

    QString text = pageTemplate.lines.join(u'\n');
    text.replace(QStringLiteral("##user##"), code);
    text.replace(QStringLiteral("##addon##"), addonScripts);
    text.replace(QStringLiteral("##appname##"), fileName);

    // The code brought its own line breaks into the page: the page is split
    // into lines again so that every line is written with CR LF.
    const QStringList pageLines = splitLines(text);
    writeTextFile(paths.pagePath, pageLines, pageTemplate.encoding);

    resources.append(QStringLiteral("js/quillfunc.js"));
    resources.append(page.use3D ? QStringLiteral("js/three.min.js")
                                : QStringLiteral("js/stage.web.min.js"));
    page.pageText = pageLines.join(u'\n');
    page.written = true;
    return page;
}

} // namespace quill
