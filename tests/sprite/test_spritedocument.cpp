#include "base/quillerror.h"
#include "sprite/spritedocument.h"
#include "sprite/spritefile.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using quill::SpriteDocument;

// A 2 x 2 document whose cels are told apart by a mark in pixel (0, 0):
// marks {1, 2, 3} are three cels A, B, C.
std::unique_ptr<SpriteDocument> withCels(const std::vector<int> &marks, int current)
{
    auto made = std::make_unique<SpriteDocument>(2);
    SpriteDocument &doc = *made;
    bool first = true;
    for (const int mark : marks) {
        if (!first)
            doc.addCel();
        first = false;
        doc.setPixel(0, 0, static_cast<std::uint8_t>(mark));
    }
    while (doc.CurrentCel() != current)
        doc.nextCel();
    doc.discardUndo();
    return made;
}

std::vector<int> marks(const SpriteDocument &doc)
{
    std::vector<int> result;
    for (int c = 0; c < doc.CelCount(); ++c)
        result.push_back(doc.cel(c)[0]);
    return result;
}

TEST(SpriteDocument, StartsWithOneEmptyCel)
{
    const SpriteDocument doc(16);
    EXPECT_EQ(doc.celLabel(), "1/1");
    EXPECT_EQ(doc.SpriteBuffer().size(), 3u + 32 * 16 * 16);
    EXPECT_EQ(doc.SpriteBuffer()[0], 16);
    EXPECT_EQ(doc.SpriteBuffer()[1], 16);
    EXPECT_EQ(doc.SpriteBuffer()[2], 1);
    EXPECT_TRUE(std::all_of(doc.SpriteBuffer().begin() + 3, doc.SpriteBuffer().end(),
                            [](std::uint8_t p) { return p == 0; }));
    EXPECT_FALSE(doc.UndoAvailable());
    EXPECT_TRUE(std::all_of(doc.CelClipboard().begin(), doc.CelClipboard().end(),
                            [](std::uint8_t p) { return p == 0; }));
}

struct CelCase {
    const char *name;
    std::vector<int> marks;
    int current;
    std::function<void(SpriteDocument &)> operation;
    std::vector<int> marksAfter;
    QString label;
};

TEST(SpriteDocument, CelOperations)
{
    const std::vector<CelCase> cases = {
        {"delete in the middle shows the next cel", {1, 2, 3}, 1, &SpriteDocument::deleteCel, {1, 3}, "2/2"},
        {"delete at the end shows the new last cel", {1, 2, 3}, 2, &SpriteDocument::deleteCel, {1, 2}, "2/2"},
        {"delete the first cel", {1, 2, 3}, 0, &SpriteDocument::deleteCel, {2, 3}, "1/2"},
        {"delete the only cel is refused", {1}, 0, &SpriteDocument::deleteCel, {1}, "1/1"},
        {"previous wraps to the last cel", {1, 2, 3}, 0, &SpriteDocument::previousCel, {1, 2, 3}, "3/3"},
        {"next wraps to the first cel", {1, 2, 3}, 2, &SpriteDocument::nextCel, {1, 2, 3}, "1/3"},
        {"previous with one cel", {1}, 0, &SpriteDocument::previousCel, {1}, "1/1"},
        {"next with one cel", {1}, 0, &SpriteDocument::nextCel, {1}, "1/1"},
        {"add brings an empty last cel", {1, 2}, 0, &SpriteDocument::addCel, {1, 2, 0}, "3/3"},
        {"erase clears the current cel only", {1, 2}, 1, &SpriteDocument::eraseCel, {1, 0}, "2/2"},
        {"paste before any copy erases", {1, 2}, 1, &SpriteDocument::pasteCel, {1, 0}, "2/2"},
        {"copy, next, paste", {1, 2, 3}, 0,
         [](SpriteDocument &d) { d.copyCel(); d.nextCel(); d.nextCel(); d.pasteCel(); }, {1, 2, 1}, "3/3"},
    };
    for (const CelCase &c : cases) {
        const std::unique_ptr<SpriteDocument> made = withCels(c.marks, c.current);
        SpriteDocument &doc = *made;
        c.operation(doc);
        EXPECT_EQ(marks(doc), c.marksAfter) << c.name;
        EXPECT_EQ(doc.celLabel(), c.label) << c.name;
        EXPECT_EQ(doc.SpriteBuffer()[2], doc.CelCount()) << c.name;
    }
}

struct UndoCase {
    const char *name;
    std::function<void(SpriteDocument &)> operation;
    bool snapshots;
};

// Cels A, B, C with B current and A on the cel clipboard; every operation that snapshots is taken back
// whole by one Undo, cel count and current cel included.
TEST(SpriteDocument, UndoAfterEachOperationKind)
{
    const std::vector<UndoCase> cases = {
        {"add", &SpriteDocument::addCel, true},
        {"delete", &SpriteDocument::deleteCel, true},
        {"paste", &SpriteDocument::pasteCel, true},
        {"erase", &SpriteDocument::eraseCel, true},
        {"previous", &SpriteDocument::previousCel, false},
        {"next", &SpriteDocument::nextCel, false},
        {"copy", &SpriteDocument::copyCel, false},
    };
    for (const UndoCase &c : cases) {
        const std::unique_ptr<SpriteDocument> made = withCels({1, 2, 3}, 0);
        SpriteDocument &doc = *made;
        doc.copyCel();
        doc.nextCel();
        const std::vector<std::uint8_t> before = doc.SpriteBuffer();
        c.operation(doc);
        if (c.snapshots)
            ASSERT_NE(doc.SpriteBuffer(), before) << c.name;
        EXPECT_EQ(doc.UndoAvailable(), c.snapshots) << c.name;
        const std::vector<std::uint8_t> after = doc.SpriteBuffer();
        const int currentAfter = doc.CurrentCel();
        doc.Undo();
        if (c.snapshots) {
            EXPECT_EQ(doc.SpriteBuffer(), before) << c.name;
            EXPECT_EQ(doc.celLabel(), "2/3") << c.name;
        } else {
            EXPECT_EQ(doc.SpriteBuffer(), after) << c.name;
            EXPECT_EQ(doc.CurrentCel(), currentAfter) << c.name;
        }
        // The second Undo does nothing.
        const std::vector<std::uint8_t> once = doc.SpriteBuffer();
        doc.Undo();
        EXPECT_EQ(doc.SpriteBuffer(), once) << c.name;
    }
}

TEST(SpriteDocument, UndoAfterDeleteBringsTheCelBackCurrent)
{
    const std::unique_ptr<SpriteDocument> made = withCels({1, 2, 3}, 1);
    SpriteDocument &doc = *made;
    doc.deleteCel();
    doc.Undo();
    EXPECT_EQ(marks(doc), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc.CurrentCel(), 1);
}

TEST(SpriteDocument, AddClearsASlotThatHeldADeletedCel)
{
    const std::unique_ptr<SpriteDocument> made = withCels({1, 2, 3}, 2);
    SpriteDocument &doc = *made;
    doc.deleteCel();   // slot 2 still holds C's bytes
    doc.addCel();
    EXPECT_EQ(marks(doc), (std::vector<int>{1, 2, 0}));
}

TEST(SpriteDocument, AddAtThirtyTwoCelsIsRefusedButSnapshots)
{
    SpriteDocument doc(4);
    for (int i = 1; i < 32; ++i)
        doc.addCel();
    EXPECT_EQ(doc.celLabel(), "32/32");
    doc.setPixel(1, 1, 7);   // no snapshot of its own
    doc.addCel();
    EXPECT_EQ(doc.celLabel(), "32/32");
    EXPECT_TRUE(doc.UndoAvailable());
    doc.Undo();   // the refused Add's snapshot: the document as it was
    EXPECT_EQ(doc.celLabel(), "32/32");
    EXPECT_EQ(doc.pixel(1, 1), 7);
}

TEST(SpriteDocument, DeleteRefusedKeepsThePreviousSnapshot)
{
    SpriteDocument doc(2);
    doc.setPixel(0, 0, 4);
    doc.eraseCel();      // snapshot with the 4
    doc.deleteCel();     // refused: no snapshot
    doc.Undo();
    EXPECT_EQ(doc.pixel(0, 0), 4);
}

TEST(SpriteDocument, NewKeepsTheSnapshotAndAllocateDropsIt)
{
    const std::unique_ptr<SpriteDocument> made = withCels({1, 2}, 1);
    SpriteDocument &doc = *made;
    doc.eraseCel();
    doc.NewSprite();
    EXPECT_EQ(doc.celLabel(), "1/1");
    EXPECT_EQ(marks(doc), (std::vector<int>{0}));
    doc.Undo();
    EXPECT_EQ(marks(doc), (std::vector<int>{1, 2}));
    EXPECT_EQ(doc.celLabel(), "2/2");

    doc.eraseCel();
    doc.AllocateSpriteBuffers(8);
    EXPECT_FALSE(doc.UndoAvailable());
    EXPECT_EQ(doc.spriteSize(), 8);
    EXPECT_EQ(doc.CelClipboard().size(), 64u);
    EXPECT_EQ(doc.WorkCel().size(), 64u);
}

// New, a change of size and Open each leave a way back: Un brings back the
// former sprite at its size, with its name and whether it was saved.
TEST(SpriteDocument, SwitchingToOtherWorkIsUndoneWithSizeAndName)
{
    struct Case {
        const char *name;
        std::function<void(SpriteDocument &)> switchTo;
        int sizeAfter;
        QString nameAfter;
    };
    const quill::SpriteFileContent eightByEight{8, 2, QByteArray(2 * 64, '\x03')};
    const std::vector<Case> cases = {
        {"New", [](SpriteDocument &doc) { doc.startNew(); }, 2, ""},
        {"another size", [](SpriteDocument &doc) { doc.startOver(8); }, 8, ""},
        {"Open of another size", [&](SpriteDocument &doc) { doc.open(eightByEight, "big"); }, 8, "big"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<SpriteDocument> made = withCels({1, 2}, 1);
        SpriteDocument &doc = *made;
        doc.savedAs("mine");
        doc.setPixel(1, 1, 7);  // unsaved from here on
        const QByteArray before = doc.fileBytes();
        ASSERT_TRUE(doc.unsaved());

        c.switchTo(doc);
        EXPECT_EQ(doc.spriteSize(), c.sizeAfter);
        EXPECT_EQ(doc.name(), c.nameAfter);
        EXPECT_TRUE(doc.UndoAvailable());

        doc.Undo();
        EXPECT_EQ(doc.spriteSize(), 2);
        EXPECT_EQ(doc.fileBytes(), before);
        EXPECT_EQ(doc.celLabel(), "2/2");
        EXPECT_EQ(doc.name(), "mine");
        EXPECT_EQ(doc.origin(), "mine");
        EXPECT_TRUE(doc.unsaved());
        EXPECT_EQ(doc.CelClipboard().size(), 4u);
        EXPECT_EQ(doc.WorkCel().size(), 4u);
    }
}

TEST(SpriteDocument, SavedOpenedAndPristine)
{
    SpriteDocument doc(2);
    EXPECT_TRUE(doc.pristine());
    doc.setPixel(0, 0, 1);
    EXPECT_FALSE(doc.pristine());
    EXPECT_TRUE(doc.unsaved());
    doc.savedAs("dot");
    EXPECT_FALSE(doc.unsaved());
    EXPECT_EQ(doc.origin(), "dot");
    doc.setPixel(0, 0, 2);
    EXPECT_TRUE(doc.unsaved());
    doc.setPixel(0, 0, 1);
    EXPECT_FALSE(doc.unsaved()) << "the same bytes as the file again";
    doc.open({2, 1, QByteArray(4, '\0')}, "blank");
    EXPECT_FALSE(doc.unsaved());
    EXPECT_FALSE(doc.pristine()) << "it has a name";
    doc.startNew();
    EXPECT_TRUE(doc.pristine());
}

TEST(SpriteDocument, SizesOutsideTheRangeNeverReachTheBuffers)
{
    for (const int size : {0, -1, 128, 255, 1000}) {
        const std::unique_ptr<SpriteDocument> made = withCels({1, 2}, 1);
        SpriteDocument &doc = *made;
        EXPECT_THROW(doc.AllocateSpriteBuffers(size), quill::QuillError) << size;
        EXPECT_EQ(doc.spriteSize(), 2) << size;
        EXPECT_EQ(marks(doc), (std::vector<int>{1, 2})) << size;
    }
    EXPECT_NO_THROW(SpriteDocument(1));
    EXPECT_NO_THROW(SpriteDocument(127));
}

TEST(SpriteDocument, LoadingAFileOfAnotherSizeReallocates)
{
    const std::unique_ptr<SpriteDocument> made = withCels({1, 2, 3}, 2);
    SpriteDocument &doc = *made;
    doc.eraseCel();
    quill::SpriteFileContent content{8, 2, QByteArray(2 * 64, '\0')};
    content.cels[64] = 9;
    EXPECT_TRUE(doc.loadFile(content));
    EXPECT_EQ(doc.spriteSize(), 8);
    EXPECT_EQ(doc.celLabel(), "1/2");
    EXPECT_EQ(marks(doc), (std::vector<int>{0, 9}));
    EXPECT_FALSE(doc.UndoAvailable());
    EXPECT_EQ(doc.fileBytes(), QByteArray("\x08\x08\x02", 3) + content.cels);
}

TEST(SpriteDocument, LoadingAShorterFileOfTheSameSizeLeavesNoStaleCelBehindAdd)
{
    const std::unique_ptr<SpriteDocument> made = withCels({1, 2, 3}, 0);
    SpriteDocument &doc = *made;
    EXPECT_FALSE(doc.loadFile({2, 1, QByteArray("\x05\0\0\0", 4)}));
    EXPECT_EQ(doc.celLabel(), "1/1");
    doc.addCel();
    EXPECT_EQ(marks(doc), (std::vector<int>{5, 0}));
}

TEST(SpriteDocument, LoadingContentThatDoesNotFitIsRefused)
{
    const std::unique_ptr<SpriteDocument> made = withCels({1, 2}, 1);
    SpriteDocument &doc = *made;
    EXPECT_THROW(doc.loadFile({2, 3, QByteArray(4, '\0')}), quill::QuillError);
    EXPECT_THROW(doc.loadFile({2, 33, QByteArray(33 * 4, '\0')}), quill::QuillError);
    EXPECT_EQ(marks(doc), (std::vector<int>{1, 2}));
}

// The canvas, the preview and the recovery journal follow the document by
// its signal alone: every change announces itself; the name and its file do not.
TEST(SpriteDocument, EveryChangeAnnouncesItself)
{
    struct Case {
        const char *name;
        std::function<void(SpriteDocument &)> operation;
        bool announced;
    };
    const std::vector<Case> cases = {
        {"a pixel", [](SpriteDocument &d) { d.setPixel(1, 1, 4); }, true},
        {"a pixel of its own colour", [](SpriteDocument &d) { d.setPixel(0, 0, 2); }, false},
        {"an edit of the cel", [](SpriteDocument &d) { d.editCurrentCel([](quill::CelPixels cel) { cel[3] = 7; return true; }); }, true},
        {"an edit that changed nothing", [](SpriteDocument &d) { d.editCurrentCel([](quill::CelPixels) { return false; }); }, false},
        {"a transform", [](SpriteDocument &d) { d.CommitWorkCel(); }, true},
        {"Ad", [](SpriteDocument &d) { d.addCel(); }, true},
        {"Dl", [](SpriteDocument &d) { d.deleteCel(); }, true},
        {"<-", [](SpriteDocument &d) { d.previousCel(); }, true},
        {"->", [](SpriteDocument &d) { d.nextCel(); }, true},
        {"Cp", [](SpriteDocument &d) { d.copyCel(); }, true},
        {"Ps", [](SpriteDocument &d) { d.pasteCel(); }, true},
        {"Er", [](SpriteDocument &d) { d.eraseCel(); }, true},
        {"Un without a snapshot", [](SpriteDocument &d) { d.Undo(); }, true},
        {"New", [](SpriteDocument &d) { d.startNew(); }, true},
        {"another size", [](SpriteDocument &d) { d.startOver(4); }, true},
        {"Open", [](SpriteDocument &d) { d.open({2, 1, QByteArray(4, '\1')}, "ring"); }, true},
        {"a recovered sprite", [](SpriteDocument &d) { d.recover({2, 1, QByteArray(4, '\1')}, 0, "ring", ""); }, true},
        {"a loaded file", [](SpriteDocument &d) { d.loadFile({2, 1, QByteArray(4, '\1')}); }, true},
        {"new buffers", [](SpriteDocument &d) { d.AllocateSpriteBuffers(2); }, true},
        {"the name typed", [](SpriteDocument &d) { d.setName("ring"); }, false},
        {"a save", [](SpriteDocument &d) { d.savedAs("ring"); }, false},
        {"a snapshot", [](SpriteDocument &d) { d.TakeUndoSnapshot(); }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<SpriteDocument> made = withCels({2, 3}, 0);
        SpriteDocument &doc = *made;
        int announced = 0;
        QObject::connect(&doc, &SpriteDocument::changed, [&] { ++announced; });
        c.operation(doc);
        EXPECT_EQ(announced > 0, c.announced);
    }
}

} // namespace
