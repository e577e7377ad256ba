#include "sprite/floodfill.h"
#include "sprite/replacecolor.h"
#include "tests/sprite/celtext.h"
#include "tests/sprite/fillregions.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The obvious fill: recursion over the four neighbours.
void recursiveFill(std::vector<std::uint8_t> &pixels, int size, int x, int y, std::uint8_t old,
                   std::uint8_t color)
{
    if (x < 0 || y < 0 || x >= size || y >= size || pixels[y * size + x] != old)
        return;
    pixels[y * size + x] = color;
    recursiveFill(pixels, size, x + 1, y, old, color);
    recursiveFill(pixels, size, x - 1, y, old, color);
    recursiveFill(pixels, size, x, y + 1, old, color);
    recursiveFill(pixels, size, x, y - 1, old, color);
}

std::vector<std::uint8_t> referenceFill(std::vector<std::uint8_t> pixels, int size, int x, int y,
                                        std::uint8_t color)
{
    const std::uint8_t old = pixels[y * size + x];
    if (old != color)
        recursiveFill(pixels, size, x, y, old, color);
    return pixels;
}

struct FillCase {
    const char *name;
    QStringList before;
    int x, y;
    int color;
    QStringList after;
};

TEST(FloodFill, FillsExactlyTheConnectedRegion)
{
    const std::vector<FillCase> cases = {
        {"inside a closed ring",
         {"00000", "03330", "03030", "03330", "00000"}, 2, 2, 5,
         {"00000", "03330", "03530", "03330", "00000"}},
        {"outside a closed ring",
         {"00000", "03330", "03030", "03330", "00000"}, 0, 0, 5,
         {"55555", "53335", "53035", "53335", "55555"}},
        {"a diagonal gap does not let the fill through",
         {"00000", "03300", "03030", "00330", "00000"}, 2, 2, 5,
         {"00000", "03300", "03530", "00330", "00000"}},
        {"the same colour changes nothing",
         {"000", "030", "000"}, 0, 0, 0, {"000", "030", "000"}},
        {"a region with holes and arms",
         {"1011", "1001", "1101", "0001"}, 1, 0, 7,
         {"1711", "1771", "1171", "7771"}},
        {"one pixel cel", {"4"}, 0, 0, 9, {"9"}},
        {"a start outside the cel changes nothing", {"00", "00"}, 2, 0, 9, {"00", "00"}},
        {"runs that end at the last column", {"0030", "0300", "3000", "0000"}, 3, 0, 5,
         {"0035", "0355", "3555", "5555"}},
    };
    for (const FillCase &c : cases) {
        std::vector<std::uint8_t> pixels = cel(c.before);
        quill::FloodFill(pixels, static_cast<int>(c.before.size()), c.x, c.y,
                         static_cast<std::uint8_t>(c.color));
        EXPECT_EQ(rows(pixels, static_cast<int>(c.before.size())), c.after) << c.name;
    }
}

int differing(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b)
{
    int count = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i] ? 1 : 0;
    return count;
}

TEST(FloodFill, AgreesWithARecursiveFillOnRandomCels)
{
    std::mt19937 random(20261210);
    for (int round = 0; round < 3000; ++round) {
        // Small cels, and every tenth round a cel whose rows cross the
        // 64-pixel mark, up to the largest size the fill takes.
        const int size = round % 10 == 0 ? 60 + static_cast<int>(random() % 69)
                                         : 1 + static_cast<int>(random() % 12);
        // Few colours make large, winding regions.
        const int colours = 2 + static_cast<int>(random() % 3);
        std::vector<std::uint8_t> pixels(size * size);
        for (std::uint8_t &p : pixels)
            p = static_cast<std::uint8_t>(random() % colours);
        const int x = static_cast<int>(random() % size), y = static_cast<int>(random() % size);
        const auto color = static_cast<std::uint8_t>(random() % colours);
        const std::vector<std::uint8_t> before = pixels;
        const std::vector<std::uint8_t> expected = referenceFill(pixels, size, x, y, color);
        const int filled = quill::FloodFill(pixels, size, x, y, color);
        ASSERT_EQ(rows(pixels, size), rows(expected, size)) << "round " << round;
        ASSERT_EQ(filled, differing(before, expected)) << "round " << round;
    }
}

// The regions that the benchmark times, each at sizes around the 64-pixel
// mark and at the largest sprite size, from the pixel the benchmark starts at
// and from a corner.
TEST(FloodFill, HardRegionsAgreeWithARecursiveFill)
{
    for (const int size : {15, 63, 64, 65, 127, 128}) {
        for (const FillRegion &region : fillRegions(size)) {
            for (const auto &[x, y] : {std::pair{region.x, region.y}, std::pair{size - 1, size - 1}}) {
                std::vector<std::uint8_t> pixels = region.pixels;
                const std::vector<std::uint8_t> expected = referenceFill(pixels, size, x, y, 5);
                const int filled = quill::FloodFill(pixels, size, x, y, 5);
                EXPECT_EQ(pixels, expected) << region.name << " at " << size << " from " << x << "," << y;
                EXPECT_EQ(filled, differing(region.pixels, expected)) << region.name << " at " << size;
            }
        }
    }
}

// Every second row full, the rows between open at every second column: each
// full row reaches every open pixel of both neighbouring rows at once.
TEST(FloodFill, LargestSizeSieveMaze)
{
    const int size = 127;
    std::vector<std::uint8_t> pixels(size * size, 0);
    for (int y = 1; y < size; y += 2)
        for (int x = 1; x < size; x += 2)
            pixels[y * size + x] = 3;
    for (const auto &[x, y] : std::vector<std::pair<int, int>>{{0, 0}, {62, 63}, {126, 125}}) {
        std::vector<std::uint8_t> filled = pixels;
        const std::vector<std::uint8_t> expected = referenceFill(filled, size, x, y, 5);
        quill::FloodFill(filled, size, x, y, 5);
        EXPECT_EQ(filled, expected) << x << "," << y;
    }
}

// A binary tree of corridors whose paths are all equally long leads to
// sixteen long rows at once, each with a one-pixel pocket at every second
// column above and below it: the maze that kept the most seeds waiting in
// the queue of a fill that went pixel run by pixel run.
TEST(FloodFill, LargestSizeTreeMaze)
{
    const int size = 127;
    std::vector<std::uint8_t> pixels(size * size, 3);
    auto open = [&](int x, int y) { pixels[y * size + x] = 0; };
    for (int band = 0; band < 16; ++band) {
        const int row = 4 * band + 1;
        for (int x = 8; x < size; ++x)
            open(x, row);
        for (int x = 11; x < size; x += 2) {
            open(x, row - 1);
            open(x, row + 1);
        }
    }
    std::vector<int> centres = {31};
    for (int level = 1, half = 16; level <= 4; ++level, half /= 2) {
        std::vector<int> ends;
        for (const int centre : centres) {
            for (int y = centre - half; y <= centre + half; ++y)
                open(2 * level, y);
            open(2 * level - 1, centre);
            ends.insert(ends.end(), {centre - half, centre + half});
        }
        centres = ends;
    }
    open(0, 31);

    const auto corridors = std::count(pixels.begin(), pixels.end(), 0);
    const std::vector<std::uint8_t> expected = referenceFill(pixels, size, 0, 31, 5);
    EXPECT_EQ(quill::FloodFill(pixels, size, 0, 31, 5), corridors) << "the maze is one region";
    EXPECT_EQ(pixels, expected);
}

TEST(FloodFill, WholeCelAtEverySize)
{
    for (int size = 1; size <= 127; ++size) {
        std::vector<std::uint8_t> pixels(size * size, 0);
        quill::FloodFill(pixels, size, size / 2, size / 2, 6);
        ASSERT_EQ(std::count(pixels.begin(), pixels.end(), 6), size * size) << size;
    }
}

struct ReplaceCase {
    const char *name;
    QStringList before;
    int x, y, color;
    bool changed;
    QStringList after;
};

TEST(ReplaceColor, RecoloursEveryPixelOfTheTappedColour)
{
    const std::vector<ReplaceCase> cases = {
        {"connected or not", {"300", "030", "003"}, 0, 0, 7, true, {"700", "070", "007"}},
        {"the background", {"300", "030", "003"}, 1, 0, 1, true, {"311", "131", "113"}},
        {"the same colour", {"300", "030", "003"}, 0, 0, 3, false, {"300", "030", "003"}},
    };
    for (const ReplaceCase &c : cases) {
        std::vector<std::uint8_t> pixels = cel(c.before);
        EXPECT_EQ(quill::ReplaceColor(pixels, 3, c.x, c.y, static_cast<std::uint8_t>(c.color)), c.changed)
            << c.name;
        EXPECT_EQ(rows(pixels, 3), c.after) << c.name;
    }
}

} // namespace
