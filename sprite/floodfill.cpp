#include "sprite/floodfill.h"

#include <vector>

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
    explicit SeedQueue(int size) : seeds_(2 * size * size + 1) {}
    bool empty() const { return count_ == 0; }
    int count() const { return count_; }
    void push(int x, int y)
    {
        seeds_[write_] = Seed{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
        write_ = (write_ + 1) % seeds_.size();
        ++count_;
    }
    Seed pop()
    {
        const Seed seed = seeds_[read_];
        read_ = (read_ + 1) % seeds_.size();
        --count_;
        return seed;
    }

private:
    std::vector<Seed> seeds_;
    std::size_t read_ = 0;
    std::size_t write_ = 0;
    int count_ = 0;
};

} // namespace

FillStats FloodFill(CelPixels cel, int size, int x0, int y0, std::uint8_t color)
{
    FillStats stats;
    if (size < 1 || x0 < 0 || y0 < 0 || x0 >= size || y0 >= size
        || cel.size() < static_cast<std::size_t>(size) * size)
        return stats;
    auto at = [&](int x, int y) -> std::uint8_t & { return cel[y * size + x]; };
    const std::uint8_t old = at(x0, y0);
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
        for (int x = l; x <= r; ++x) {
            if (at(x, y) != old)
                continue;
            while (x < r && at(x + 1, y) == old)
                ++x;
            push(x, y);
        }
    };

    push(x0, y0);
    while (!queue.empty()) {
        const Seed seed = queue.pop();
        const int y = seed.y;
        if (at(seed.x, y) != old)
            continue;
        int r = seed.x;
        while (r < size - 1 && at(r + 1, y) == old)
            ++r;
        int l = seed.x;
        while (l > 0 && at(l - 1, y) == old)
            --l;
        for (int x = l; x <= r; ++x)
            at(x, y) = color;
        if (y > 0)
            scan(l, r, y - 1);
        if (y < size - 1)
            scan(l, r, y + 1);
    }
    return stats;
}

} // namespace quill
