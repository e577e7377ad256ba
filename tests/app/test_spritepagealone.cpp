// The Sprite page built alone, with fakes for what it crosses into: the pick
// list, the recovery journal and the window's layout pass.
#include "app/spritepage.h"

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "app/handlerboundary.h"
#include "sprite/palette.h"
#include "sprite/spriteeditor.h"
#include "sprite/spritestorage.h"

#include "tests/support/application.h"
#include "tests/support/recordingsink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace quill {
namespace {

using testsupport::RecordingSink;

// What the page asked of the window, in order.
struct Crossed {
    QStringList asked;
    QStringList offered;
    int sizeWhenKept = 0;
};

class SpritePageAlone : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ensureApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(workspace.isValid());
        paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
        QDir().mkpath(paths.spriteDir);
        QDir().mkpath(paths.imageDir);
        applyDefaultSettings(settings, QString(), DesignClientWidth);
        editor.ApplyPalette(settings);
        SpritePageCrossings crossings{
            .offerPalettes =
                [this](const QStringList &names) {
                    crossed.asked << "offerPalettes";
                    crossed.offered = names;
                },
            .keepUnsavedWork =
                [this] {
                    crossed.asked << "keepUnsavedWork";
                    crossed.sizeWhenKept = editor.document().spriteSize();
                },
            .spriteSaved = [this] { crossed.asked << "spriteSaved"; },
            .sizeChanged =
                [this] {
                    crossed.asked << "sizeChanged";
                    layOut();
                },
        };
        page = std::make_unique<SpritePage>(editor, settings, paths, crossings, handlers);
        page->resize(DesignClientWidth, DesignClientHeight - TabStripHeight);
        layOut();
        page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(page.get()));
    }

    // The window's layout pass, for the page alone.
    void layOut()
    {
        LayoutInput input;
        input.spriteSize = editor.document().spriteSize();
        layout = computeLayout(input);
        page->layoutPage(layout);
    }

    template <typename T = QWidget> T *control(const char *name) const
    {
        T *found = page->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void press(const char *button) const { control<QPushButton>(button)->click(); }
    // The colour the canvas shows in the middle of cell (x, y).
    QRgb canvasAt(int x, int y) const
    {
        const int zoom = layout.canvasZoom;
        return control("pntMain")->grab().toImage().pixel(x * zoom + zoom / 2, y * zoom + zoom / 2);
    }

    QTemporaryDir workspace;
    WorkspacePaths paths;
    SettingsStore settings;
    SpriteEditor editor{DefaultSpriteSize};
    RecordingSink sink;
    Handlers handlers{sink};
    Crossed crossed;
    LayoutResult layout;
    std::unique_ptr<SpritePage> page;
};

// The label, the canvas and the preview follow the document: a change made
// on the model alone shows.
TEST_F(SpritePageAlone, ThePicturesFollowTheDocumentAlone)
{
    SpriteDocument &document = editor.document();
    document.setPixel(2, 3, 5);
    EXPECT_EQ(qRgb(qRed(canvasAt(2, 3)), qGreen(canvasAt(2, 3)), qBlue(canvasAt(2, 3))),
              qRgb(qRed(editor.palette()[5]), qGreen(editor.palette()[5]), qBlue(editor.palette()[5])));
    document.addCel();
    EXPECT_EQ(control<QLabel>("lblCel")->text(), "2/2");
    EXPECT_EQ(canvasAt(2, 3), canvasAt(0, 0)) << "the new cel is empty";
    document.Undo();
    EXPECT_EQ(control<QLabel>("lblCel")->text(), "1/1");
    EXPECT_NE(canvasAt(2, 3), canvasAt(0, 0));
}

TEST_F(SpritePageAlone, PalettesAreOfferedThroughThePickListAndChosen)
{
    press("btGraData");
    EXPECT_EQ(crossed.asked, QStringList({"offerPalettes"}));
    EXPECT_EQ(crossed.offered, paletteNames(settings));
    page->choosePalette("C64");
    EXPECT_EQ(settings.value("palette"), "C64");
    EXPECT_EQ(editor.palette(), decodePalette(settings.value("pltC64")));
}

// Save tells the journal; a sprite opened at another size has the window
// lay the pages out again, one of the same size does not.
TEST_F(SpritePageAlone, SaveAndOpenCrossToTheJournalAndTheLayout)
{
    editor.document().setPixel(1, 1, 4);
    control<QLineEdit>("edtGraFile")->setText("ring");
    press("btGraSave");
    EXPECT_EQ(sink.messages, QStringList({"Saved."}));
    EXPECT_EQ(crossed.asked, QStringList({"spriteSaved"}));
    EXPECT_TRUE(QFile::exists(paths.spriteDir + "ring"));
    EXPECT_TRUE(QFile::exists(paths.imageDir + "ring.png"));

    SpriteEditor small(8);
    saveSprite(small.document(), small.palette(), paths.spriteDir, paths.imageDir, "small");
    struct Case {
        const char *name;
        int size;
        QStringList asked;
    };
    const std::vector<Case> cases = {
        {"small", 8, {"sizeChanged"}},
        {"small", 8, {}},
        {"ring", 16, {"sizeChanged"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        crossed.asked.clear();
        press("btGraOpen");
        auto *list = control<QListWidget>("lstGrafiles");
        const QList<QListWidgetItem *> found = list->findItems(c.name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        list->setCurrentItem(found.front());
        press("btGraOk");
        EXPECT_EQ(editor.document().spriteSize(), c.size);
        EXPECT_EQ(crossed.asked, c.asked);
        EXPECT_EQ(layout.canvasZoom, layout.canvas.width() / c.size);
    }
}

// A change of size writes an unsaved drawing to the journal before the empty
// sprite replaces it; an empty sprite is not worth it.
TEST_F(SpritePageAlone, AChangeOfSizeKeepsTheUnsavedDrawingFirst)
{
    page->resizeSprite(24);
    EXPECT_EQ(crossed.asked, QStringList());
    EXPECT_TRUE(sink.messages.isEmpty());
    EXPECT_EQ(editor.document().spriteSize(), 24);

    editor.document().setPixel(0, 0, 3);
    page->resizeSprite(16);
    EXPECT_EQ(crossed.asked, QStringList({"keepUnsavedWork"}));
    EXPECT_EQ(crossed.sizeWhenKept, 24) << "kept before the drawing went";
    EXPECT_EQ(sink.messages, QStringList({"The unsaved drawing was kept: Un brings it back."}));
    EXPECT_EQ(editor.document().spriteSize(), 16);
}

} // namespace
} // namespace quill
