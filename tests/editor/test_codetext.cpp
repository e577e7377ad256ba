#include "editor/codetext.h"

#include "base/textfile.h"
#include "editor/codefiles.h"
#include "editor/lineblockscanner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <random>
#include <vector>

namespace quill {
namespace {

// Random text made for line ends: short lines of a few letters, line ends of
// every kind (lone CRs, CR LF split across any boundary), and characters of
// one, two and three bytes in UTF-8 or stray bytes above 127.
QByteArray randomText(std::mt19937 &random, int lines, bool highBytes)
{
    static const std::vector<QByteArray> pieces = {
        "a", "bc", "defgh", "  ", "\r\n", "\r\n", "\r\n", "\n", "\r", "\r\r\n", "\n\r",
    };
    static const std::vector<QByteArray> high = {
        "\xC3\xA9", "\xE2\x82\xAC", "\xEF\xBB\xBF", "\xE9", "\xFF",
    };
    QByteArray text;
    int lineEnds = 0;
    std::uniform_int_distribution<int> piece(0, int(pieces.size()) - 1);
    std::uniform_int_distribution<int> wide(0, int(high.size()) - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    while (lineEnds < lines) {
        const QByteArray &next = highBytes && percent(random) < 3 ? high[wide(random)] : pieces[piece(random)];
        lineEnds += int(next.count('\n') + next.count('\r'));
        text += next;
    }
    // Most texts end with a line end, some do not.
    if (percent(random) < 50)
        text += "x";
    return text;
}

// The offsets after every line end, counted plainly byte by byte.
std::vector<qsizetype> lineEndOffsets(const QByteArray &text)
{
    std::vector<qsizetype> ends;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')))
            ends.push_back(i + 1);
    }
    return ends;
}

TEST(LineScan, FindsEveryBlockEndAndCountsTheLines)
{
    std::mt19937 random(7);
    for (const auto steps : {LineBlockScanner::Steps::Widest, LineBlockScanner::Steps::Narrow}) {
        for (int round = 0; round < 60; ++round) {
            const int blockLines = 1 + round % 7;
            const QByteArray text = randomText(random, 20 + round * 13, round % 3 == 0);
            SCOPED_TRACE(text.toPercentEncoding().toStdString());
            const std::vector<qsizetype> ends = lineEndOffsets(text);
            std::vector<qsizetype> blockEnds;
            for (std::size_t line = blockLines; line <= ends.size(); line += blockLines)
                blockEnds.push_back(ends[line - 1]);
            if (!blockEnds.empty() && blockEnds.back() == text.size())
                blockEnds.pop_back();

            const LineBlocks blocks = scanLineBlocks(text, blockLines, steps);
            EXPECT_EQ(blocks.ends, blockEnds);
            EXPECT_EQ(blocks.lines, qsizetype(ends.size()) + (text.endsWith('x') ? 1 : 0));
            bool ascii = true;
            for (const char c : text)
                ascii = ascii && static_cast<unsigned char>(c) < 128;
            EXPECT_EQ(blocks.ascii, ascii);
            EXPECT_EQ(blocks.crLfOnly, text.count("\r\n") == qsizetype(ends.size()));
        }
    }
}

TEST(LineScan, PiecesReadOneAfterAnotherGiveTheSameBlocks)
{
    std::mt19937 random(11);
    const QByteArray text = randomText(random, 3000, true);
    const LineBlocks whole = scanLineBlocks(text, 5);
    for (const qsizetype piece : {1, 63, 64, 65, 1000}) {
        SCOPED_TRACE(piece);
        LineBlockScanner scanner(5);
        for (qsizetype read = piece; read < text.size(); read += piece)
            scanner.scan(QByteArrayView(text).first(read));
        const LineBlocks pieces = scanner.finish(text);
        EXPECT_EQ(pieces.ends, whole.ends);
        EXPECT_EQ(pieces.lines, whole.lines);
        EXPECT_EQ(pieces.crLfOnly, whole.crLfOnly);
        EXPECT_EQ(pieces.ascii, whole.ascii);
    }
}

// A code file read lazily holds exactly the lines, encoding and damage flag
// of the plain reader, and saves to exactly its bytes.
TEST(CodeText, LazyFileTextEqualsThePlainReading)
{
    std::mt19937 random(3);
    const std::vector<QByteArray> marks = {"", "", "\xEF\xBB\xBF"};
    for (int round = 0; round < 24; ++round) {
        const QByteArray text = marks[round % 3] + randomText(random, 500 + round * 250, round % 2 == 1);
        SCOPED_TRACE(round);
        const TextFileContent plain = decodeText(text);
        const CodeFileContent lazy = decodeCodeFile(text);
        EXPECT_EQ(lazy.text.toStringList(), plain.lines);
        EXPECT_EQ(lazy.encoding, plain.encoding);
        EXPECT_EQ(lazy.malformed, plain.malformed);
        for (const TextEncoding encoding : {TextEncoding::Local8Bit, TextEncoding::Utf8Bom, TextEncoding::Latin1,
                                            TextEncoding::Utf16LE}) {
            // Fresh each time: encoding may decode blocks.
            const CodeFileContent fresh = decodeCodeFile(text);
            EXPECT_EQ(fresh.text.fits(encoding), canEncode(plain.lines, encoding));
            const QByteArray lazyBytes = fresh.text.encoded(encoding);
            const QByteArray plainBytes = encodeText(plain.lines, encoding);
            qsizetype same = 0;
            while (same < std::min(lazyBytes.size(), plainBytes.size()) && lazyBytes[same] == plainBytes[same])
                ++same;
            EXPECT_EQ(lazyBytes, plainBytes) << int(encoding) << " differ at " << same << " of "
                                             << lazyBytes.size() << " / " << plainBytes.size() << ": "
                                             << plainBytes.mid(std::max<qsizetype>(same - 10, 0), 20).toPercentEncoding().toStdString();
        }
    }
}

TEST(CodeText, AFileReadInPiecesEqualsTheBytesDecodedWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    std::mt19937 random(5);
    // Large enough for several pieces, with a CR LF split at a piece's end.
    QByteArray text = randomText(random, 250000, true);
    ASSERT_GT(text.size(), 3 * 128 * 1024);
    text[128 * 1024 - 1] = '\r';
    text[128 * 1024] = '\n';
    for (const QByteArray &mark : {QByteArray(), QByteArray("\xEF\xBB\xBF")}) {
        const QByteArray file = mark + text;
        writeBinaryFile(dir.path() + "/big", file);
        const CodeFileContent read = readCodeFile(dir.path() + "/big");
        const CodeFileContent decoded = decodeCodeFile(file);
        EXPECT_EQ(read.text, decoded.text);
        EXPECT_EQ(read.encoding, decoded.encoding);
        EXPECT_EQ(read.text.encoded(read.encoding), decoded.text.encoded(decoded.encoding));
    }
}

// Edits on a text still held as bytes, across block boundaries, against the
// same edits on a plain list of lines.
TEST(CodeText, EditsAnywhereMatchAPlainListOfLines)
{
    std::mt19937 random(9);
    QByteArray bytes;
    for (int line = 0; line < 5 * CodeText::BlockLines + 17; ++line)
        bytes += "line " + QByteArray::number(line) + (line % 5 == 0 ? "\n" : "\r\n");
    CodeText text = CodeText::fromBytes(bytes, 0, CodeText::Bytes::Utf8);
    QStringList model = decodeText(bytes).lines;
    ASSERT_EQ(text.toStringList(), model);

    for (int step = 0; step < 400; ++step) {
        std::uniform_int_distribution<int> anyLine(0, std::max(model.size() - 1, qsizetype(0)));
        const int line = model.isEmpty() ? 0 : anyLine(random);
        switch (step % 5) {
        case 0:
            if (!model.isEmpty()) {
                text.modifiableLine(line).append(u'+');
                model[line].append(u'+');
            }
            break;
        case 1:
            text.insert(line, QStringLiteral("new %1").arg(step));
            model.insert(line, QStringLiteral("new %1").arg(step));
            break;
        case 2: {
            // Now and then a paste longer than two blocks.
            QStringList lines;
            const int count = step % 40 == 2 ? 3 * CodeText::BlockLines : step % 7 + 1;
            for (int i = 0; i < count; ++i)
                lines.append(QStringLiteral("paste %1 %2").arg(step).arg(i));
            text.insert(line, lines);
            for (int i = 0; i < count; ++i)
                model.insert(line + i, lines[i]);
            break;
        }
        default: {
            const int count = std::min<int>(int(model.size()) - line, step % 9 == 0 ? 1500 : step % 4 + 1);
            text.remove(line, count);
            model.remove(line, count);
            break;
        }
        }
        ASSERT_EQ(text.size(), model.size()) << step;
        if (step % 25 == 0)
            ASSERT_EQ(text.toStringList(), model) << step;
    }
    EXPECT_EQ(text.toStringList(), model);
    EXPECT_EQ(text.encoded(TextEncoding::Local8Bit), encodeText(model, TextEncoding::Local8Bit));
    EXPECT_EQ(text.mid(3, 4), model.mid(3, 4));
}

// A block keeps its bytes after its lines were read, and Save copies them:
// what it writes must still be what the plain reader's lines encode to, in
// every encoding, before and after edits of some of the blocks.
TEST(CodeText, SavingAfterReadingWritesWhatThePlainLinesEncodeTo)
{
    std::mt19937 random(13);
    struct Case {
        const char *label;
        QByteArray file;
    };
    QByteArray longCrLf;
    for (int line = 0; line < 3 * CodeText::BlockLines + 5; ++line)
        longCrLf += "var n" + QByteArray::number(line) + ";\r\n";
    const std::vector<Case> cases = {
        {"empty", ""},
        {"UTF-8 mark alone", "\xEF\xBB\xBF"},
        {"one line, no line end", "x"},
        {"mixed line ends", "a\nb\r\n\rc\r\r\nd"},
        {"bytes that are not UTF-8", "caf\xE9\r\n\xFF\x80\n"},
        {"UTF-8 mark, U+FEFF and wide characters", "\xEF\xBB\xBF\xEF\xBB\xBF\xE2\x82\xAC\r\n\xC3\xA9"},
        {"blocks of CR LF lines", longCrLf},
        {"blocks of every line end", randomText(random, 4 * CodeText::BlockLines, false)},
        {"blocks with high bytes", randomText(random, 4 * CodeText::BlockLines, true)},
        {"blocks after a mark", "\xEF\xBB\xBF" + randomText(random, 4 * CodeText::BlockLines, true)},
    };
    const TextEncoding encodings[] = {TextEncoding::Local8Bit, TextEncoding::Utf8Bom, TextEncoding::Latin1,
                                      TextEncoding::Utf16LE, TextEncoding::Utf16BE};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QStringList model = decodeText(c.file).lines;
        CodeFileContent opened = decodeCodeFile(c.file);
        ASSERT_EQ(opened.text.toStringList(), model);  // every line read
        for (const TextEncoding encoding : encodings) {
            EXPECT_EQ(opened.text.encoded(encoding), encodeText(model, encoding)) << int(encoding);
            EXPECT_EQ(opened.text.fits(encoding), canEncode(model, encoding)) << int(encoding);
        }
        // A copy read further keeps the bytes of the blocks neither changed.
        CodeText copy = opened.text;
        if (model.size() > 2) {
            const int middle = int(model.size()) / 2;
            opened.text.modifiableLine(middle).append(u'\x100');
            model[middle].append(u'\x100');
            opened.text.remove(0, 1);
            model.removeFirst();
            opened.text.insert(int(model.size()), QStringLiteral("end"));
            model.append(QStringLiteral("end"));
        }
        for (const TextEncoding encoding : encodings) {
            EXPECT_EQ(opened.text.encoded(encoding), encodeText(model, encoding)) << "edited " << int(encoding);
            EXPECT_EQ(opened.text.fits(encoding), canEncode(model, encoding)) << "edited " << int(encoding);
            EXPECT_EQ(copy.encoded(encoding), encodeText(decodeText(c.file).lines, encoding)) << "copy " << int(encoding);
        }
    }
}

// Stamps tell a reader that keeps what it found in each block which blocks
// changed: a changed block gets a new stamp, the others and copies keep theirs.
TEST(CodeText, ABlockGetsANewStampWhenItsLinesChange)
{
    QByteArray bytes;
    for (int line = 0; line < 4 * CodeText::BlockLines; ++line)
        bytes += "line\r\n";
    CodeText text = CodeText::fromBytes(bytes, 0, CodeText::Bytes::Utf8);
    ASSERT_EQ(text.blockCount(), 4);
    const auto stamps = [](const CodeText &t) {
        std::vector<quint64> all;
        for (int block = 0; block < t.blockCount(); ++block)
            all.push_back(t.blockStamp(block));
        return all;
    };
    const std::vector<quint64> before = stamps(text);
    const CodeText copy = text;
    text.at(2 * CodeText::BlockLines);  // reading changes nothing
    EXPECT_EQ(stamps(text), before);
    EXPECT_FALSE(text.blockLatin1(2).bytes.isEmpty()) << "a block read still has its bytes";

    text.modifiableLine(2 * CodeText::BlockLines + 3).append(u'!');
    std::vector<quint64> after = stamps(text);
    EXPECT_NE(after[2], before[2]);
    after[2] = before[2];
    EXPECT_EQ(after, before);
    EXPECT_TRUE(text.blockLatin1(2).bytes.isEmpty()) << "a changed block has no bytes";
    EXPECT_EQ(stamps(copy), before);

    text.insert(5, QStringLiteral("new"));
    text.remove(3 * CodeText::BlockLines + 10, 2);
    const std::vector<quint64> edited = stamps(text);
    EXPECT_NE(edited[0], before[0]);
    EXPECT_NE(edited[3], before[3]);
    EXPECT_EQ(edited[1], before[1]);
}

TEST(CodeText, ALineReadFromBytesIsTheSameStringEveryTime)
{
    // Readers that keep lines (the declared-name index) know an unchanged
    // line by its shared text.
    const CodeText text = CodeText::fromBytes("one\r\ntwo\r\n", 0, CodeText::Bytes::Utf8);
    EXPECT_TRUE(text.at(1).isSharedWith(text.at(1)));
    const QString kept = text.at(0);
    EXPECT_TRUE(kept.isSharedWith(text.at(0)));
}

} // namespace
} // namespace quill
