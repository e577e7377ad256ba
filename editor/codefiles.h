#pragma once

#include "base/textfile.h"
#include "editor/codetext.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quill {

class CodeBuffer;
class MessageSink;

// The text of a code file's bytes, as decodeText reads it: by the
// byte-order mark, else UTF-8, else Latin-1. Text of 8 bits stays bytes
// until its lines are read.
struct CodeFileContent {
    CodeText text;
    TextEncoding encoding = TextEncoding::Local8Bit;
    bool malformed = false;
};
CodeFileContent decodeCodeFile(QByteArray bytes);
// Reads and decodes a code file (the lines are found while it is read);
// throws QuillError with the platform's message.
CodeFileContent readCodeFile(const QString &path);

// The bytes Save writes for the buffer's text in an encoding: CR LF after
// every line, the mark first; no line at all while the buffer stands for
// text without lines.
QByteArray codeFileBytes(const CodeBuffer &buffer, TextEncoding encoding);

// Loading and saving the code text in the code directory. The buffer's file
// identity remembers the encoding found by the last open and every later
// save uses it, so that opening and saving changes no byte the user did not
// edit (apart from line ends, written CR LF); undoing an Open brings the
// former encoding back with the former text. Names are checked with
// checkFileName.
//
//   CodeFiles files(paths.codeDir);
//   if (auto warning = files.open(QStringLiteral("cat_sample"), buffer)) show(*warning);
//   show(*files.save(QStringLiteral("cat_copy"), buffer, messages));   // "Saved."
class CodeFiles {
public:
    explicit CodeFiles(QString codeDir = QString()) : codeDir_(std::move(codeDir)) {}
    void setCodeDir(const QString &codeDir) { codeDir_ = codeDir; }

    // Loads the file into the buffer as one undo step (cursor and scroll 0,
    // CodeModified cleared, the identity: the name, the file, its encoding).
    // Throws QuillError when the name is refused or the file cannot be read;
    // the buffer then keeps its text. Returns a warning when the file held
    // bytes that are not text in its encoding.
    std::optional<QString> open(const QString &name, CodeBuffer &buffer);

    // Writes the buffer's lines through a temporary file and a rename (no
    // line at all while the buffer stands for text without lines, so that an
    // empty file or a mark alone comes back as it was) and clears
    // CodeModified. Another existing file than the one the text came
    // from is replaced only after "Replace NAME?" was answered yes; for no,
    // nothing is written and nothing is returned. Returns "Saved.", or "Saved
    // as UTF-8." when the remembered encoding cannot hold a character of the
    // text (the file is then written as UTF-8 with its mark, which is
    // remembered). Throws QuillError ("Input file name.", "Invalid file
    // name." or the platform's reason) with nothing written and CodeModified kept.
    std::optional<QString> save(const QString &name, CodeBuffer &buffer, MessageSink &messages);

    const QString &codeDir() const { return codeDir_; }

    static QString damagedWarning();

private:
    QString codeDir_;
};

} // namespace quill
