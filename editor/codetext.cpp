#include "editor/codetext.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <atomic>
#include <cstring>

namespace quill {

namespace {

// Stamps are never used twice, in any text (copies travel to the journal's thread).
quint64 newStamp()
{
    static std::atomic<quint64> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

// Copies lines of bytes with every line end written as CR LF.
char *copyWithCrLf(const char *from, const char *to, char *out)
{
    while (from < to) {
        const char c = *from++;
        if (c == '\r') {
            if (from < to && *from == '\n')
                ++from;
        } else if (c != '\n') {
            *out++ = c;
            continue;
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    return out;
}

} // namespace

CodeText::CodeText(const QStringList &lines)
{
    for (qsizetype first = 0; first < lines.size(); first += BlockLines) {
        Block block;
        block.lines = lines.mid(first, BlockLines);
        block.count = int(block.lines.size());
        block.stamp = newStamp();
        blocks_.push_back(std::move(block));
    }
    count_ = int(lines.size());
    renumberFrom(0);
}

CodeText::CodeText(std::initializer_list<QString> lines) : CodeText(QStringList(lines)) {}

CodeText CodeText::fromBytes(QByteArray bytes, qsizetype start, Bytes decoding)
{
    const LineBlocks blocks = scanLineBlocks(QByteArrayView(bytes).sliced(start), BlockLines);
    return fromBytes(std::move(bytes), start, decoding, blocks);
}

CodeText CodeText::fromBytes(QByteArray bytes, qsizetype start, Bytes decoding, const LineBlocks &scan)
{
    CodeText text;
    qsizetype begin = start;
    qsizetype left = scan.lines;
    for (std::size_t block = 0; left > 0; ++block) {
        Block held;
        held.begin = begin;
        held.end = block < scan.ends.size() ? start + scan.ends[block] : bytes.size();
        held.count = int(std::min<qsizetype>(left, BlockLines));
        held.stamp = newStamp();
        held.decoded = false;
        held.hasBytes = true;
        text.blocks_.push_back(held);
        begin = held.end;
        left -= held.count;
    }
    text.count_ = int(scan.lines);
    text.byteBlocks_ = qsizetype(text.blocks_.size());
    text.bytes_ = std::move(bytes);
    // ASCII reads the same either way, and Latin-1 is the quicker to decode.
    text.decoding_ = scan.ascii ? Bytes::Latin1 : decoding;
    text.ascii_ = scan.ascii;
    text.crLfOnly_ = scan.crLfOnly;
    text.renumberFrom(0);
    return text;
}

int CodeText::blockOf(int index) const
{
    const auto after = std::upper_bound(firsts_.cbegin(), firsts_.cend(), index);
    return int(after - firsts_.cbegin()) - 1;
}

void CodeText::decode(const Block &block) const
{
    // Line by line: a line end is one byte of its own in these encodings.
    const char *const from = bytes_.constData() + block.begin;
    QStringList lines;
    lines.reserve(block.count);
    if (decoding_ == Bytes::Latin1) {
        forEachLine(from, bytes_.constData() + block.end, crLfOnly_,
                    [&](const char *line, qsizetype size) { lines.append(QString::fromLatin1(line, size)); });
    } else {
        // A line may begin with U+FEFF, which is a character here, not a mark.
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless
                                   | QStringConverter::Flag::ConvertInitialBom);
        forEachLine(from, bytes_.constData() + block.end, crLfOnly_, [&](const char *line, qsizetype size) {
            lines.append(decoder.decode(QByteArrayView(line, size)));
        });
    }
    block.lines = std::move(lines);
    block.decoded = true;
}

const QStringList &CodeText::linesOf(int block) const
{
    const Block &held = blocks_[block];
    if (!held.decoded)
        decode(held);
    return held.lines;
}

QStringList &CodeText::changing(int block)
{
    linesOf(block);
    Block &held = blocks_[std::size_t(block)];
    dropBytes(held);
    held.stamp = newStamp();
    forgetRead();
    return held.lines;
}

void CodeText::dropBytes(Block &block)
{
    if (!block.hasBytes)
        return;
    block.hasBytes = false;
    if (--byteBlocks_ == 0)
        bytes_ = QByteArray();
}

CodeText::Latin1Block CodeText::blockLatin1(int block) const
{
    const Block &held = blocks_[std::size_t(block)];
    if (!held.hasBytes || decoding_ != Bytes::Latin1)
        return {};
    return {QByteArrayView(bytes_.constData() + held.begin, held.end - held.begin), crLfOnly_};
}

const QString &CodeText::atOtherBlock(int index) const
{
    const int block = blockOf(index);
    const QStringList &lines = linesOf(block);
    readBlock_ = block;
    readFirst_ = firsts_[block];
    readCount_ = blocks_[block].count;
    return lines.at(index - readFirst_);
}

QStringList CodeText::mid(int index, int count) const
{
    QStringList lines;
    lines.reserve(count);
    for (int line = index; line < index + count; ++line)
        lines.append(at(line));
    return lines;
}

qsizetype CodeText::approximateBytes() const
{
    qsizetype size = qsizetype(sizeof(CodeText));
    for (const Block &block : blocks_) {
        size += qsizetype(sizeof(Block));
        if (!block.decoded) {
            size += block.end - block.begin;
            continue;
        }
        for (const QString &line : block.lines)
            size += qsizetype(sizeof(QString)) + line.size() * qsizetype(sizeof(QChar));
    }
    return size;
}

QStringList CodeText::toStringList() const
{
    return mid(0, count_);
}

QString &CodeText::modifiableLine(int index)
{
    const int block = blockOf(index);
    return changing(block)[index - firsts_[block]];
}

void CodeText::insert(int index, const QString &line)
{
    insert(index, QStringList{line});
}

void CodeText::insert(int index, const QStringList &lines)
{
    if (lines.isEmpty())
        return;
    if (blocks_.empty()) {
        blocks_.push_back(Block{});
        renumberFrom(0);
    }
    const int block = index == count_ ? int(blocks_.size()) - 1 : blockOf(index);
    QStringList &held = changing(block);
    // One gap for all the lines keeps the insertion linear.
    const qsizetype at = index - firsts_[block];
    held.insert(at, lines.size(), QString());
    std::copy(lines.cbegin(), lines.cend(), held.begin() + at);
    blocks_[std::size_t(block)].count = int(held.size());
    count_ += int(lines.size());
    splitLarge(block);
    renumberFrom(block);
}

void CodeText::remove(int index, int count)
{
    while (count > 0) {
        const int block = blockOf(index);
        Block &held = blocks_[block];
        const int offset = index - firsts_[block];
        const int removed = std::min(count, held.count - offset);
        if (removed == held.count) {
            dropBytes(held);
            blocks_.erase(blocks_.begin() + block);
        } else {
            changing(block).remove(offset, removed);
            held.count -= removed;
        }
        count -= removed;
        count_ -= removed;
        renumberFrom(block);
    }
}

void CodeText::renumberFrom(int block)
{
    firsts_.resize(blocks_.size());
    for (std::size_t at = std::max(block, 0); at < blocks_.size(); ++at)
        firsts_[at] = at == 0 ? 0 : firsts_[at - 1] + blocks_[at - 1].count;
    forgetRead();
}

void CodeText::splitLarge(int block)
{
    // A block that grew past twice its size (a paste of many lines) is cut
    // into blocks of the usual size.
    if (blocks_[block].count <= 2 * BlockLines)
        return;
    const QStringList lines = std::move(blocks_[block].lines);
    std::vector<Block> pieces;
    for (qsizetype first = 0; first < lines.size(); first += BlockLines) {
        Block piece;
        piece.lines = lines.mid(first, BlockLines);
        piece.count = int(piece.lines.size());
        piece.stamp = newStamp();
        pieces.push_back(std::move(piece));
    }
    blocks_.erase(blocks_.begin() + block);
    blocks_.insert(blocks_.begin() + block, std::make_move_iterator(pieces.begin()),
                   std::make_move_iterator(pieces.end()));
}

bool CodeText::sameBytes(TextEncoding encoding) const
{
    switch (encoding) {
    case TextEncoding::Local8Bit:
    case TextEncoding::Utf8Bom: return ascii_ || decoding_ == Bytes::Utf8;
    case TextEncoding::Latin1: return ascii_ || decoding_ == Bytes::Latin1;
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: return false;
    }
    return false;
}

bool CodeText::fits(TextEncoding encoding) const
{
    if (encoding != TextEncoding::Latin1)
        return true;
    for (int block = 0; block < int(blocks_.size()); ++block) {
        if (blocks_[block].hasBytes && sameBytes(encoding))
            continue;
        for (const QString &line : linesOf(block))
            for (const QChar c : line)
                if (c.unicode() > 0xFF)
                    return false;
    }
    return true;
}

QByteArray CodeText::encoded(TextEncoding encoding) const
{
    const QByteArray mark = byteOrderMark(encoding);
    const bool copyBytes = sameBytes(encoding);
    QStringEncoder encoder(converterOf(encoding));
    qsizetype space = mark.size();
    for (const Block &block : blocks_) {
        if (block.hasBytes && copyBytes) {
            // Each line end may grow from one byte to two, and the last line may lack one.
            space += block.end - block.begin + block.count + 2;
        } else {
            for (const QString &line : block.lines)
                space += encoder.requiredSpace(line.size() + 2);
        }
    }
    // Lines still undecoded that must change their encoding are decoded
    // here; the space they need is then counted as they come. A block that
    // still has its bytes in the same encoding is copied, decoded or not.
    QByteArray bytes(space, Qt::Uninitialized);
    qsizetype used = 0;
    const auto room = [&](qsizetype more) {
        if (used + more > bytes.size())
            bytes.resize(std::max(used + more, bytes.size() * 2));
        return bytes.data() + used;
    };
    std::memcpy(room(mark.size()), mark.constData(), std::size_t(mark.size()));
    used += mark.size();
    static const QString LineEnd = QStringLiteral("\r\n");
    for (int block = 0; block < int(blocks_.size()); ++block) {
        const Block &held = blocks_[block];
        if (held.hasBytes && copyBytes) {
            const char *from = bytes_.constData() + held.begin;
            const char *to = bytes_.constData() + held.end;
            char *out = room(held.end - held.begin + held.count + 2);
            if (crLfOnly_) {
                std::memcpy(out, from, std::size_t(to - from));
                out += to - from;
            } else {
                out = copyWithCrLf(from, to, out);
            }
            // Only the text's last line may lack a line end of its own.
            if (to[-1] != '\n' && to[-1] != '\r') {
                *out++ = '\r';
                *out++ = '\n';
            }
            used = out - bytes.data();
            continue;
        }
        const bool counted = held.decoded;
        for (const QString &line : linesOf(block)) {
            char *out = room(counted ? 0 : encoder.requiredSpace(line.size() + 2));
            out = encoder.appendToBuffer(out, line);
            out = encoder.appendToBuffer(out, LineEnd);
            used = out - bytes.data();
        }
    }
    bytes.truncate(used);
    return bytes;
}

bool operator==(const CodeText &a, const CodeText &b)
{
    if (a.size() != b.size())
        return false;
    for (int line = 0; line < a.size(); ++line)
        if (a.at(line) != b.at(line))
            return false;
    return true;
}

} // namespace quill
