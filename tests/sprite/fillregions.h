#pragma once

// Cels whose regions are hard on a flood fill, each with the pixel a fill
// starts from. The fill tests check them against a plain recursive fill;
// bench_sprite times them against the recolour pass.

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

struct FillRegion {
    const char *name;
    std::vector<std::uint8_t> pixels;  // size x size; the region has colour 0, walls colour 3
    int x = 0;
    int y = 0;
};

namespace fillregions {

constexpr std::uint8_t Open = 0;
constexpr std::uint8_t Wall = 3;

inline std::vector<std::uint8_t> transposed(const std::vector<std::uint8_t> &pixels, int size)
{
    std::vector<std::uint8_t> out(pixels.size());
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            out[x * size + y] = pixels[y * size + x];
    return out;
}

// Teeth one pixel wide at every second column, hanging from the top row.
inline std::vector<std::uint8_t> comb(int size)
{
    std::vector<std::uint8_t> pixels(size * size, Open);
    for (int y = 1; y < size; ++y)
        for (int x = 1; x < size; x += 2)
            pixels[y * size + x] = Wall;
    return pixels;
}

// One corridor up and down the columns: every second column is a wall
// with a gap at the bottom and at the top in turn.
inline std::vector<std::uint8_t> serpentine(int size)
{
    std::vector<std::uint8_t> pixels(size * size, Open);
    for (int x = 1, wall = 0; x < size; x += 2, ++wall) {
        const int gap = wall % 2 == 0 ? size - 1 : 0;
        for (int y = 0; y < size; ++y)
            if (y != gap)
                pixels[y * size + x] = Wall;
    }
    return pixels;
}

// A corridor one pixel wide winding inward between walls one pixel thick.
inline std::vector<std::uint8_t> spiral(int size)
{
    std::vector<std::uint8_t> pixels(size * size, Open);
    const auto wall = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < size && y < size)
            pixels[y * size + x] = Wall;
    };
    // Walls drawn as a spiral of their own, two pixels inside the previous turn.
    int left = 1, top = 1, right = size - 2, bottom = size - 2;
    while (left <= right && top <= bottom) {
        for (int x = left - 1; x <= right; ++x)
            wall(x, top);
        for (int y = top; y <= bottom; ++y)
            wall(right, y);
        for (int x = right; x >= left; --x)
            wall(x, bottom);
        for (int y = bottom; y >= top + 2; --y)
            wall(left, y);
        left += 2;
        top += 2;
        right -= 2;
        bottom -= 2;
    }
    return pixels;
}

// A maze of one-pixel corridors with one-pixel walls, every corridor
// reachable from every other: a random spanning tree of a grid of rooms.
inline std::vector<std::uint8_t> maze(int size, unsigned seed)
{
    std::vector<std::uint8_t> pixels(size * size, Wall);
    const int rooms = (size + 1) / 2;
    std::vector<bool> visited(rooms * rooms, false);
    std::mt19937 random(seed);
    std::vector<std::pair<int, int>> path = {{0, 0}};
    visited[0] = true;
    pixels[0] = Open;
    while (!path.empty()) {
        const auto [rx, ry] = path.back();
        std::pair<int, int> choices[4];
        int count = 0;
        for (const auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
            const int nx = rx + dx, ny = ry + dy;
            if (nx >= 0 && ny >= 0 && nx < rooms && ny < rooms && !visited[ny * rooms + nx])
                choices[count++] = {nx, ny};
        }
        if (count == 0) {
            path.pop_back();
            continue;
        }
        const auto [nx, ny] = choices[random() % count];
        visited[ny * rooms + nx] = true;
        pixels[(ry + ny) * size + (rx + nx)] = Open;  // the wall between the rooms
        pixels[2 * ny * size + 2 * nx] = Open;
        path.push_back({nx, ny});
    }
    return pixels;
}

inline std::vector<std::uint8_t> checkerboard(int size)
{
    std::vector<std::uint8_t> pixels(size * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels[y * size + x] = (x + y) % 2 == 0 ? Open : Wall;
    return pixels;
}

} // namespace fillregions

// The regions at a given size: a blank cel, combs with teeth down and
// across (a fill started at a tooth's far end), a checkerboard (a region
// of one pixel), serpentines down and across, a spiral and a maze.
inline std::vector<FillRegion> fillRegions(int size)
{
    using namespace fillregions;
    const int last = size - 1;
    return {
        {"blank", std::vector<std::uint8_t>(size * size, Open), size / 2, size / 2},
        {"comb, teeth down", comb(size), 0, last},
        {"comb, teeth across", transposed(comb(size), size), last, 0},
        {"checkerboard", checkerboard(size), size / 2, size / 2},
        {"serpentine down", serpentine(size), 0, 0},
        {"serpentine across", transposed(serpentine(size), size), 0, 0},
        {"spiral", spiral(size), 0, 0},
        {"maze", maze(size, 20261210), 0, 0},
    };
}
