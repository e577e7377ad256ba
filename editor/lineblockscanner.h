#pragma once

#include <QByteArrayView>

#include <cstring>
#include <vector>

namespace quill {

// Where 8-bit text falls into blocks of lines. Lines end at CR LF, lone LF
// and lone CR, as splitLines has it: a final line end makes no empty last
// line. Every block but the last holds exactly blockLines lines; a block
// never ends between the CR and the LF of one line end.
struct LineBlocks {
    std::vector<qsizetype> ends; // byte offset after each block but the last
    qsizetype lines = 0;         // lines in the whole text
    bool ascii = true;           // no byte above 127
    bool crLfOnly = true;        // every line end is CR LF
};

// Finds the blocks in one pass, which may follow the bytes as they are read
// (while the last piece read is still in the cache):
//
//   LineBlockScanner scanner(1024);
//   while (reading) scanner.scan(QByteArrayView(buffer, bytesSoFar));
//   LineBlocks blocks = scanner.finish(QByteArrayView(buffer, size));
//
// Every view begins at the text's first byte and holds at least the bytes of
// the view before; the buffer may move between calls.
class LineBlockScanner {
public:
    // Steps of 32 bytes are used where the processor has them; narrow
    // keeps to the 16-byte steps that every x86-64 processor has.
    enum class Steps { Widest, Narrow };
    explicit LineBlockScanner(int blockLines, Steps steps = Steps::Widest)
        : blockLines_(blockLines), nextBlockEnd_(blockLines), steps_(steps)
    {
    }
    // Scans what it can of the bytes so far (a line end is only sure once
    // the byte after it is known).
    void scan(QByteArrayView soFar);
    LineBlocks finish(QByteArrayView all);

private:
    void lineEndBefore(qsizetype offset);
    // Line ends in 64 bytes from data[at], as bit masks; CR LF counts at its LF.
    void take(quint64 lfs, quint64 crs, bool lfAfter, qsizetype at);
    qsizetype scanSse2(const char *data, qsizetype size, qsizetype from);
    qsizetype scanAvx2(const char *data, qsizetype size, qsizetype from);

    LineBlocks blocks_;
    int blockLines_;
    qsizetype nextBlockEnd_;
    Steps steps_;
    qsizetype lineEnds_ = 0;
    qsizetype scanned_ = 0;
    unsigned high_ = 0;        // bits of bytes above 127
    quint64 crBefore_ = 0;     // the byte before scanned_ is a CR
    quint64 notCrLf_ = 0;      // bits of line ends that are not CR LF
};

// Calls line(begin, size) for each line of bytes[from, to), split as
// splitLines splits: at CR LF, LF and CR, a final line end making no empty
// last line. When every line end is CR LF, each is found with memchr.
template <typename Line>
inline void forEachLine(const char *from, const char *to, bool crLfOnly, Line line)
{
    if (crLfOnly) {
        while (from < to) {
            const char *lf = static_cast<const char *>(std::memchr(from, '\n', std::size_t(to - from)));
            if (!lf) {
                line(from, qsizetype(to - from));
                return;
            }
            line(from, qsizetype(lf - 1 - from));
            from = lf + 1;
        }
        return;
    }
    while (from < to) {
        const char *end = from;
        while (end < to && *end != '\n' && *end != '\r')
            ++end;
        line(from, qsizetype(end - from));
        if (end == to)
            return;
        from = end + (*end == '\r' && end + 1 < to && end[1] == '\n' ? 2 : 1);
    }
}

LineBlocks scanLineBlocks(QByteArrayView bytes, int blockLines,
                          LineBlockScanner::Steps steps = LineBlockScanner::Steps::Widest);

} // namespace quill
