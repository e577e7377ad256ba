#include "editor/lineblockscanner.h"

#include <bit>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#ifdef __x86_64__
#include <immintrin.h>
#endif

namespace quill {

void LineBlockScanner::lineEndBefore(qsizetype offset)
{
    if (++lineEnds_ == nextBlockEnd_) {
        blocks_.ends.push_back(offset);
        nextBlockEnd_ += blockLines_;
    }
}

void LineBlockScanner::take(quint64 lfs, quint64 crs, bool lfAfter, qsizetype at)
{
    // A CR right before an LF is part of that line end, which the LF closes.
    const quint64 loneCrs = crs & ~((lfs >> 1) | (quint64(lfAfter) << 63));
    notCrLf_ |= loneCrs | (lfs & ~((crs << 1) | crBefore_));
    crBefore_ = crs >> 63;
    const quint64 ends = lfs | loneCrs;
    const int count = std::popcount(ends);
    if (lineEnds_ + count < nextBlockEnd_) {
        lineEnds_ += count;
        return;
    }
    // Line ends are looked at one by one only near a block's end.
    for (quint64 rest = ends; rest != 0; rest &= rest - 1)
        lineEndBefore(at + std::countr_zero(rest) + 1);
}

// Sixty-four bytes at a time: a line end is only sure once the byte after
// it is known, so the last byte so far waits for the next call.
qsizetype LineBlockScanner::scanSse2(const char *data, qsizetype size, qsizetype i)
{
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i seen = _mm_setzero_si128();
    for (; i + 64 < size; i += 64) {
        quint64 lfs = 0;
        quint64 crs = 0;
        for (int part = 0; part < 4; ++part) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i + 16 * part));
            seen = _mm_or_si128(seen, chunk);
            lfs |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)))) << (16 * part);
            crs |= quint64(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, cr)))) << (16 * part);
        }
        take(lfs, crs, data[i + 64] == '\n', i);
    }
    high_ |= unsigned(_mm_movemask_epi8(seen));
#endif
    return i;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUILL_AVX2 1
// The same with 32 bytes to a step, on processors that have them.
__attribute__((target("avx2,popcnt"))) qsizetype LineBlockScanner::scanAvx2(const char *data, qsizetype size,
                                                                        qsizetype i)
{
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i cr = _mm256_set1_epi8('\r');
    __m256i seen = _mm256_setzero_si256();
    for (; i + 64 < size; i += 64) {
        const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + i));
        const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + i + 32));
        seen = _mm256_or_si256(seen, _mm256_or_si256(low, high));
        const quint64 lfs = quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, lf))))
            | quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, lf)))) << 32;
        const quint64 crs = quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, cr))))
            | quint64(unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, cr)))) << 32;
        // Most steps stay within a block: counted here with the processor's popcnt.
        const quint64 loneCrs = crs & ~((lfs >> 1) | (quint64(data[i + 64] == '\n') << 63));
        const int count = _mm_popcnt_u64(lfs | loneCrs);
        if (lineEnds_ + count < nextBlockEnd_) {
            notCrLf_ |= loneCrs | (lfs & ~((crs << 1) | crBefore_));
            crBefore_ = crs >> 63;
            lineEnds_ += count;
            continue;
        }
        take(lfs, crs, data[i + 64] == '\n', i);
    }
    high_ |= unsigned(_mm256_movemask_epi8(seen));
    return i;
}
#else
qsizetype LineBlockScanner::scanAvx2(const char *, qsizetype, qsizetype i)
{
    return i;
}
#endif

void LineBlockScanner::scan(QByteArrayView soFar)
{
#ifdef QUILL_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
#else
    constexpr bool avx2 = false;
#endif
    scanned_ = avx2 && steps_ == Steps::Widest ? scanAvx2(soFar.data(), soFar.size(), scanned_)
                    : scanSse2(soFar.data(), soFar.size(), scanned_);
}

LineBlocks LineBlockScanner::finish(QByteArrayView all)
{
    scan(all);
    const char *data = all.data();
    const qsizetype size = all.size();
    for (qsizetype i = scanned_; i < size; ++i) {
        const char c = data[i];
        high_ |= static_cast<unsigned char>(c) & 0x80u;
        const bool crLf = c == '\r' && i + 1 < size && data[i + 1] == '\n';
        if ((c == '\r' && !crLf) || (c == '\n' && !(i > 0 && data[i - 1] == '\r')))
            notCrLf_ = 1;
        if (c == '\n' || (c == '\r' && !crLf))
            lineEndBefore(i + 1);
    }
    scanned_ = size;

    blocks_.lines = lineEnds_;
    if (size > 0 && data[size - 1] != '\n' && data[size - 1] != '\r')
        ++blocks_.lines; // the last line has no line end
    // A text that ends right at a block's end has no last block after it.
    if (!blocks_.ends.empty() && blocks_.ends.back() == size)
        blocks_.ends.pop_back();
    blocks_.ascii = high_ == 0;
    blocks_.crLfOnly = notCrLf_ == 0;
    return std::move(blocks_);
}

LineBlocks scanLineBlocks(QByteArrayView bytes, int blockLines, LineBlockScanner::Steps steps)
{
    return LineBlockScanner(blockLines, steps).finish(bytes);
}

} // namespace quill
