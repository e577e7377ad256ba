// The font of tools/glyphs.txt, the pages' text atlas fnt18.png, the editor's
// font sheet and the sprite pictures: formats read from the PNG chunks
// themselves, pixels decoded by Qt's PNG reader and compared with the sources.
#include "assetfiles.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <set>

using namespace assettest;

namespace {

QImage loadArgb(const char *relative)
{
    QImage image(sourcePath(relative));
    if (image.isNull())
        throw std::runtime_error(std::string("cannot decode ") + relative);
    return image.convertToFormat(QImage::Format_ARGB32);
}

std::string rgbaText(QRgb c)
{
    return "(" + std::to_string(qRed(c)) + "," + std::to_string(qGreen(c)) + "," + std::to_string(qBlue(c))
         + "," + std::to_string(qAlpha(c)) + ")";
}

} // namespace

// ---- glyph source -----------------------------------------------------------

TEST(GlyphSource, DrawsEveryCodeFrom1To126ExactlyOnceAndLeaves0And127Blank)
{
    const GlyphSource source = readGlyphSource();
    for (int code = 1; code <= 126; ++code)
        EXPECT_EQ(source.entries[code], 1) << "code " << code;
    EXPECT_EQ(source.entries[0], 0);
    EXPECT_EQ(source.entries[127], 0);
}

TEST(GlyphSource, OnlyTheSpaceIsBlankAndNoTwoGlyphsAreAlike)
{
    // Catches a glyph copied into the wrong place or a lower-case letter that
    // repeats its capital.
    const GlyphSource source = readGlyphSource();
    auto blank = [](const Glyph &g) {
        for (const auto &row : g)
            for (bool ink : row)
                if (ink)
                    return false;
        return true;
    };
    for (int code = 1; code <= 126; ++code) {
        EXPECT_EQ(blank(source.glyphs[code]), code == 32) << "code " << code;
        for (int other = code + 1; other <= 126; ++other)
            EXPECT_NE(source.glyphs[code], source.glyphs[other]) << "codes " << code << " and " << other;
    }
}

TEST(GlyphSource, LinePiecesReachExactlyTheEdgesTheyJoin)
{
    // Pieces meet at column 3 and row 3; a piece joins its neighbour on a side
    // when it has ink in that edge at the meeting line.
    struct Case {
        const char *name;
        int code;
        bool up, down, left, right;
    };
    const std::vector<Case> cases = {
        {"up tee", 17, true, false, true, true},    {"down tee", 18, false, true, true, true},
        {"left tee", 19, true, true, true, false},  {"right tee", 20, true, true, false, true},
        {"cross", 21, true, true, true, true},      {"vertical", 22, true, true, false, false},
        {"horizontal", 23, false, false, true, true}, {"down right", 24, false, true, false, true},
        {"down left", 25, false, true, true, false}, {"up right", 26, true, false, false, true},
        {"up left", 27, true, false, true, false},
    };
    const GlyphSource source = readGlyphSource();
    for (const Case &c : cases) {
        const Glyph &g = source.glyphs[c.code];
        EXPECT_EQ(g[0][3], c.up) << c.name;
        EXPECT_EQ(g[7][3], c.down) << c.name;
        EXPECT_EQ(g[3][0], c.left) << c.name;
        EXPECT_EQ(g[3][7], c.right) << c.name;
    }
    const Glyph &diagonalCross = source.glyphs[28];
    for (int i = 0; i < 8; ++i) {
        EXPECT_TRUE(diagonalCross[i][i]) << "diagonal cross, row " << i;
        EXPECT_TRUE(diagonalCross[i][7 - i]) << "diagonal cross, row " << i;
    }
}

TEST(GlyphSource, PrintableCharactersKeepTheirRightColumnFreeSoTextDoesNotRunTogether)
{
    const GlyphSource source = readGlyphSource();
    for (int code = 33; code <= 126; ++code) {
        if (code == '_')
            continue; // runs of underscores form one line
        for (int row = 0; row < 8; ++row)
            EXPECT_FALSE(source.glyphs[code][row][7]) << "code " << code << " row " << row;
    }
}

// ---- fnt18.png ----------------------------------------------------------------

TEST(TextAtlas, IsAnEightBitIndexedPngWithAnOpaqueWhiteAndATransparentGreyEntry)
{
    const auto chunks = pngChunks(readBytes(sourcePath("assets/img/fnt18.png")));
    const PngHeader header = pngHeader(chunks);
    EXPECT_EQ(header.width, 288);
    EXPECT_EQ(header.height, 108);
    EXPECT_EQ(header.bitDepth, 8);
    EXPECT_EQ(header.colourType, 3);
    EXPECT_EQ(header.interlace, 0);
    EXPECT_EQ(chunks.back().type, "IEND");

    QByteArray palette, alpha;
    for (const PngChunk &chunk : chunks) {
        EXPECT_TRUE(chunk.crcMatches) << chunk.type.constData();
        if (chunk.type == "PLTE")
            palette = chunk.data;
        if (chunk.type == "tRNS")
            alpha = chunk.data;
    }
    ASSERT_EQ(palette.size(), 6) << "exactly two palette entries";
    EXPECT_EQ(palette.left(3), QByteArray("\xff\xff\xff", 3)) << "entry 0 is white";
    const int grey = uchar(palette[3]);
    EXPECT_TRUE(uchar(palette[4]) == grey && uchar(palette[5]) == grey && grey > 0 && grey < 128)
        << "entry 1 is a dark grey";
    ASSERT_EQ(alpha.size(), 2);
    EXPECT_EQ(uchar(alpha[0]), 255) << "entry 0 is opaque";
    EXPECT_EQ(uchar(alpha[1]), 0) << "entry 1 is fully transparent";
}

TEST(TextAtlas, EveryCellHoldsItsGlyphDoubledAtOffsetOneOneOnATransparentGround)
{
    const GlyphSource source = readGlyphSource();
    const QImage atlas = loadArgb("assets/img/fnt18.png");
    ASSERT_EQ(atlas.size(), QSize(288, 108));
    const QRgb ink = qRgba(255, 255, 255, 255);
    for (int code = 32; code <= 127; ++code) {
        const int k = code - 32;
        const int left = 18 * (k % 16), top = 18 * (k / 16);
        int wrong = 0;
        for (int y = 0; y < 18; ++y) {
            for (int x = 0; x < 18; ++x) {
                const bool inside = x >= 1 && x <= 16 && y >= 1 && y <= 16;
                const bool expectInk = inside && source.glyphs[code][(y - 1) / 2][(x - 1) / 2];
                const QRgb pixel = atlas.pixel(left + x, top + y);
                const bool ok = expectInk ? pixel == ink : qAlpha(pixel) == 0;
                if (!ok && wrong++ == 0)
                    ADD_FAILURE() << "code " << code << " at cell pixel " << x << "," << y << ": "
                                  << rgbaText(pixel);
            }
        }
    }
}

TEST(TextAtlas, ShowsAYenSignWhereTheBackslashWouldBe)
{
    // The yen sign's two arms meet above a crossbar; a backslash is one
    // diagonal. Checked on the picture: the cell of code 92 is not a mirrored
    // slash and has ink in both top corners of its design.
    const QImage atlas = loadArgb("assets/img/fnt18.png");
    const int left = 18 * ((92 - 32) % 16) + 1, top = 18 * ((92 - 32) / 16) + 1;
    auto ink = [&](int gx, int gy) { return qAlpha(atlas.pixel(left + 2 * gx, top + 2 * gy)) == 255; };
    EXPECT_TRUE(ink(1, 0));
    EXPECT_TRUE(ink(5, 0));
    int crossbars = 0;
    for (int gy = 0; gy < 8; ++gy) {
        int run = 0;
        for (int gx = 0; gx < 8; ++gx)
            run += ink(gx, gy);
        crossbars += run >= 5;
    }
    EXPECT_GE(crossbars, 1);
}

// ---- fontsheet.png --------------------------------------------------------------

TEST(FontSheet, IsA160By160RgbaPng)
{
    const auto chunks = pngChunks(readBytes(sourcePath("assets/program/fontsheet.png")));
    const PngHeader header = pngHeader(chunks);
    EXPECT_EQ(header.width, 160);
    EXPECT_EQ(header.height, 160);
    EXPECT_EQ(header.bitDepth, 8);
    EXPECT_EQ(header.colourType, 6);
    for (const PngChunk &chunk : chunks)
        EXPECT_TRUE(chunk.crcMatches) << chunk.type.constData();
}

TEST(FontSheet, BothHalvesHoldEveryGlyphInTheirColoursWithTheirFrames)
{
    struct Case {
        const char *name;
        int firstRow;
        QRgb ink, ground, frame;
    };
    const std::vector<Case> cases = {
        {"light on dark", 0, qRgb(247, 247, 247), qRgb(6, 6, 6), qRgb(0, 0, 0)},
        {"inverted", 8, qRgb(8, 8, 8), qRgb(249, 249, 249), qRgb(255, 255, 255)},
    };
    const GlyphSource source = readGlyphSource();
    const QImage sheet = loadArgb("assets/program/fontsheet.png");
    ASSERT_EQ(sheet.size(), QSize(160, 160));
    for (const Case &c : cases) {
        for (int code = 0; code < 128; ++code) {
            const int left = 10 * (code % 16), top = 10 * (c.firstRow + code / 16);
            int wrong = 0;
            for (int y = 0; y < 10; ++y) {
                for (int x = 0; x < 10; ++x) {
                    const bool frame = x == 0 || y == 0 || x == 9 || y == 9;
                    const QRgb expected = frame ? c.frame
                                        : source.glyphs[code][y - 1][x - 1] ? c.ink
                                                                            : c.ground;
                    const QRgb pixel = sheet.pixel(left + x, top + y);
                    if (pixel != expected && wrong++ == 0)
                        ADD_FAILURE() << c.name << ", code " << code << " at cell pixel " << x << "," << y
                                      << ": " << rgbaText(pixel) << " instead of " << rgbaText(expected);
                }
            }
        }
    }
}

TEST(FontSheet, BlankCodesShowGroundOnlyAndTheInverted127IsTheSolidEndOfLineCursor)
{
    const QImage sheet = loadArgb("assets/program/fontsheet.png");
    struct Case {
        const char *name;
        int left, top;
        QRgb colour;
    };
    const std::vector<Case> cases = {
        {"code 0", 1, 1, qRgb(6, 6, 6)},
        {"code 127", 151, 71, qRgb(6, 6, 6)},
        {"inverted code 0", 1, 81, qRgb(249, 249, 249)},
        {"end-of-line cursor", 151, 151, qRgb(249, 249, 249)},
    };
    for (const Case &c : cases)
        for (int y = c.top; y < c.top + 8; ++y)
            for (int x = c.left; x < c.left + 8; ++x)
                ASSERT_EQ(sheet.pixel(x, y), c.colour) << c.name << " at " << x << "," << y;
}

// ---- cat.png, ball.png, mat1.png ----------------------------------------------------

namespace {

struct Sheet {
    const char *file;
    int frames;
};

const std::vector<Sheet> kSpriteSheets = {{"assets/img/cat.png", 2}, {"assets/img/ball.png", 3}};

// Mean colour of the opaque pixels of one 34-pixel cell.
QColor meanOpaqueColour(const QImage &image, int frame)
{
    double r = 0, g = 0, b = 0;
    int count = 0;
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 34; ++x)
            if (const QRgb p = image.pixel(34 * frame + x, y); qAlpha(p) == 255) {
                r += qRed(p), g += qGreen(p), b += qBlue(p);
                ++count;
            }
    return count ? QColor(int(r / count), int(g / count), int(b / count)) : QColor();
}

} // namespace

TEST(SpritePictures, AreEightBitRgbaPngsOfTheirSizes)
{
    struct Case {
        const char *file;
        int width, height;
    };
    const std::vector<Case> cases = {
        {"assets/img/cat.png", 68, 34}, {"assets/img/ball.png", 102, 34}, {"assets/img/mat1.png", 34, 34}};
    for (const Case &c : cases) {
        const auto chunks = pngChunks(readBytes(sourcePath(c.file)));
        const PngHeader header = pngHeader(chunks);
        EXPECT_EQ(header.width, c.width) << c.file;
        EXPECT_EQ(header.height, c.height) << c.file;
        EXPECT_EQ(header.bitDepth, 8) << c.file;
        EXPECT_EQ(header.colourType, 6) << c.file;
        for (const PngChunk &chunk : chunks)
            EXPECT_TRUE(chunk.crcMatches) << c.file << " " << chunk.type.constData();
    }
}

TEST(SpritePictures, FramesAreDoubledDesignsInTheirCellsWithTransparentMargins)
{
    for (const Sheet &sheet : kSpriteSheets) {
        const QImage image = loadArgb(sheet.file);
        ASSERT_EQ(image.size(), QSize(34 * sheet.frames, 34)) << sheet.file;
        for (int frame = 0; frame < sheet.frames; ++frame) {
            int opaque = 0;
            for (int y = 0; y < 34; ++y) {
                for (int x = 0; x < 34; ++x) {
                    const QRgb p = image.pixel(34 * frame + x, y);
                    ASSERT_TRUE(qAlpha(p) == 0 || qAlpha(p) == 255)
                        << sheet.file << " frame " << frame << " at " << x << "," << y;
                    const bool margin = x == 0 || x == 33 || y >= 32;
                    if (margin)
                        ASSERT_EQ(qAlpha(p), 0) << sheet.file << " frame " << frame << " margin " << x << "," << y;
                    else
                        ASSERT_EQ(p, image.pixel(34 * frame + 1 + (x - 1) / 2 * 2, y / 2 * 2))
                            << sheet.file << " frame " << frame << ": 2 x 2 block broken at " << x << "," << y;
                    opaque += qAlpha(p) == 255;
                }
            }
            EXPECT_GT(opaque, 200) << sheet.file << " frame " << frame << " is nearly empty";
        }
    }
}

TEST(SpritePictures, TheCatIsGreenAndTakesTwoDifferentSteps)
{
    const QImage cat = loadArgb("assets/img/cat.png");
    for (int frame = 0; frame < 2; ++frame) {
        const QColor mean = meanOpaqueColour(cat, frame);
        EXPECT_GT(mean.green(), mean.red()) << "frame " << frame;
        EXPECT_GT(mean.green(), mean.blue()) << "frame " << frame;
    }
    EXPECT_NE(cat.copy(0, 0, 34, 34), cat.copy(34, 0, 34, 34));
}

TEST(SpritePictures, TheBallIsOneShapeInLightBluePinkAndGreen)
{
    const QImage ball = loadArgb("assets/img/ball.png");
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 34; ++x)
            for (int frame = 1; frame < 3; ++frame)
                ASSERT_EQ(qAlpha(ball.pixel(x, y)), qAlpha(ball.pixel(34 * frame + x, y)))
                    << "frame " << frame << " differs in shape at " << x << "," << y;

    const QColor blue = meanOpaqueColour(ball, 0), pink = meanOpaqueColour(ball, 1),
                 green = meanOpaqueColour(ball, 2);
    EXPECT_TRUE(blue.blue() > blue.green() && blue.green() > blue.red()) << "light blue";
    EXPECT_TRUE(pink.red() > pink.blue() && pink.blue() > pink.green()) << "pink";
    EXPECT_TRUE(green.green() > green.red() && green.green() > green.blue()) << "green";
}

TEST(SpritePictures, TheFloorIsOpaqueAndMulticoloured)
{
    const QImage floor = loadArgb("assets/img/mat1.png");
    ASSERT_EQ(floor.size(), QSize(34, 34));
    std::set<QRgb> colours;
    for (int y = 0; y < 34; ++y)
        for (int x = 0; x < 34; ++x) {
            ASSERT_EQ(qAlpha(floor.pixel(x, y)), 255) << x << "," << y;
            colours.insert(floor.pixel(x, y));
        }
    EXPECT_GE(colours.size(), 3u);
}
