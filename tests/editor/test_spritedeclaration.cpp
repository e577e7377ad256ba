#include "base/quillerror.h"
#include "editor/spritedeclaration.h"
#include "tests/builder/qtprint.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

namespace quill {
namespace {

struct DeclarationCase {
    const char *name;
    QString file;
    int width;
    int height;
    int SpriteSize;
    QString declaration;
};

TEST(SpriteDeclaration, TakesTheFormTheImageSizeCallsFor)
{
    const std::vector<DeclarationCase> cases = {
        {"a sheet of 16-pixel sprites", "cat.png", 68, 34, 16, "sprite(,\"cat\",2);"},
        {"a sheet of the current sprite size", "name.png", 72, 18, 8, "sprite(,\"name\",4,16,16,1);"},
        {"any other image", "name.png", 100, 50, 8, "sprite(,\"name\",1,100,50,0);"},
        {"34 high wins over the current size's sheet", "s.png", 34, 34, 8, "sprite(,\"s\",1);"},
        {"34 high but not a multiple of 34 wide", "odd.png", 35, 34, 16, "sprite(,\"odd\",1,35,34,0);"},
        {"the current size's height but an odd width", "odd.png", 19, 18, 8, "sprite(,\"odd\",1,19,18,0);"},
        {"the smallest sprite size", "tiny.png", 8, 4, 1, "sprite(,\"tiny\",2,2,2,1);"},
        {"the largest sprite size", "big.png", 768, 256, 127, "sprite(,\"big\",3,254,254,1);"},
        {"a one-pixel image", "dot.png", 1, 1, 16, "sprite(,\"dot\",1,1,1,0);"},
        {"only the last extension goes", "my.cat.png", 68, 34, 16, "sprite(,\"my.cat\",2);"},
        {"a name without extension stays whole", "plain", 68, 34, 16, "sprite(,\"plain\",2);"},
        {"blanks as written", "my cat.png", 68, 34, 16, "sprite(,\"my cat\",2);"},
        {"quotes and backslashes escaped", "say \"hi\" it's \\.png", 34, 34, 16,
         "sprite(,\"say \\\"hi\\\" it's \\\\\",1);"},
    };
    for (const DeclarationCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SpriteDeclaration(c.file, c.width, c.height, c.SpriteSize), c.declaration);
    }
}

TEST(SoundDeclaration, NamesTheFileWithoutItsExtension)
{
    EXPECT_EQ(SoundDeclaration("catbgm.ogg"), "sndload(,\"catbgm\");");
    EXPECT_EQ(SoundDeclaration("a.b.wav"), "sndload(,\"a.b\");");
    EXPECT_EQ(SoundDeclaration("beep"), "sndload(,\"beep\");");
    EXPECT_EQ(SoundDeclaration("my \"tune\".ogg"), "sndload(,\"my \\\"tune\\\"\");");
}

TEST(SpriteImageChoices, LeaveOutOnlyTheFontSheet)
{
    EXPECT_EQ(SpriteImageChoices({"ball.png", "cat.png", "fnt18.png", "Fnt18.png", "fnt18.png.bak", "mat1.png"}),
              (QStringList{"ball.png", "cat.png", "Fnt18.png", "fnt18.png.bak", "mat1.png"}));
}

TEST(ImageSizeOf, GivesTheSizeOrNamesTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sheet = dir.filePath("odd.png");
    ASSERT_TRUE(QImage(37, 17, QImage::Format_ARGB32).save(sheet));
    EXPECT_EQ(imageSizeOf(sheet), QSize(37, 17));

    const QString broken = dir.filePath("broken.png");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray bytes = QByteArray::fromHex("89504e470d0a1a0a");  // a PNG signature and nothing else
    file.write(bytes);
    file.close();
    try {
        imageSizeOf(broken);
        FAIL() << "a broken image must not give a size";
    } catch (const QuillError &error) {
        EXPECT_TRUE(error.message().startsWith("Failed to open broken.png: ")) << error.message().toStdString();
    }
    EXPECT_THROW(imageSizeOf(dir.filePath("missing.png")), QuillError);
}

// PNG's chunk checksum (CRC-32, polynomial 0xEDB88320).
quint32 pngCrc(const QByteArray &bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

// A PNG whose header announces the size, with picture data of no pixel at
// all (an empty deflate stream): the size comes from the header alone, and
// decoding the picture would fail.
QByteArray headerOnlyPng(quint32 width, quint32 height)
{
    const auto chunk = [](const QByteArray &type, const QByteArray &data) {
        QByteArray bytes;
        const quint32 length = quint32(data.size());
        for (int shift : {24, 16, 8, 0})
            bytes += char((length >> shift) & 0xFF);
        const QByteArray body = type + data;
        bytes += body;
        const quint32 crc = pngCrc(body);
        for (int shift : {24, 16, 8, 0})
            bytes += char((crc >> shift) & 0xFF);
        return bytes;
    };
    QByteArray header;
    for (quint32 value : {width, height})
        for (int shift : {24, 16, 8, 0})
            header += char((value >> shift) & 0xFF);
    header += QByteArray::fromHex("0806000000");  // 8 bits, RGBA, deflate, no filter, no interlace
    return QByteArray::fromHex("89504e470d0a1a0a") + chunk("IHDR", header)
           + chunk("IDAT", QByteArray::fromHex("789c030000000001")) + chunk("IEND", {});
}

struct HeaderCase {
    const char *name;
    quint32 width;
    quint32 height;
    QString outcome;  // "" when the size comes back
};

TEST(ImageSizeOf, ReadsTheHeaderAloneAndRefusesPicturesOverTheLimit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString limit = " pixels; a sprite image may be at most 16384 x 16384.";
    const std::vector<HeaderCase> cases = {
        {"a sheet", 68, 34, ""},
        {"large, never decoded", 5700, 5700, ""},
        {"at the limit", 16384, 16384, ""},
        {"too wide", 16385, 34, "Too large: pic.png is 16385 x 34" + limit},
        {"too large both ways", 16000 * 2, 16000 * 2, "Too large: pic.png is 32000 x 32000" + limit},
    };
    for (const HeaderCase &c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(dir.filePath("pic.png"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(headerOnlyPng(c.width, c.height));
        file.close();
        try {
            EXPECT_EQ(imageSizeOf(file.fileName()), QSize(int(c.width), int(c.height)));
            EXPECT_EQ(c.outcome, "");
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), c.outcome);
        }
    }
    // Neither a FIFO nor a device is opened, let alone read.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath("fifo.png")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("zero.png")));
    for (const char *name : {"fifo.png", "zero.png"}) {
        try {
            imageSizeOf(dir.filePath(name));
            ADD_FAILURE() << name;
        } catch (const QuillError &error) {
            EXPECT_EQ(error.message(), QString("Failed to open %1.").arg(name));
        }
    }
}

} // namespace
} // namespace quill
