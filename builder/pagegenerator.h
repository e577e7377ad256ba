#pragma once

#include "base/textfile.h"
#include "builder/includeexpander.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace quill {

class MessageSink;
struct WorkspacePaths;

// The raw argument texts of the last scanned call, slots 0 to 5.
using CallArgs = std::array<QString, 6>;

// Splits the arguments of the first call of `name` ("sprite(") on a line;
// returns the number of separators taken (0 to 5). Blanks and quotes are
// removed, and what stands between a pair of quotes is taken as written
// (readQuotedArgument: blanks, commas and parentheses included), so
// sprite( 1 , 'my cat' , 2 ) has the arguments 1, my cat and 2. A quote
// that is never closed on the line is removed and quotes nothing.
int scanCallArguments(const QString &line, const QString &name, CallArgs &args);

// Why the name of a picture or a sound (a sprite's or a sndload's second
// argument, the file `folder`/name.png or .ogg) cannot be used, or nothing
// when it can. Names hold what file names hold (blanks, quotes, commas,
// letters of any script, "/" for a folder inside); refused are a control
// character or half of a surrogate pair, a way out of the folder ("..", a
// leading "/"), and what a page's address reads otherwise than as part of a
// name ("#", "?", "%" and "\"), which would make the page load another file.
// The page generator stops with "Cannot use the name "NAME" (REASON) in: LINE".
std::optional<QString> resourceNameProblem(const QString &name, const QString &folder);

// Puts header + parameters + "{};" and a line feed in front of code when code
// does not contain header.
void addHandlerStub(QString &code, const QString &header, const QString &parameters);

// The 2D texture declaration that replaces a "sprite(" line, from the slots of
// its scan and the separator count. Frames, width, height and a non-empty
// margin must be whole numbers; otherwise throws QuillError naming the text
// and the line. A declaration longer than sizeLimit characters is refused
// with QuillError before it is built.
QString textureDeclaration(const CallArgs &args, int separatorCount, const QString &line,
                           qsizetype sizeLimit = PageSizeLimit);

// A program line quoted in a message: at most 200 characters, then an ellipsis.
QString quotedLine(const QString &line);

// True when the code selects the 3D page: "setcam(" on any of its own lines
// (comments and strings included, included files not).
bool usesCamera(const QStringList &codeLines);

// The user's code as it goes into the page: sprite lines rewritten (2D),
// the resources its sprite and sound lines load, the add-on scripts (their
// tags, and the scripts they load in the same order), the handler stubs it
// lacks (stubLines lines in front of the code) and the drawing brackets.
// Lines are joined by "\n", one per expanded line.
struct PageCode {
    QString code;
    QString addonScripts;
    QStringList addonResources;
    QStringList resources;
    int stubLines = 0;
    // True when no line of the code holds a line break, a CR or "##": then
    // the code has lineBreaks line breaks, one at the end of each line, and
    // no placeholder of the template is in it or made with it.
    bool plainLines = false;
    qsizetype lineBreaks = 0;
    // True when a text of the code could end a script element early
    // (staysInScript): the page then carries the code's script as strings.
    bool leavesScript = false;
};
PageCode rewriteCode(const QStringList &lines, bool use3D, qsizetype sizeLimit = PageSizeLimit);

// The page: the template's lines joined by "\n" with "##user##",
// "##addon##" and "##appname##" filled; its text is the pieces one after
// another (the code's piece shares its text with the code), and its lines are
// those splitLines finds in that text, lineCount of them. userLine is the
// index of the page line where the code begins (-1 when the template has no
// "##user##"). When the code or the name could end a script element early,
// the template is filled part by part as an HTML parser sees it
// (splitTemplate), and each script element whose filled text could end it
// early is carried as strings (carriedScript) on as many lines as its text,
// so that the code runs as written and every line stays where it was.
struct FilledTemplate {
    QStringList pieces;
    qsizetype lineCount = 0;
    int userLine = -1;

    QString text() const { return pieces.join(QString()); }
};
FilledTemplate fillTemplate(const QStringList &templateLines, const PageCode &code,
                            const QString &appName);

// Where a line of the page came from: source 0 is the program, source k > 0
// the include file sources[k], -1 the template, the runtime or a stub.
struct PageLineOrigin {
    int source = -1;
    int line = -1;  // zero-based in its source
};

// What a page is filled from: the template's lines, the code going into it,
// the program's name for "##appname##" and the encoding the page is written
// in. Export makes the self-contained page from these.
struct PageParts {
    QStringList templateLines;
    PageCode code;
    QString appName;
    TextEncoding encoding = TextEncoding::Local8Bit;
};

struct GeneratedPage {
    bool written = false;     // false: an include could not be read (already told)
    bool use3D = false;
    // The page as written, in pieces (see FilledTemplate): its lines are
    // those splitLines finds in it, each written with CR LF (encodeLinesOf).
    QStringList pagePieces;
    QStringList resources;    // workspace-relative paths the page loads, in order
    std::vector<PageLineOrigin> origins;  // one per page line
    QStringList sources;      // sources[0] is empty: the program itself
    PageParts parts;          // what the page was filled from

    QString pageText() const { return pagePieces.join(QString()); }
};

// The page from code, an include reader and the template's lines, in memory.
// Include failures give written == false (already told); a sprite number that
// does not convert or a page too large throw QuillError.
GeneratedPage buildPage(const QStringList &codeLines, const QString &fileName,
                        IncludeReader &includes, const QStringList &templateLines,
                        MessageSink &messages);

// Turns the code into temp.html at paths.pagePath, with includes from the code
// folder and the template from the script folder; as buildPage, and a missing
// template or a failed write throw QuillError.
GeneratedPage generatePage(const QStringList &codeLines, const QString &fileName,
                           const WorkspacePaths &paths, MessageSink &messages);

} // namespace quill
