// Replays the committed fuzz corpus of the settings reader through its
// property check, so every input the fuzzer kept is also checked by the
// ordinary test run.
#include "tests/base/settingsfilecheck.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

TEST(SettingsFileCorpus, EveryInputIsKeptOrWrittenBackAsItWasRead)
{
    const QDir corpus(QStringLiteral(QUILL_SOURCE_DIR "/tests/base/corpus"));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << "no corpus at " << corpus.path().toStdString();
    int kept = 0;
    for (const QString &name : names) {
        QFile input(corpus.filePath(name));
        ASSERT_TRUE(input.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray bytes = input.readAll();
        EXPECT_EQ(checkSettingsFileBytes(bytes), QString()) << name.toStdString();
        quill::SettingsStore store;
        store.loadBytes(bytes);
        kept += store.keptFile();
    }
    // The corpus keeps both kinds, or it would test only one side.
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, names.size());
}
