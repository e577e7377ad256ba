#include "sprite/floodfill.h"

#include <cstring>
#include <memory>

namespace quill {

namespace {

struct Seed {
    std::uint8_t x;
    std::uint8_t y;
};

// A first-in first-out ring that holds every seed a fill can queue: a run of
// L filled pixels queues at most (L + 1) div 2 seeds into each neighbouring
// row, every pixel is filled once, so a whole fill queues at most
// 2 x size x size + 1 seeds and the ring can never be full when pushed.
class SeedQueue {
public:
    explicit SeedQueue(int size)
        : capacity_(2 * size * size + 1), seeds_(new Seed[static_cast<std::size_t>(capacity_)])
    {
    }
    bool empty() const { return count_ == 0; }
    int count() const { return count_; }
    void push(int x, int y)
    {
        seeds_[write_] = Seed{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
        if (++write_ == capacity_)
            write_ = 0;
        ++count_;
    }
    Seed pop()
    {
        const Seed seed = seeds_[read_];
        if (++read_ == capacity_)
            read_ = 0;
        --count_;
        return seed;
    }

private:
    int capacity_;
    std::unique_ptr<Seed[]> seeds_;
    int read_ = 0;
    int write_ = 0;
    int count_ = 0;
};

// Eight pixels at once: the bytes of `word` that differ from `value`
// broadcast show up as nonzero bytes of the result.
inline std::uint64_t differing(std::uint64_t word, std::uint64_t broadcast)
{
    return word ^ broadcast;
}

// The last x in [from, last] such that row[from..x] all hold `old`
// (row[from] must hold it).
int runEnd(const std::uint8_t *row, int from, int last, std::uint8_t old)
{
    const std::uint64_t broadcast = 0x0101010101010101ull * old;
    int x = from;
    while (x + 8 <= last) {
        std::uint64_t word;
        std::memcpy(&word, row + x + 1, 8);
        if (const std::uint64_t diff = differing(word, broadcast))
            return x + __builtin_ctzll(diff) / 8;
        x += 8;
    }
    while (x < last && row[x + 1] == old)
        ++x;
    return x;
}

// The first x in [first, from] such that row[x..from] all hold `old`.
int runStart(const std::uint8_t *row, int from, int first, std::uint8_t old)
{
    const std::uint64_t broadcast = 0x0101010101010101ull * old;
    int x = from;
    while (x - 8 >= first) {
        std::uint64_t word;
        std::memcpy(&word, row + x - 8, 8);
        if (const std::uint64_t diff = differing(word, broadcast))
            return x - __builtin_clzll(diff) / 8;
        x -= 8;
    }
    while (x > first && row[x - 1] == old)
        --x;
    return x;
}

} // namespace

FillStats FloodFill(CelPixels cel, int size, int x0, int y0, std::uint8_t color)
{
    FillStats stats;
    if (size < 1 || x0 < 0 || y0 < 0 || x0 >= size || y0 >= size
        || cel.size() < static_cast<std::size_t>(size) * size)
        return stats;
    std::uint8_t *const pixels = cel.data();
    const std::uint8_t old = pixels[y0 * size + x0];
    if (old == color)
        return stats;

    SeedQueue queue(size);
    auto push = [&](int x, int y) {
        queue.push(x, y);
        ++stats.pushes;
        if (queue.count() > stats.maxPending)
            stats.maxPending = queue.count();
    };
    // One seed per maximal run of `old` in row y between l and r: its
    // rightmost pixel inside the span.
    auto scan = [&](int l, int r, int y) {
        const std::uint8_t *row = pixels + y * size;
        for (int x = l; x <= r; ++x) {
            const void *found = std::memchr(row + x, old, static_cast<std::size_t>(r - x + 1));
            if (!found)
                return;
            x = runEnd(row, static_cast<int>(static_cast<const std::uint8_t *>(found) - row), r, old);
            push(x, y);
        }
    };

    push(x0, y0);
    while (!queue.empty()) {
        const Seed seed = queue.pop();
        const int y = seed.y;
        std::uint8_t *row = pixels + y * size;
        if (row[seed.x] != old)
            continue;
        const int r = runEnd(row, seed.x, size - 1, old);
        const int l = runStart(row, seed.x, 0, old);
        std::memset(row + l, color, static_cast<std::size_t>(r - l + 1));
        if (y > 0)
            scan(l, r, y - 1);
        if (y < size - 1)
            scan(l, r, y + 1);
    }
    return stats;
}

} // namespace quill
