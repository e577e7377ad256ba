#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QSaveFile>
#include <QString>
#include <QStringConverter>
#include <QStringList>

#include <functional>

namespace quill {

// How a text file was stored: the byte-order mark found on reading decides,
// and the same mark is written again on saving. Files without a mark use the
// system's 8-bit code page, which is UTF-8 here; a file without a mark that
// is not valid UTF-8 is an older 8-bit file, read and written back byte for
// byte as Latin-1.
enum class TextEncoding { Local8Bit, Utf8Bom, Utf16LE, Utf16BE, Latin1 };

struct TextFileContent {
    QStringList lines;
    TextEncoding encoding = TextEncoding::Local8Bit;
    // Bytes that do not form text in the marked encoding (a UTF-16 file with
    // an odd length or a broken surrogate) were read as replacement characters.
    bool malformed = false;
};

// Splits at CR LF, lone LF and lone CR; a final line end makes no empty last line.
QStringList splitLines(QStringView text);
// How many lines splitLines finds, without making them.
qsizetype countLines(QStringView text);

// Decodes bytes by their byte-order mark (which is not part of the text).
TextFileContent decodeText(const QByteArray &bytes);

// The byte-order mark written first (none for 8-bit text without one), and
// the converter of the characters that follow it.
QByteArray byteOrderMark(TextEncoding encoding);
QStringConverter::Encoding converterOf(TextEncoding encoding);
// True for the encodings of one byte per ASCII character, where a line end
// is a byte of its own.
bool isEightBit(TextEncoding encoding);

// Encodes lines with CR LF after every line, the last included, mark first.
QByteArray encodeText(const QStringList &lines, TextEncoding encoding);

// True when every character of the lines survives a round trip through the
// encoding (Latin-1 holds codes up to 255 only; the others hold any text).
bool canEncode(const QStringList &lines, TextEncoding encoding);

// Reads a whole text file through readRegularFile (base/filereader.h): a
// regular file of at most TextFileLimit bytes, else QuillError "Failed to
// open NAME." or "Too large: NAME." (NAME the file's name without its
// folder); other failures throw QuillError with the platform's message.
TextFileContent readTextFile(const QString &path);
// The same for the bytes. Once each piece is in, readSoFar (when given) sees
// the bytes read so far.
QByteArray readBinaryFile(const QString &path,
                          const std::function<void(QByteArrayView readSoFar)> &readSoFar = {});

// Makes the folder and the folders above it that are missing; throws
// QuillError "Cannot create folder "FOLDER". REASON" with the platform's
// reason (a read-only or full disk, a file where a folder should be, no
// permission) when it cannot. A folder that is there is nothing to make.
void makeFolder(const QString &folder);

// Writes through a temporary file and a rename, so a failed write never leaves
// a truncated file behind; throws QuillError with the platform's message.
void writeTextFile(const QString &path, const QStringList &lines,
                   TextEncoding encoding = TextEncoding::Local8Bit);
void writeBinaryFile(const QString &path, const QByteArray &bytes);

// A file written piece by piece under a temporary name and put in place by
// commit(): until then an existing file of that name stays as it was, and
// one dropped without commit() leaves nothing behind. Throws QuillError with
// the platform's message, as writeBinaryFile does.
//
//   PendingFile page(path);
//   page.write(head); page.write(body);
//   page.commit();
class PendingFile {
public:
    explicit PendingFile(const QString &path);
    void write(QByteArrayView bytes);
    void commit();

private:
    [[noreturn]] void failed(int writeErrno);
    QSaveFile file_;
    QString path_;
};

// The same replacement through a temporary file and a rename, without
// waiting for the disk to hold the bytes: for files made again whenever they
// are needed (the generated page), where a crash may lose the new file but
// never leaves a half one.
void replaceFile(const QString &path, const QByteArray &bytes);
// The same with the text that is the pieces one after another, written as
// encodeText(splitLines(text), encoding) would write it, a chunk at a time,
// without putting the text together or holding all its bytes.
void replaceFileWithLines(const QString &path, const QStringList &pieces, TextEncoding encoding);

} // namespace quill
