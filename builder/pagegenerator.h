#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace quill {

class MessageSink;
struct WorkspacePaths;

// The raw argument texts of the last scanned call, slots 0 to 5.
using CallArgs = std::array<QString, 6>;

// Splits the arguments of the first call of `name` ("sprite(") on a line, with
// blanks and quotes removed; returns the number of separators taken (0 to 5).
int scanCallArguments(const QString &line, const QString &name, CallArgs &args);

// Puts header + parameters + "{};" and a line feed in front of code when code
// does not contain header.
void addHandlerStub(QString &code, const QString &header, const QString &parameters);

// The 2D texture declaration that replaces a "sprite(" line, from the slots of
// its scan and the separator count. Frames, width, height and a non-empty
// margin must be whole numbers; otherwise throws QuillError naming the text
// and the line.
QString textureDeclaration(const CallArgs &args, int separatorCount, const QString &line);

struct GeneratedPage {
    bool written = false;     // false: an include could not be read (already told)
    bool use3D = false;
    QString pageText;         // the page as written, lines joined by "\n"
    QStringList resources;    // workspace-relative paths the page loads, in order
};

// Turns the code into temp.html at paths.pagePath. Include failures and include
// cycles are told through messages and give written == false; a sprite number
// that does not convert, a missing template or a failed write throw QuillError.
GeneratedPage generatePage(const QStringList &codeLines, const QString &fileName,
                           const WorkspacePaths &paths, MessageSink &messages);

} // namespace quill
