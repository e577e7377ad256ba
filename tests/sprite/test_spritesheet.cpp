#include "base/quillerror.h"
#include "sprite/spritedocument.h"
#include "sprite/spritesheet.h"
#include "sprite/spritestorage.h"
#include "tests/support/fulldisk.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

quill::Palette testPalette()
{
    quill::Palette palette;
    for (int i = 0; i < 16; ++i)
        palette[i] = qRgb(10 * i, 200 - 10 * i, 5 + i);
    return palette;
}

TEST(SpriteSheet, SizesFollowTheSpriteSize)
{
    struct Case {
        int size, cels, width, height;
    };
    for (const Case c : {Case{8, 1, 18, 18}, Case{16, 1, 34, 34}, Case{16, 3, 102, 34}, Case{20, 2, 84, 42}}) {
        quill::SpriteDocument doc(c.size);
        for (int i = 1; i < c.cels; ++i)
            doc.addCel();
        const QImage sheet = quill::buildSpriteSheet(doc, testPalette());
        EXPECT_EQ(sheet.size(), QSize(c.width, c.height)) << c.size << " x " << c.cels;
    }
}

// Decodes PNG bytes with Qt's PNG reader (libpng), as any page would.
QImage decode(const QByteArray &png)
{
    QImage image;
    EXPECT_TRUE(image.loadFromData(png, "PNG"));
    return image.convertToFormat(QImage::Format_RGBA8888);
}

TEST(SpriteSheet, OneCornerPixelFillsItsBlockAndTheFrameCorner)
{
    quill::SpriteDocument doc(16);
    doc.addCel();
    doc.setPixel(0, 0, 5);   // cel 1 only
    const quill::Palette palette = testPalette();
    const QImage sheet = decode(quill::encodeSpriteSheet(doc, palette));
    ASSERT_EQ(sheet.size(), QSize(68, 34));
    const QColor five = QColor::fromRgba(palette[5]);
    for (int v = 0; v < 34; ++v)
        for (int u = 0; u < 68; ++u) {
            const QColor pixel = sheet.pixelColor(u, v);
            const bool corner = u >= 34 && u <= 36 && v <= 2;
            if (corner)
                ASSERT_EQ(pixel, five) << u << "," << v;
            else
                ASSERT_EQ(pixel.rgba(), 0u) << u << "," << v << " must be fully transparent";
        }
}

TEST(SpriteSheet, FrameRepeatsTheEdgeOfThePicture)
{
    quill::SpriteDocument doc(3);
    const std::uint8_t indices[9] = {1, 2, 3, 4, 0, 6, 7, 8, 9};
    for (int i = 0; i < 9; ++i)
        doc.setPixel(i % 3, i / 3, indices[i]);
    const quill::Palette palette = testPalette();
    const QImage sheet = quill::buildSpriteSheet(doc, palette);
    ASSERT_EQ(sheet.size(), QSize(8, 8));
    // Cell pixel (u, v) shows sprite pixel (clamp((u - 1) div 2), clamp((v - 1) div 2)).
    const int source[8] = {0, 0, 0, 1, 1, 2, 2, 2};
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            const std::uint8_t index = indices[source[v] * 3 + source[u]];
            const QRgb expected = index == 0 ? 0u : (palette[index] | 0xFF000000u);
            ASSERT_EQ(sheet.pixelColor(u, v).rgba(), expected) << u << "," << v;
        }
}

class SpriteStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath("sprfiles");
        QDir(dir.path()).mkpath("img");
        spriteDir = dir.path() + "/sprfiles/";
        imageDir = dir.path() + "/img/";
    }
    QStringList filesIn(const QString &folder) const { return QDir(folder).entryList(QDir::Files); }

    QTemporaryDir dir;
    QString spriteDir, imageDir;
    quill::SpriteDocument doc{16};
};

TEST_F(SpriteStorage, SavesBothFilesAndOpensTheSpriteAgain)
{
    doc.addCel();
    doc.addCel();
    doc.setPixel(3, 4, 11);
    quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
    EXPECT_EQ(QFile(spriteDir + "hero").size(), 771);
    EXPECT_EQ(QImage(imageDir + "hero.png").size(), QSize(102, 34));

    quill::SpriteDocument other(8);
    other.loadFile(quill::openSprite(spriteDir, "hero"));
    EXPECT_EQ(other.fileBytes(), doc.fileBytes());
    EXPECT_EQ(other.celLabel(), "1/3");
}

TEST_F(SpriteStorage, OpeningAnEightPixelFileAtSizeSixteen)
{
    quill::SpriteDocument small(8);
    small.setPixel(7, 7, 4);
    quill::saveSprite(small, testPalette(), spriteDir, imageDir, "tiny");
    EXPECT_TRUE(doc.loadFile(quill::openSprite(spriteDir, "tiny")));
    EXPECT_EQ(doc.spriteSize(), 8);
    EXPECT_EQ(doc.pixel(7, 7), 4);
}

TEST_F(SpriteStorage, RefusedNamesWriteNothing)
{
    struct Case {
        const char *name;
        const char *message;
    };
    for (const Case c : {Case{"", "Input file name."}, Case{"a/b", "Invalid file name."},
                         Case{"..\\x", "Invalid file name."}, Case{"..", "Invalid file name."},
                         Case{".", "Invalid file name."}, Case{"../img/x", "Invalid file name."}}) {
        try {
            quill::saveSprite(doc, testPalette(), spriteDir, imageDir, c.name);
            ADD_FAILURE() << "saved " << c.name;
        } catch (const quill::QuillError &error) {
            EXPECT_EQ(error.message(), c.message) << c.name;
        }
    }
    EXPECT_TRUE(filesIn(spriteDir).isEmpty());
    EXPECT_TRUE(filesIn(imageDir).isEmpty());
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST_F(SpriteStorage, AnInvalidFileLeavesTheDocumentAlone)
{
    QFile bad(spriteDir + "bad");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("\x10\x10\x02", 3) + QByteArray(300, '\0'));
    bad.close();
    doc.setPixel(1, 1, 3);
    const std::vector<std::uint8_t> before = doc.SpriteBuffer();
    try {
        doc.loadFile(quill::openSprite(spriteDir, "bad"));
        ADD_FAILURE() << "a short file was read";
    } catch (const quill::QuillError &error) {
        EXPECT_EQ(error.message(), "Invalid sprite file.");
    }
    EXPECT_THROW(quill::openSprite(spriteDir, "missing"), quill::QuillError);
    EXPECT_EQ(doc.SpriteBuffer(), before);
}

TEST_F(SpriteStorage, AFailedSheetIsReportedByNameAfterTheSpriteFile)
{
    quill::testsupport::FullDisk disk(imageDir);
    ASSERT_TRUE(disk.mounted()) << disk.error();
    ASSERT_TRUE(disk.fill());
    try {
        quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
        ADD_FAILURE() << "saved on a full disk";
    } catch (const quill::QuillError &error) {
        EXPECT_TRUE(error.message().contains("hero.png")) << error.message().toStdString();
    }
    EXPECT_EQ(QFile(spriteDir + "hero").size(), 259);
    EXPECT_FALSE(QFile::exists(imageDir + "hero.png"));
}

TEST_F(SpriteStorage, AFailedSpriteFileStopsBeforeTheSheet)
{
    quill::testsupport::FullDisk disk(spriteDir);
    ASSERT_TRUE(disk.mounted()) << disk.error();
    ASSERT_TRUE(disk.fill());
    try {
        quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
        ADD_FAILURE() << "saved on a full disk";
    } catch (const quill::QuillError &error) {
        EXPECT_TRUE(error.message().contains("sprfiles/hero")) << error.message().toStdString();
    }
    EXPECT_FALSE(QFile::exists(imageDir + "hero.png"));
}

} // namespace
