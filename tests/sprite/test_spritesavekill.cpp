// Sprite saves killed at random moments: after the next start's settling,
// the sprite file and its sheet are always a pair, the old one or the new.
#include "sprite/spritedocument.h"
#include "sprite/spritesheet.h"
#include "sprite/spritestorage.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

quill::Palette palette()
{
    quill::Palette colours;
    for (int i = 0; i < 16; ++i)
        colours[i] = qRgb(15 * i, 255 - 15 * i, 7 * i);
    return colours;
}

// Two documents that differ in size, cel count and pixels, so that a sheet
// of one never passes for the other's.
void drawSmall(quill::SpriteDocument &doc)
{
    doc.setPixel(3, 3, 5);
}

void drawLarge(quill::SpriteDocument &doc)
{
    for (int cel = 1; cel < 24; ++cel)
        doc.addCel();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            doc.setPixel(x, y, (x * 7 + y * 3) % 16);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SpriteSaveKilled, EveryKillLeavesAMatchingPair)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString spriteDir = dir.path() + "/sprfiles/";
    const QString imageDir = dir.path() + "/img/";
    ASSERT_TRUE(QDir().mkpath(spriteDir) && QDir().mkpath(imageDir));
    quill::SpriteDocument small(16), large(64);
    drawSmall(small);
    drawLarge(large);
    const quill::SpriteDocument *const documents[] = {&small, &large};
    const QImage sheets[] = {quill::buildSpriteSheet(*documents[0], palette()),
                             quill::buildSpriteSheet(*documents[1], palette())};
    // The kills fall anywhere in a few rounds of saves of both documents,
    // however long a round takes on this machine (the disk syncs of a
    // save vary a lot), so that kills fall on saves of each.
    std::chrono::microseconds round{0};
    for (int trial = 0; trial < 3; ++trial) {
        const auto start = std::chrono::steady_clock::now();
        quill::saveSprite(*documents[1], palette(), spriteDir, imageDir, "hero");
        quill::saveSprite(*documents[0], palette(), spriteDir, imageDir, "hero");
        round = std::max(round, std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start));
    }

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delayUs(0, std::max<long>(40000, 3 * round.count()));
    constexpr int Kills = 60;
    int seen[2] = {0, 0};
    for (int kill = 0; kill < Kills; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves the two documents in turn until it is killed.
            for (int turn = 0;; turn ^= 1) {
                try {
                    quill::saveSprite(*documents[turn], palette(), spriteDir, imageDir, "hero");
                } catch (...) {
                    ::_exit(3);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process ended by itself: " << status;

        // As the next start and the next Open do.
        EXPECT_EQ(quill::settleSpriteSaves(spriteDir, imageDir), QStringList()) << "kill " << kill;
        EXPECT_EQ(quill::checkSpritePair(spriteDir, imageDir, "hero"), std::nullopt) << "kill " << kill;

        const QByteArray sprite = readBytes(spriteDir + "hero");
        const int which = sprite == documents[0]->fileBytes() ? 0 : sprite == documents[1]->fileBytes() ? 1 : -1;
        ASSERT_NE(which, -1) << "kill " << kill << ": a sprite file of neither document, "
                             << sprite.size() << " bytes";
        ++seen[which];
        const QImage sheet = QImage(imageDir + "hero.png").convertToFormat(QImage::Format_RGBA8888);
        EXPECT_EQ(sheet, sheets[which]) << "kill " << kill << ": the sheet is not the sprite file's";
        EXPECT_FALSE(QDir(spriteDir + ".quill-saving").exists()) << "kill " << kill;
        EXPECT_FALSE(QDir(imageDir + ".quill-saving").exists()) << "kill " << kill;
    }
    // The kills fell on saves of both documents: the loop was saving.
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
}

} // namespace
