#pragma once

#include "base/textfile.h"
#include "editor/lineblockscanner.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <initializer_list>
#include <iterator>
#include <vector>

namespace quill {

// The lines of the program text, kept in blocks of about BlockLines lines.
// Text read from an 8-bit file keeps its bytes, and a block becomes lines of
// 16-bit characters only when one of its lines is first read or changed: a
// large file opens at about the cost of reading it, and an edit moves the
// lines of one block, not of the whole text. A block keeps its bytes until
// one of its lines changes, so that saving a text that was only read copies
// them instead of encoding its lines again.
//
// Reading is const and may decode a block; a reference returned by at()
// stays valid until the next change of the text.
//
//   CodeText text = CodeText::fromBytes(bytes, 0, CodeText::Bytes::Utf8);
//   text.at(1000);                       // decodes the block holding line 1000
//   text.modifiableLine(3).append(u';');
//   text.insert(4, QStringLiteral("}"));
class CodeText {
public:
    static constexpr int BlockLines = 1024;

    // How the kept bytes become characters.
    enum class Bytes { Latin1, Utf8 };

    CodeText() = default;
    CodeText(const QStringList &lines); // NOLINT: a list of lines is a text
    CodeText(std::initializer_list<QString> lines);

    // The lines of bytes[start..], split at CR LF, LF and CR (a final line
    // end makes no empty last line). UTF-8 bytes must be valid UTF-8.
    static CodeText fromBytes(QByteArray bytes, qsizetype start, Bytes decoding);
    // The same with the blocks of bytes[start..] already found.
    static CodeText fromBytes(QByteArray bytes, qsizetype start, Bytes decoding,
                              const LineBlocks &blocks);

    int size() const { return count_; }
    bool isEmpty() const { return count_ == 0; }
    const QString &at(int index) const
    {
        // Lines are mostly read in runs within one block.
        const unsigned offset = unsigned(index - readFirst_);
        if (offset < unsigned(readCount_))
            return blocks_[std::size_t(readBlock_)].lines.at(offset);
        return atOtherBlock(index);
    }
    const QString &operator[](int index) const { return at(index); }
    const QString &first() const { return at(0); }
    const QString &last() const { return at(count_ - 1); }
    QStringList mid(int index, int count) const;
    QStringList toStringList() const;
    // About what the text holds in memory, without decoding anything.
    qsizetype approximateBytes() const;

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = QString;
        using difference_type = std::ptrdiff_t;
        using pointer = const QString *;
        using reference = const QString &;
        const_iterator() = default;
        const_iterator(const CodeText *text, int index) : text_(text), index_(index) {}
        reference operator*() const { return text_->at(index_); }
        pointer operator->() const { return &text_->at(index_); }
        const_iterator &operator++() { ++index_; return *this; }
        const_iterator operator++(int) { const_iterator old = *this; ++index_; return old; }
        friend bool operator==(const const_iterator &, const const_iterator &) = default;

    private:
        const CodeText *text_ = nullptr;
        int index_ = 0;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, count_}; }

    // ---- blocks -------------------------------------------------------------
    // For readers that keep what they found in each block (the declared-name
    // index): a block's stamp is new whenever one of its lines changes, and
    // stays the same in a copy of the text until the copy changes it.
    int blockCount() const { return int(blocks_.size()); }
    int blockFirstLine(int block) const { return firsts_[std::size_t(block)]; }
    int blockLineCount(int block) const { return blocks_[std::size_t(block)].count; }
    quint64 blockStamp(int block) const { return blocks_[std::size_t(block)].stamp; }
    // The bytes of a block whose lines are still those of the file and hold
    // one character in each byte (Latin-1, or ASCII), line ends included
    // (forEachLine splits them); empty for any other block, whose lines are
    // read with at().
    struct Latin1Block {
        QByteArrayView bytes;
        bool crLfOnly = false; // every line end is CR LF
    };
    Latin1Block blockLatin1(int block) const;

    // ---- changes ----------------------------------------------------------
    // Indexes are not checked: the caller keeps them inside the text.
    QString &modifiableLine(int index);
    void insert(int index, const QString &line);
    void insert(int index, const QStringList &lines);
    void remove(int index, int count = 1);

    // ---- files --------------------------------------------------------------
    // Whether every character survives the encoding (see canEncode).
    bool fits(TextEncoding encoding) const;
    // The bytes of the file (see encodeText): CR LF after every line, the
    // mark first. Blocks still held as bytes of the same encoding are copied
    // with their line ends rewritten, not decoded.
    QByteArray encoded(TextEncoding encoding) const;

    friend bool operator==(const CodeText &a, const CodeText &b);

private:
    struct Block {
        mutable QStringList lines; // empty until decoded for a block held as bytes
        qsizetype begin = 0;       // the block's bytes, while it has them
        qsizetype end = 0;
        int count = 0;
        quint64 stamp = 0;
        mutable bool decoded = true;
        bool hasBytes = false;     // the lines are those of bytes_[begin, end)
    };

    // The block holding the line.
    int blockOf(int index) const;
    const QString &atOtherBlock(int index) const;
    void forgetRead() { readCount_ = 0; }
    void decode(const Block &block) const;
    const QStringList &linesOf(int block) const;
    // The block's lines are about to change: it gets a new stamp and lets
    // go of its bytes.
    QStringList &changing(int block);
    void dropBytes(Block &block);
    void renumberFrom(int block);
    void splitLarge(int block);
    bool sameBytes(TextEncoding encoding) const;

    std::vector<Block> blocks_;
    std::vector<int> firsts_; // the index of each block's first line
    int count_ = 0;
    // The bytes of the blocks that have them, let go once none is left.
    QByteArray bytes_;
    qsizetype byteBlocks_ = 0;
    Bytes decoding_ = Bytes::Latin1;
    bool ascii_ = true;    // the bytes hold no byte above 127
    bool crLfOnly_ = true; // every line end in the bytes is CR LF
    // The block of the last line read: decoded, first line and size.
    mutable int readBlock_ = 0;
    mutable int readFirst_ = 0;
    mutable int readCount_ = 0;
};

} // namespace quill
