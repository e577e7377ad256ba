#include "base/quillerror.h"
#include "editor/spritedeclaration.h"
#include "tests/builder/qtprint.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
}

TEST(SpriteImageChoices, LeaveOutOnlyTheFontSheet)
{
    EXPECT_EQ(SpriteImageChoices({"ball.png", "cat.png", "fnt18.png", "Fnt18.png", "fnt18.png.bak", "mat1.png"}),
              (QStringList{"ball.png", "cat.png", "Fnt18.png", "fnt18.png.bak", "mat1.png"}));
}

TEST(ImageSizeOf, DecodesTheImageOrNamesTheFile)
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
        EXPECT_TRUE(error.message().startsWith("Failed to open " + broken)) << error.message().toStdString();
    }
    EXPECT_THROW(imageSizeOf(dir.filePath("missing.png")), QuillError);
}

} // namespace
} // namespace quill
