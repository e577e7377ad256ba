// Replays the committed fuzz corpus of the code file reader through its
// property check, so every input the fuzzer kept is also checked by the
// ordinary test run.
#include "tests/editor/codefilecheck.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(CodeFileCorpus, EveryInputIsToldOrWrittenBackAsItWasRead)
{
    const QDir corpus(QStringLiteral(QUILL_SOURCE_DIR "/tests/editor/corpus"));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << "no corpus at " << corpus.path().toStdString();
    int damaged = 0;
    for (const QString &name : names) {
        QFile input(corpus.filePath(name));
        ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = input.readAll();
        EXPECT_EQ(checkCodeFileBytes(bytes), QString()) << name.toStdString();
        damaged += quill::decodeCodeFile(bytes).malformed;
    }
    // The corpus keeps both kinds, or it would test only one side.
    EXPECT_GT(damaged, 0);
    EXPECT_LT(damaged, names.size());
}
