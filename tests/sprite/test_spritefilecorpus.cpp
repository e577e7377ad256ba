// Replays the committed fuzz corpus through the reader's safety check, so
// every input the fuzzer kept is also checked by the ordinary test run.
#include "tests/sprite/spritefilecheck.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(SpriteFileCorpus, EveryInputIsRefusedCleanlyOrReadBackUnchanged)
{
    const QDir corpus(QStringLiteral(QUILL_SOURCE_DIR "/tests/sprite/corpus"));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << "no corpus at " << corpus.path().toStdString();
    int accepted = 0;
    for (const QString &name : names) {
        QFile input(corpus.filePath(name));
        ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = input.readAll();
        EXPECT_EQ(checkSpriteFileBytes(bytes), QString()) << name.toStdString();
        try {
            quill::parseSpriteFile(bytes);
            ++accepted;
        } catch (const quill::QuillError &) {
        }
    }
    // The corpus keeps both kinds, or it would test only one side.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, names.size());
}
