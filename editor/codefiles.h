#pragma once

#include "base/textfile.h"
#include "editor/codetext.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quill {

class CodeBuffer;

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

// Loading and saving the code text in the code directory. The encoding found
// by the last successful open is remembered and used by every later save, so
// that opening and saving changes no byte the user did not edit (apart from
// line ends, written CR LF). Names are checked with checkFileName.
//
//   CodeFiles files(paths.codeDir);
//   if (auto warning = files.open(QStringLiteral("cat_sample"), buffer)) show(*warning);
//   show(files.save(QStringLiteral("cat_copy"), buffer));   // "Saved."
class CodeFiles {
public:
    explicit CodeFiles(QString codeDir = QString()) : codeDir_(std::move(codeDir)) {}
    void setCodeDir(const QString &codeDir) { codeDir_ = codeDir; }

    // Loads the file into the buffer (cursor and scroll 0, CodeModified
    // cleared, history cleared). Throws QuillError when the name is refused or
    // the file cannot be read; the buffer then keeps its text. Returns a
    // warning when the file held bytes that are not text in its encoding.
    std::optional<QString> open(const QString &name, CodeBuffer &buffer);

    // Writes the buffer's lines through a temporary file and a rename and
    // clears CodeModified. Returns "Saved.", or "Saved as UTF-8." when the
    // remembered encoding cannot hold a character of the text (the file is
    // then written as UTF-8 with its mark, which is remembered). Throws
    // QuillError ("Input file name.", "Invalid file name." or the platform's
    // reason) with nothing written and CodeModified kept.
    QString save(const QString &name, CodeBuffer &buffer);

    TextEncoding encoding() const { return encoding_; }
    const QString &codeDir() const { return codeDir_; }

    static QString damagedWarning();

private:
    QString codeDir_;
    TextEncoding encoding_ = TextEncoding::Local8Bit;
};

} // namespace quill
