#include "sprite/floodfill.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quill {

namespace {

// One row of a cel, pixel x at bit x.
using RowBits = unsigned __int128;
constexpr int LargestSize = 128;

constexpr RowBits firstBits(int count)
{
    return count >= LargestSize ? ~RowBits(0) : (RowBits(1) << count) - 1;
}

// The pixels of a row that hold `value`. Bytes past the row's end may be
// read while they lie inside the cel; they are masked off.
RowBits bitsOf(const std::uint8_t *row, int size, std::uint8_t value, const std::uint8_t *celEnd)
{
    RowBits bits = 0;
    int x = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(value));
    for (; x < size && row + x + 16 <= celEnd; x += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + x));
        bits |= RowBits(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)))) << x;
    }
#endif
    for (; x < size; ++x)
        if (row[x] == value)
            bits |= RowBits(1) << x;
    return bits & firstBits(size);
}

int lowestBit(RowBits bits)
{
    const auto low = static_cast<std::uint64_t>(bits);
    return low != 0 ? __builtin_ctzll(low) : 64 + __builtin_ctzll(static_cast<std::uint64_t>(bits >> 64));
}

int highestBit(RowBits bits)
{
    const auto high = static_cast<std::uint64_t>(bits >> 64);
    return high != 0 ? 127 - __builtin_clzll(high) : 63 - __builtin_clzll(static_cast<std::uint64_t>(bits));
}

// The runs of `inside` that hold at least one of `seeds` (seeds lie inside).
RowBits runsHolding(RowBits seeds, RowBits inside)
{
    // Adding a seed carries through its run up to the run's end: each run is
    // covered from its lowest seed upward. The carry out of a run lands on a
    // pixel outside, which is not inside and so stops there.
    RowBits runs = (((inside + seeds) ^ inside) & inside) | seeds;
    // Below the lowest seed of a run that goes on downward: the run begins at
    // the last run start at or below that pixel.
    const RowBits starts = inside & ~(inside << 1);
    for (RowBits below = inside & (runs >> 1) & ~runs; below != 0; below &= below - 1) {
        const int pixel = lowestBit(below);
        runs |= firstBits(pixel + 1) & ~firstBits(highestBit(starts & firstBits(pixel + 1)));
    }
    return runs;
}

// Gives `color` to the pixels of a row whose bits are set, sixteen at a
// time; bytes past the row's end that a group covers are written back as
// they were.
void paintRow(std::uint8_t *row, int size, RowBits bits, std::uint8_t color, const std::uint8_t *celEnd)
{
    if (bits == firstBits(size)) {
        std::memset(row, color, static_cast<std::size_t>(size));
        return;
    }
#if defined(__SSE2__)
    const __m128i paint = _mm_set1_epi8(static_cast<char>(color));
    const __m128i bitOfByte = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
#endif
    for (int x = 0; x < size; x += 16) {
        unsigned group = static_cast<unsigned>(bits >> x) & 0xffffu;
        if (group == 0)
            continue;
        if (group == 0xffffu && x + 16 <= size) {
            std::memset(row + x, color, 16);
            continue;
        }
#if defined(__SSE2__)
        if (row + x + 16 <= celEnd) {
            // Each byte of the mask: all ones where its bit of the group is set.
            __m128i spread = _mm_cvtsi32_si128(static_cast<int>(group));
            spread = _mm_unpacklo_epi8(spread, spread);
            spread = _mm_unpacklo_epi16(spread, spread);
            spread = _mm_unpacklo_epi32(spread, spread);
            const __m128i mask = _mm_cmpeq_epi8(_mm_and_si128(spread, bitOfByte), bitOfByte);
            auto *at = reinterpret_cast<__m128i *>(row + x);
            const __m128i was = _mm_loadu_si128(at);
            _mm_storeu_si128(at, _mm_or_si128(_mm_andnot_si128(mask, was), _mm_and_si128(mask, paint)));
            continue;
        }
#endif
        while (group != 0) {
            row[x + __builtin_ctz(group)] = color;
            group &= group - 1;
        }
    }
}

int countBits(RowBits bits)
{
    return __builtin_popcountll(static_cast<std::uint64_t>(bits))
           + __builtin_popcountll(static_cast<std::uint64_t>(bits >> 64));
}

// Rows become columns: bit x of row y becomes bit y of row x. Blocks swap
// across the diagonal, halving in size at every step.
void transpose(std::array<RowBits, LargestSize> &rows)
{
    RowBits mask = ~RowBits(0) >> 64;
    for (int half = 64; half != 0; half >>= 1, mask ^= mask << half) {
        for (int k = 0; k < LargestSize; k = ((k | half) + 1) & ~half) {
            const RowBits swapped = ((rows[k] >> half) ^ rows[k | half]) & mask;
            rows[k] ^= swapped << half;
            rows[k | half] ^= swapped;
        }
    }
}

} // namespace

int FloodFill(CelPixels cel, int size, int x0, int y0, std::uint8_t color)
{
    if (size < 1 || size > LargestSize || x0 < 0 || y0 < 0 || x0 >= size || y0 >= size
        || cel.size() < static_cast<std::size_t>(size) * size)
        return 0;
    std::uint8_t *const pixels = cel.data();
    const std::uint8_t *const celEnd = pixels + static_cast<std::ptrdiff_t>(size) * size;
    const std::uint8_t old = pixels[y0 * size + x0];
    if (old == color)
        return 0;

    // Per row: the pixels of the old colour, those the region has taken, and
    // those handed over by a neighbouring row and not yet taken. A row waits
    // on the stack at most once at a time.
    std::array<RowBits, LargestSize> inside;
    std::array<RowBits, LargestSize> taken;
    std::array<RowBits, LargestSize> offered;
    std::array<bool, LargestSize> waiting;
    std::array<std::uint8_t, LargestSize> stack;
    int top = 0;
    for (int y = 0; y < LargestSize; ++y) {
        inside[y] = y < size ? bitsOf(pixels + y * size, size, old, celEnd) : 0;
        taken[y] = 0;
        offered[y] = 0;
        waiting[y] = false;
    }
    const auto offer = [&](int y, RowBits from) {
        const RowBits reached = from & inside[y] & ~taken[y] & ~offered[y];
        if (reached == 0)
            return;
        offered[y] |= reached;
        if (!waiting[y]) {
            waiting[y] = true;
            stack[top++] = static_cast<std::uint8_t>(y);
        }
    };

    // The same pixels by column (bit y of column x), made when a corridor
    // one pixel wide has gone on for a few rows: the rest of it is then
    // taken in one step instead of row by row.
    std::array<RowBits, LargestSize> columns;
    bool haveColumns = false;
    // Takes the rows of a corridor from row y on in a direction, while the
    // pixel has no neighbour of the region's colour beside it; the first row
    // where it has one is offered as usual.
    const auto takeCorridorByColumn = [&](int x, int y, int direction) {
        if (!haveColumns) {
            columns = inside;
            transpose(columns);
            haveColumns = true;
        }
        const RowBits column = columns[x];
        const RowBits line = runsHolding(RowBits(1) << y, column);
        const RowBits wide = line & ((x > 0 ? columns[x - 1] : 0) | (x + 1 < size ? columns[x + 1] : 0));
        const RowBits pixel = RowBits(1) << x;
        int first = y, last = y, widening = -1;
        if (direction > 0) {
            const RowBits ahead = line & ~firstBits(y);
            const RowBits stop = wide & ahead;
            last = stop != 0 ? lowestBit(stop) - 1 : highestBit(ahead);
            widening = stop != 0 ? last + 1 : -1;
        } else {
            const RowBits ahead = line & firstBits(y + 1);
            const RowBits stop = wide & ahead;
            first = stop != 0 ? highestBit(stop) + 1 : lowestBit(ahead);
            widening = stop != 0 ? first - 1 : -1;
        }
        for (int row = first; row <= last; ++row)
            taken[row] |= pixel;
        if (widening >= 0)
            offer(widening, pixel);
    };
    // Hands the pixels of a row that the region has just taken to the row
    // in a direction. A pixel that is a run of one there, with nothing of
    // the region's colour beside it, only leads on in the same direction: it
    // is taken at once and followed, which keeps one-pixel corridors off the
    // stack.
    constexpr int ColumnAfter = 4;
    const auto handOn = [&](RowBits fresh, int y, int direction) {
        for (int steps = 0;; ++steps) {
            const int next = y + direction;
            if (next < 0 || next >= size)
                return;
            const RowBits reached = fresh & inside[next] & ~taken[next];
            if (reached == 0)
                return;
            if ((reached & (reached - 1)) != 0 || (inside[next] & ((reached << 1) | (reached >> 1))) != 0) {
                offer(next, reached);
                return;
            }
            if (steps == ColumnAfter) {
                takeCorridorByColumn(lowestBit(reached), next, direction);
                return;
            }
            taken[next] |= reached;
            fresh = reached;
            y = next;
        }
    };

    offer(y0, RowBits(1) << x0);
    while (top > 0) {
        const int y = stack[--top];
        waiting[y] = false;
        const RowBits seeds = offered[y] & ~taken[y];
        offered[y] = 0;
        if (seeds == 0)
            continue;
        // Every run with a taken pixel was taken whole: the seeds' runs are new.
        const RowBits fresh = runsHolding(seeds, inside[y]);
        taken[y] |= fresh;
        handOn(fresh, y, -1);
        handOn(fresh, y, 1);
    }

    int count = 0;
    for (int y = 0; y < size; ++y) {
        if (taken[y] == 0)
            continue;
        count += countBits(taken[y]);
        paintRow(pixels + y * size, size, taken[y], color, celEnd);
    }
    return count;
}

} // namespace quill
