#include "base/quillerror.h"
#include "base/textfile.h"
#include "sprite/spritedocument.h"
#include "sprite/spritesheet.h"
#include "sprite/spritestorage.h"
#include "tests/support/fulldisk.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
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
    static QByteArray readBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

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

// A sheet that cannot be written leaves the old pair as it was: the new
// sprite file is never put beside the old sheet.
TEST_F(SpriteStorage, AFailedSheetLeavesTheOldPair)
{
    quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
    const QByteArray old = readBytes(spriteDir + "hero");
    doc.addCel();
    quill::testsupport::FullDisk disk(imageDir);
    ASSERT_TRUE(disk.mounted()) << disk.error();
    ASSERT_TRUE(disk.fill());
    try {
        quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
        ADD_FAILURE() << "saved on a full disk";
    } catch (const quill::QuillError &error) {
        EXPECT_TRUE(error.message().contains("hero.png")) << error.message().toStdString();
    }
    EXPECT_EQ(readBytes(spriteDir + "hero"), old);
    EXPECT_EQ(QDir(spriteDir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"hero"});
}

// Names that fit the sprite file but not the sheet (".png" more) are refused
// before either is written.
TEST_F(SpriteStorage, ANameTooLongForEitherFileWritesNothing)
{
    for (const int length : {252, 253, 254, 255, 256}) {
        SCOPED_TRACE(length);
        try {
            quill::saveSprite(doc, testPalette(), spriteDir, imageDir, QString(length, u's'));
            ADD_FAILURE() << "saved";
        } catch (const quill::QuillError &error) {
            EXPECT_EQ(error.message(), "File name too long.");
        }
        EXPECT_TRUE(QDir(spriteDir).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        EXPECT_TRUE(QDir(imageDir).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }
    quill::saveSprite(doc, testPalette(), spriteDir, imageDir, QString(251, u's'));
    EXPECT_TRUE(QFile::exists(imageDir + QString(251, u's') + ".png"));
}

TEST_F(SpriteStorage, TheSheetNamesItsSpriteFile)
{
    doc.setPixel(2, 2, 7);
    quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
    QImageReader reader(imageDir + "hero.png");
    EXPECT_EQ(reader.text(quill::SheetSpriteKey), quill::spriteFileDigest(readBytes(spriteDir + "hero")));
    EXPECT_EQ(reader.text(quill::SheetSpriteKey).size(), 40);
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"), std::nullopt);
    // Nothing of the save is left behind.
    EXPECT_TRUE(QDir(spriteDir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(QDir(imageDir).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

// The state a save leaves when it is cut short between its two renames: the
// new sheet, the old sprite file, the new sprite file under its temporary
// name.
class CutShortSave : public SpriteStorage {
protected:
    void SetUp() override
    {
        SpriteStorage::SetUp();
        quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
        oldBytes = readBytes(spriteDir + "hero");
        newDoc.addCel();
        newDoc.setPixel(5, 5, 9);
        QTemporaryDir scratch;
        quill::saveSprite(newDoc, testPalette(), scratch.path() + "/", scratch.path() + "/", "hero");
        QFile::remove(imageDir + "hero.png");
        ASSERT_TRUE(QFile::copy(scratch.path() + "/hero.png", imageDir + "hero.png"));
        ASSERT_TRUE(QDir(spriteDir).mkdir(".quill-saving"));
        ASSERT_TRUE(QFile::copy(scratch.path() + "/hero", spriteDir + ".quill-saving/Ab12Cd"));
    }
    QByteArray oldBytes;
    quill::SpriteDocument newDoc{16};
};

TEST_F(CutShortSave, OpenCompletesIt)
{
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"), std::nullopt);
    EXPECT_EQ(readBytes(spriteDir + "hero"), newDoc.fileBytes());
    EXPECT_FALSE(QFile::exists(spriteDir + ".quill-saving/Ab12Cd"));
}

TEST_F(CutShortSave, StartUpCompletesItAndClearsWhatIsLeft)
{
    // A save cut short before its sheet: only its temporary files are left.
    ASSERT_TRUE(QDir(imageDir).mkdir(".quill-saving"));
    quill::writeBinaryFile(imageDir + ".quill-saving/Zz99Yy", "half a sheet");
    quill::writeBinaryFile(spriteDir + ".quill-saving/Qq11Rr", QByteArray("\x10\x10\x01", 3));

    EXPECT_EQ(quill::settleSpriteSaves(spriteDir, imageDir), QStringList());
    EXPECT_EQ(readBytes(spriteDir + "hero"), newDoc.fileBytes());
    EXPECT_FALSE(QDir(spriteDir + ".quill-saving").exists());
    EXPECT_FALSE(QDir(imageDir + ".quill-saving").exists());
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"), std::nullopt);
}

TEST_F(CutShortSave, APairThatCannotBeCompletedIsTold)
{
    QDir(spriteDir + ".quill-saving").removeRecursively();
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"),
              QString("Sprite hero and its sheet hero.png do not match."));
    EXPECT_EQ(readBytes(spriteDir + "hero"), oldBytes);
    // A missing sprite file beside a sheet that names one is no match either.
    QFile::remove(spriteDir + "hero");
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"),
              QString("Sprite hero and its sheet hero.png do not match."));
}

// Sheets made elsewhere (the starter pictures, older saves) name no sprite
// file and are never called a mismatch.
TEST_F(SpriteStorage, ASheetThatNamesNoSpriteFileIsNoMismatch)
{
    quill::saveSprite(doc, testPalette(), spriteDir, imageDir, "hero");
    QFile::remove(imageDir + "hero.png");
    ASSERT_TRUE(quill::buildSpriteSheet(doc, testPalette()).save(imageDir + "hero.png"));
    doc.addCel();
    quill::writeBinaryFile(spriteDir + "hero", doc.fileBytes());
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"), std::nullopt);
    quill::writeBinaryFile(imageDir + "hero.png", "not a picture");
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"), std::nullopt);
    EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "nosheet"), std::nullopt);
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
