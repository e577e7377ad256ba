#include "base/quillerror.h"
#include "sprite/spritedocument.h"
#include "sprite/spritefile.h"
#include "tests/sprite/spritefilecheck.h"

#include <gtest/gtest.h>

namespace {

QByteArray file(int width, int height, int cels, qsizetype pixelBytes, char pixel = 0)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(width));
    bytes.append(static_cast<char>(height));
    bytes.append(static_cast<char>(cels));
    bytes.append(QByteArray(pixelBytes, pixel));
    return bytes;
}

struct RejectCase {
    const char *name;
    QByteArray bytes;
};

TEST(SpriteFile, RefusesWhatTheProgramCannotHaveWritten)
{
    QByteArray highIndex = file(2, 2, 1, 4);
    highIndex[5] = 16;
    QByteArray byteAbove127 = file(2, 2, 1, 4);
    byteAbove127[6] = static_cast<char>(0xFF);
    const std::vector<RejectCase> cases = {
        {"empty", {}},
        {"header cut short", QByteArray("\x10\x10", 2)},
        {"shorter than the header announces", file(16, 16, 2, 2 * 256 - 1)},
        {"no cel", file(16, 16, 0, 0)},
        {"33 cels", file(2, 2, 33, 33 * 4)},
        {"cel count read as signed", file(2, 2, 0x81, 0x81 * 4)},
        {"size 0", file(0, 0, 1, 0)},
        {"size 128 is negative as a signed byte", file(128, 128, 1, 128 * 128)},
        {"width and height differ", file(4, 2, 1, 16)},
        {"an index above 15", highIndex},
        {"a byte above 127", byteAbove127},
    };
    for (const RejectCase &c : cases) {
        try {
            quill::parseSpriteFile(c.bytes);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const quill::QuillError &error) {
            EXPECT_EQ(error.message(), "Invalid sprite file.") << c.name;
        }
    }
}

struct AcceptCase {
    const char *name;
    QByteArray bytes;
    int size;
    int cels;
};

TEST(SpriteFile, AcceptsEverythingTheProgramWrites)
{
    const std::vector<AcceptCase> cases = {
        {"one default cel", file(16, 16, 1, 256, 15), 16, 1},
        {"smallest", file(1, 1, 1, 1), 1, 1},
        {"largest", file(127, 127, 32, 32 * 127 * 127, 3), 127, 32},
        {"bytes after the last cel are ignored", file(2, 2, 1, 4 + 10, 1), 2, 1},
    };
    for (const AcceptCase &c : cases) {
        const quill::SpriteFileContent content = quill::parseSpriteFile(c.bytes);
        EXPECT_EQ(content.size, c.size) << c.name;
        EXPECT_EQ(content.celCount, c.cels) << c.name;
        EXPECT_EQ(content.cels, c.bytes.mid(3, c.cels * c.size * c.size)) << c.name;
    }
}

TEST(SpriteFile, DocumentWritesTheFileLayout)
{
    struct Case {
        int cels;
        qsizetype bytes;
    };
    for (const Case c : {Case{1, 259}, Case{3, 771}}) {
        quill::SpriteDocument doc(16);
        for (int i = 1; i < c.cels; ++i)
            doc.addCel();
        doc.setPixel(15, 15, 9);
        const QByteArray bytes = doc.fileBytes();
        EXPECT_EQ(bytes.size(), c.bytes);
        EXPECT_EQ(bytes.left(3), QByteArray::fromRawData("\x10\x10", 2) + char(c.cels));
        EXPECT_EQ(bytes.back(), 9);
        EXPECT_TRUE(checkSpriteFileBytes(bytes).isEmpty());
    }
}

} // namespace
