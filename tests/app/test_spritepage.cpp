// The Sprite page in the main window: drawing with the mouse and with touch,
// the tool buttons, the colour bar, palettes through the pick list, the file
// bar, and the animated preview.
#include "app/ammain.h"
#include "base/textfile.h"
#include "editor/picklist.h"
#include "sprite/spritecanvas.h"
#include "sprite/spriteeditor.h"
#include "sprite/spritepreview.h"

#include "tests/app/windowtest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    bool askQuestion(const QString &question) override
    {
        messages << question;
        return answer;
    }
    QStringList messages;
    bool answer = false;
};

class SpritePageTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->findChild<QTabWidget *>("TabControl1")->setCurrentIndex(1);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

public:
    template <typename T = QWidget> T *control(const char *name) const
    {
        return controlNamed<T>(window.get(), name);
    }
    void press(const char *button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
    QString text(const char *label) const { return control<QLabel>(label)->text(); }
    const quill::SpriteDocument &document() const { return window->spriteEditor().document(); }

    // The centre of canvas cell (x, y).
    QPoint cellCentre(int x, int y) const
    {
        const int zoom = window->layout().canvasZoom;
        return {x * zoom + zoom / 2, y * zoom + zoom / 2};
    }
    void mouseAt(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        auto *canvas = control("pntMain");
        QMouseEvent event(type, QPointF(at), canvas->mapToGlobal(QPointF(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(canvas, &event);
    }

    QString spriteDir() const { return dataHome.path() + "/QuillIDE/sprfiles/"; }
    QString imageDir() const { return dataHome.path() + "/QuillIDE/img/"; }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
};

using Stroke = std::function<void(SpritePageTest &, const std::vector<QPoint> &)>;

struct StrokeCase {
    const char *name;
    Stroke stroke;
};

// A mouse drag and a finger drag draw the same pixels, and one Undo takes the
// whole stroke back.
TEST_F(SpritePageTest, MouseAndTouchDrawTheSame)
{
    static QPointingDevice *touchScreen = QTest::createTouchDevice();
    const std::vector<StrokeCase> cases = {
        {"mouse",
         [](SpritePageTest &t, const std::vector<QPoint> &points) {
             t.mouseAt(QEvent::MouseButtonPress, points.front(), Qt::LeftButton);
             for (std::size_t i = 1; i < points.size(); ++i)
                 t.mouseAt(QEvent::MouseMove, points[i], Qt::LeftButton);
             t.mouseAt(QEvent::MouseButtonRelease, points.back(), Qt::NoButton);
         }},
        {"touch",
         [](SpritePageTest &t, const std::vector<QPoint> &points) {
             auto *canvas = t.control("pntMain");
             QTest::touchEvent(canvas, touchScreen).press(0, points.front(), canvas);
             for (std::size_t i = 1; i < points.size(); ++i)
                 QTest::touchEvent(canvas, touchScreen).move(0, points[i], canvas);
             QTest::touchEvent(canvas, touchScreen).release(0, points.back(), canvas);
         }},
    };
    for (const StrokeCase &c : cases) {
        SCOPED_TRACE(c.name);
        press("btGraShiftD");   // Er: a clean cel
        c.stroke(*this, {cellCentre(1, 1), cellCentre(2, 1), cellCentre(3, 2)});
        for (const auto &[x, y] : std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 2}})
            EXPECT_EQ(document().pixel(x, y), 2) << x << "," << y;
        EXPECT_EQ(std::count(document().currentCelPixels().begin(), document().currentCelPixels().end(), 2), 3);
        press("btGraShiftL");   // Un
        EXPECT_EQ(std::count(document().currentCelPixels().begin(), document().currentCelPixels().end(), 0), 256);
    }
}

TEST_F(SpritePageTest, ToolButtonsAndTheCelLabel)
{
    struct Case {
        const char *button;
        const char *label;
        const char *penCaption;
        const char *directionCaption;
    };
    const std::vector<Case> steps = {
        {"btGraAdd", "2/2", "Pn", "U"},   {"btGraAdd", "3/3", "Pn", "U"},  {"btGraBack", "2/3", "Pn", "U"},
        {"btGraNext", "3/3", "Pn", "U"},  {"btGraNext", "1/3", "Pn", "U"}, {"btGraDel", "1/2", "Pn", "U"},
        {"btGraShiftL", "1/3", "Pn", "U"}, {"btGraPaint", "1/3", "Fl", "U"}, {"btGraPaint", "1/3", "Rp", "U"},
        {"btGraPaint", "1/3", "Pn", "U"}, {"btGraShiftR", "1/3", "Pn", "R"}, {"btGraShiftR", "1/3", "Pn", "D"},
    };
    for (const Case &step : steps) {
        press(step.button);
        EXPECT_EQ(text("lblCel"), step.label) << step.button;
        EXPECT_EQ(control<QPushButton>("btGraPaint")->text(), step.penCaption) << step.button;
        EXPECT_EQ(control<QPushButton>("btGraShiftR")->text(), step.directionCaption) << step.button;
    }
}

TEST_F(SpritePageTest, FillIsOneShotAndTheColourBarPicks)
{
    const int swatch = window->layout().swatchSize;
    QTest::mouseClick(control("pntColor"), Qt::LeftButton, {}, QPoint(5 * swatch + 1, 3));
    EXPECT_EQ(window->spriteEditor().SelectedColor(), 5);
    QTest::mouseClick(control("pntColor"), Qt::LeftButton, {}, QPoint(control("pntColor")->width() - 1, 3));
    EXPECT_EQ(window->spriteEditor().SelectedColor(), 15);

    press("btGraPaint");
    EXPECT_EQ(control<QPushButton>("btGraPaint")->text(), "Fl");
    mouseAt(QEvent::MouseButtonPress, cellCentre(4, 4), Qt::LeftButton);
    EXPECT_EQ(std::count(document().currentCelPixels().begin(), document().currentCelPixels().end(), 15), 256);
    EXPECT_EQ(control<QPushButton>("btGraPaint")->text(), "Pn");
}

TEST_F(SpritePageTest, PalettesThroughThePickList)
{
    auto *pickList = control<quill::PickList>("pnlSelect");
    press("btGraData");
    ASSERT_TRUE(pickList->isVisible());
    EXPECT_EQ(pickList->pickMode(), quill::PickMode::Palettes);
    ASSERT_EQ(pickList->items().size(), 17);
    EXPECT_EQ(pickList->items().front(), "MSX");
    EXPECT_EQ(pickList->items().back(), "VV16");

    emit pickList->list()->itemClicked(pickList->list()->item(1));   // DB16
    EXPECT_FALSE(pickList->isVisible());
    EXPECT_EQ(window->settings().value("palette"), "DB16");
    EXPECT_NE(window->spriteEditor().palette()[0], 0xFF000000u);

    // A damaged palette is refused with a message and the list stays shown.
    const quill::Palette db16 = window->spriteEditor().palette();
    const_cast<quill::SettingsStore &>(window->settings()).setValue("pltBAD", "12xx56");
    press("btGraData");
    emit pickList->list()->itemClicked(pickList->list()->item(17));
    EXPECT_EQ(sink.messages, QStringList{"Invalid palette."});
    EXPECT_TRUE(pickList->isVisible());
    EXPECT_EQ(window->spriteEditor().palette(), db16);
    EXPECT_EQ(window->settings().value("palette"), "DB16");
}

TEST_F(SpritePageTest, SaveAndOpen)
{
    auto *name = control<QLineEdit>("edtGraFile");
    press("btGraSave");
    name->setText("../hero");
    press("btGraSave");
    EXPECT_EQ(sink.messages, (QStringList{"Input file name.", "Invalid file name."}));
    EXPECT_TRUE(QDir(spriteDir()).entryList(QDir::Files).isEmpty());

    mouseAt(QEvent::MouseButtonPress, cellCentre(0, 0), Qt::LeftButton);
    press("btGraAdd");
    name->setText("hero");
    press("btGraSave");
    EXPECT_EQ(sink.messages.last(), "Saved.");
    EXPECT_EQ(QFileInfo(spriteDir() + "hero").size(), 3 + 2 * 256);
    EXPECT_EQ(QImage(imageDir() + "hero.png").size(), QSize(68, 34));

    // An 8 x 8 sprite and a file the program cannot have written.
    QFile small(spriteDir() + "Small");
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write(QByteArray("\x08\x08\x01", 3) + QByteArray(63, '\0') + QByteArray(1, 9));
    small.close();
    QFile bad(spriteDir() + "bad");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(QByteArray("\x10\x10\x21", 3));
    bad.close();

    press("btGraNew");
    EXPECT_EQ(name->text(), "");
    press("btGraOpen");
    auto *files = control<QListWidget>("lstGrafiles");
    EXPECT_TRUE(control("pnlGraFiles")->isVisible());
    EXPECT_FALSE(control("pntMain")->isVisible());
    ASSERT_EQ(files->count(), 3);
    EXPECT_EQ(files->item(0)->text(), "bad");
    EXPECT_EQ(files->item(1)->text(), "hero");
    EXPECT_EQ(files->item(2)->text(), "Small");

    files->setCurrentRow(0);
    press("btGraOk");
    EXPECT_EQ(sink.messages.last(), "Invalid sprite file.");
    EXPECT_EQ(text("lblCel"), "1/1");
    EXPECT_TRUE(control("pnlGraFiles")->isVisible());

    files->setCurrentRow(1);
    press("btGraOk");
    EXPECT_EQ(text("lblCel"), "1/2");
    EXPECT_EQ(name->text(), "hero");
    EXPECT_EQ(document().pixel(0, 0), 2);
    EXPECT_TRUE(control("pntMain")->isVisible());

    press("btGraOpen");
    files->setCurrentRow(2);
    press("btGraOk");
    EXPECT_EQ(window->spriteSize(), 8);
    EXPECT_EQ(document().pixel(7, 7), 9);
    EXPECT_EQ(window->layout().canvasZoom, 48);
    EXPECT_EQ(control("pntView")->size(), QSize(16, 16));
    EXPECT_EQ(window->settings().value("sprite"), "16");
}

// New, Open and a change of the sprite size each give the former sprite
// back on Un, at its own size and under its own name.
TEST_F(SpritePageTest, NewOpenAndASizeChangeAreUndoneByUn)
{
    auto *name = control<QLineEdit>("edtGraFile");
    mouseAt(QEvent::MouseButtonPress, cellCentre(0, 0), Qt::LeftButton);
    name->setText("hero");
    press("btGraSave");
    mouseAt(QEvent::MouseButtonPress, cellCentre(1, 0), Qt::LeftButton);  // unsaved
    const QByteArray drawing = document().fileBytes();

    press("btGraNew");
    EXPECT_EQ(name->text(), "");
    EXPECT_TRUE(document().pristine());
    press("btGraShiftL");
    EXPECT_EQ(document().fileBytes(), drawing);
    EXPECT_EQ(name->text(), "hero");
    EXPECT_TRUE(document().unsaved());

    const int zoom = window->layout().canvasZoom;
    QFile small(spriteDir() + "small");
    ASSERT_TRUE(small.open(QIODevice::WriteOnly));
    small.write(QByteArray("\x08\x08\x01", 3) + QByteArray(64, '\x04'));
    small.close();
    press("btGraOpen");
    auto *files = control<QListWidget>("lstGrafiles");
    files->setCurrentItem(files->findItems("small", Qt::MatchExactly).front());
    press("btGraOk");
    EXPECT_EQ(window->spriteSize(), 8);
    press("btGraShiftL");
    EXPECT_EQ(window->spriteSize(), 16);
    EXPECT_EQ(window->layout().canvasZoom, zoom);
    EXPECT_EQ(document().fileBytes(), drawing);
    EXPECT_EQ(name->text(), "hero");

    control<QLineEdit>("edtSpriteSize")->setText("24");
    sink.messages.clear();
    control<QPushButton>("btApply")->click();
    EXPECT_EQ(sink.messages, QStringList({"The unsaved drawing was kept: Un brings it back.", "Done."}));
    EXPECT_TRUE(QFile::exists(window->journalFolder() + "sprite.journal")) << "kept in the journal";
    EXPECT_EQ(window->spriteSize(), 24);
    EXPECT_EQ(name->text(), "");
    press("btGraShiftL");
    EXPECT_EQ(window->spriteSize(), 16);
    EXPECT_EQ(document().fileBytes(), drawing);
    EXPECT_EQ(name->text(), "hero");
    EXPECT_EQ(window->settings().value("sprite"), "24") << "the setting is what Apply stored";
}

TEST_F(SpritePageTest, SavingOverAnotherSpriteAsksFirst)
{
    auto *name = control<QLineEdit>("edtGraFile");
    mouseAt(QEvent::MouseButtonPress, cellCentre(0, 0), Qt::LeftButton);
    name->setText("theirs");
    press("btGraSave");
    const QByteArray theirs = document().fileBytes();
    press("btGraNew");
    mouseAt(QEvent::MouseButtonPress, cellCentre(3, 3), Qt::LeftButton);
    name->setText("theirs");
    sink.messages.clear();

    press("btGraSave");
    EXPECT_EQ(sink.messages, QStringList({"Replace theirs?"}));
    QFile file(spriteDir() + "theirs");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), theirs);
    file.close();

    sink.answer = true;
    press("btGraSave");
    EXPECT_EQ(sink.messages, QStringList({"Replace theirs?", "Replace theirs?", "Saved."}));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), document().fileBytes());
    // Now it is this sprite's own file.
    press("btGraSave");
    EXPECT_EQ(sink.messages.last(), "Saved.");
    EXPECT_EQ(sink.messages.size(), 4);
}

// A sprite whose sheet names other bytes than its sprite file (a save cut
// short, the new sprite file lost) opens and is told to be a mismatch.
TEST_F(SpritePageTest, OpenTellsASpriteWhoseSheetDoesNotMatch)
{
    auto *name = control<QLineEdit>("edtGraFile");
    name->setText("hero");
    press("btGraSave");
    QFile sprite(spriteDir() + "hero");
    ASSERT_TRUE(sprite.open(QIODevice::ReadWrite));
    sprite.seek(3);
    sprite.write(QByteArray(1, 4));
    sprite.close();
    sink.messages.clear();

    press("btGraOpen");
    control<QListWidget>("lstGrafiles")->setCurrentRow(0);
    press("btGraOk");
    EXPECT_EQ(sink.messages, QStringList{"Sprite hero and its sheet hero.png do not match."});
    EXPECT_EQ(document().pixel(0, 0), 4);
    EXPECT_TRUE(control("pntMain")->isVisible());
}

// A start after a save cut short between its sheet and its sprite file
// completes the save before anything is shown.
TEST_F(SpritePageTest, AStartCompletesASaveCutShort)
{
    auto *name = control<QLineEdit>("edtGraFile");
    name->setText("hero");
    press("btGraSave");
    const QByteArray saved = [&] {
        QFile file(spriteDir() + "hero");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    window.reset();
    // The new sprite file waits under its temporary name; the old one stands.
    ASSERT_TRUE(QDir(spriteDir()).mkdir(".quill-saving"));
    ASSERT_TRUE(QFile::rename(spriteDir() + "hero", spriteDir() + ".quill-saving/x1y2z3"));
    QFile old(spriteDir() + "hero");
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray("\x10\x10\x01", 3) + QByteArray(256, '\x07'));
    old.close();

    sink.messages.clear();
    window = std::make_unique<TfrmMain>(&sink);
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
    QFile completed(spriteDir() + "hero");
    ASSERT_TRUE(completed.open(QIODevice::ReadOnly));
    EXPECT_EQ(completed.readAll(), saved);
    EXPECT_FALSE(QDir(spriteDir() + ".quill-saving").exists());
}

TEST_F(SpritePageTest, PreviewAnimatesUntilTheDocumentChanges)
{
    auto *preview = control<quill::SpritePreview>("pntView");
    press("btGraAdd");
    press("btGraAdd");
    QTest::mouseClick(preview, Qt::LeftButton);
    EXPECT_TRUE(preview->animation().playing());
    EXPECT_TRUE(preview->ticking());
    EXPECT_EQ(preview->animation().shownCel(2), 0) << "starts at the first cel";
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->animation().shownCel(2) == 1; }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->animation().shownCel(2) == 2; }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return preview->animation().shownCel(2) == 0; }, 1000)) << "wraps";

    window->findChild<QTabWidget *>("TabControl1")->setCurrentIndex(0);
    EXPECT_FALSE(preview->ticking()) << "paused while the page is hidden";
    window->findChild<QTabWidget *>("TabControl1")->setCurrentIndex(1);
    EXPECT_TRUE(preview->ticking());

    press("btGraBack");
    EXPECT_FALSE(preview->animation().playing());
    EXPECT_EQ(text("lblCel"), "2/3");
}

} // namespace
