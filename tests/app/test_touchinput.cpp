// The window under fingers and on a desktop, as a new user tries it: real
// touch events from a touch-screen device through the window system (several
// fingers at once), the wheel, and Escape.
#include "app/ammain.h"
#include "app/codepage.h"
#include "editor/codebuffer.h"
#include "editor/codeview.h"
#include "editor/keybutton.h"
#include "editor/keypanel.h"
#include "editor/picklist.h"
#include "sprite/spriteeditor.h"
#include "tests/builder/qtprint.h"

#include "tests/app/windowtest.h"
#include "tests/support/touchscreen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QScroller>
#include <QTabWidget>
#include <QTest>
#include <QWheelEvent>

#include <functional>
#include <memory>

namespace {

using quill::testsupport::Fingers;

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

class TouchInputTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Offscreen windows need not become active; the touches reach them all the same.
        (void)QTest::qWaitFor([&] { return window->isActiveWindow(); }, 1000);
        fingers = std::make_unique<Fingers>(window.get());
    }

    void TearDown() override
    {
        fingers.reset();
        window.reset();
    }

    template <typename Control = QWidget> Control *control(const char *name)
    {
        return controlNamed<Control>(window.get(), name);
    }

    quill::KeyButton *key(const QString &caption)
    {
        for (quill::KeyButton *button : window->codePage().keyButtons())
            if (button->caption() == caption && button->isVisible())
                return button;
        ADD_FAILURE() << "no key " << caption.toStdString();
        return window->codePage().keyButtons()[0];
    }

    void tapKeys(const QStringList &captions)
    {
        for (const QString &caption : captions)
            fingers->tap(key(caption));
    }

    // A finger on the code view at line, column.
    void tapCode(int line, int column)
    {
        const int cell = window->layout().cellSize;
        fingers->tap(control("pntProg"), QPoint(int((column - program().leftColumn() + 0.5) * cell),
                                                int((line - program().topLine() + 0.5) * cell)));
    }

    // Two thumbs, each key pressed before the last one is lifted: in pairs
    // the second finger lifts first, then the first finger lifts first.
    void typeWithTwoThumbs(const QStringList &captions)
    {
        for (qsizetype i = 0; i + 1 < captions.size(); i += 2) {
            quill::KeyButton *first = key(captions[i]);
            quill::KeyButton *second = key(captions[i + 1]);
            fingers->press(0, first).send();
            fingers->press(1, second).send();
            if ((i / 2) % 2 == 0) {
                fingers->release(1, second).send();
                fingers->release(0, first).send();
            } else {
                fingers->release(0, first).send();
                fingers->release(1, second).send();
            }
        }
        if (captions.size() % 2 != 0)
            fingers->tap(key(captions.last()));
    }

    void pressKey(int code, const QString &text = QString())
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }

    const quill::CodeBuffer &program() const { return window->program(); }
    quill::KeyPanel *keyboard() { return control<quill::KeyPanel>("pnlKeys"); }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
    std::unique_ptr<Fingers> fingers;
};

TEST_F(TouchInputTest, TypeALineWithTwoThumbsOverlapping)
{
    tapCode(3, 0); // the empty line in init()
    EXPECT_EQ(program().cursorLine(), 3);
    typeWithTwoThumbs({"v", "a", "r", " ", "x", "=", "1", "2", ";"});
    EXPECT_EQ(program().line(3), "var x=12;");
    EXPECT_EQ(program().cursorColumn(), 9);
    // Both thumbs on the same key at once type it twice, no more.
    fingers->press(0, key("Bs")).press(1, key("Bs")).send();
    fingers->release(0, key("Bs")).release(1, key("Bs")).send();
    EXPECT_EQ(program().line(3), "var x=1");
    for (quill::KeyButton *button : window->codePage().keyButtons())
        EXPECT_FALSE(button->touchDown());
}

TEST_F(TouchInputTest, NameAndSaveTheFileWithTheOnScreenKeysAlone)
{
    auto *name = control<QLineEdit>("edtFile");
    fingers->tap(name);
    ASSERT_TRUE(name->hasFocus());
    EXPECT_TRUE(keyboard()->isVisible());
    EXPECT_FALSE(keyboard()->floating()) << "the keys already show on the Code page";

    tapKeys({"g", "a", "m", "e", "Sh", "X", "Sh", "Bs", "<-", "<-", "&&", "Dl", "En", "1"});
    EXPECT_EQ(name->text(), "ga&e1");
    tapKeys({"Hm", "Dl", "Dl", "Dl", "Dl", "Dl", "g", "a", "m", "e"});
    EXPECT_EQ(name->text(), "game");
    EXPECT_FALSE(window->codePage().shiftState());
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines()) << "the keys typed into the name, not the code";
    EXPECT_FALSE(program().codeModified());

    fingers->tap(control("btTextSave"));
    EXPECT_EQ(sink.messages, QStringList{"Saved."});
    EXPECT_TRUE(QFile::exists(window->paths().codeDir + "game"));
    EXPECT_TRUE(control("pntProg")->hasFocus()) << "after Save the keys are the code's again";
    tapKeys({"z"});
    EXPECT_EQ(program().line(0), "z//");
    EXPECT_EQ(name->text(), "game");
}

TEST_F(TouchInputTest, RtGivesTheKeysBackWithoutALineBreak)
{
    auto *name = control<QLineEdit>("edtFile");
    fingers->tap(name);
    tapKeys({"a", "Rt"});
    EXPECT_EQ(name->text(), "a");
    EXPECT_TRUE(control("pntProg")->hasFocus());
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
    tapKeys({"Rt"});
    EXPECT_EQ(program().lineCount(), 17) << "the code has the keys again";
    EXPECT_EQ(name->text(), "a");

    // A mouse click on the name field gives it the keys as well.
    QTest::mouseClick(name, Qt::LeftButton);
    ASSERT_TRUE(name->hasFocus());
    tapKeys({"b"});
    EXPECT_EQ(name->text(), "ab");
    // A finger on the code takes them back.
    tapCode(0, 0);
    tapKeys({"c"});
    EXPECT_EQ(program().line(0), "c") << "the line Rt made above the first";
    EXPECT_EQ(name->text(), "ab");
}

TEST_F(TouchInputTest, ScrollALongOpenListWithAFingerAndDoubleTapAFileToOpenIt)
{
    for (int number = 0; number < 60; ++number) {
        QFile file(window->paths().codeDir + QStringLiteral("game%1").arg(number, 2, 10, QLatin1Char('0')));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("// game %1\r\n").arg(number).toUtf8());
    }
    fingers->tap(control("btTextOpen"));
    auto *list = control<QListWidget>("lstBasfiles");
    ASSERT_TRUE(list->isVisible());
    QWidget *viewport = list->viewport();

    const QPoint from(list->width() / 2, viewport->height() - 20);
    fingers->press(0, viewport, from).send();
    for (int step = 1; step <= 10; ++step) {
        QTest::qWait(10);
        fingers->move(0, viewport, from - QPoint(0, step * 25)).send();
    }
    fingers->release(0, viewport, from - QPoint(0, 250)).send();
    const int atRelease = list->verticalScrollBar()->value();
    EXPECT_GT(atRelease, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QScroller::scroller(viewport)->state() == QScroller::Inactive; }, 5000));
    EXPECT_GT(list->verticalScrollBar()->value(), atRelease) << "the list glided on";
    EXPECT_TRUE(list->selectedItems().isEmpty()) << "a scroll picks nothing";
    EXPECT_TRUE(list->isVisible());

    const QPoint middle = viewport->rect().center();
    QListWidgetItem *item = list->itemAt(middle);
    ASSERT_NE(item, nullptr);
    const QString chosen = item->text();
    EXPECT_NE(chosen, "game00") << "the list was scrolled down";
    fingers->tap(viewport, middle);
    EXPECT_TRUE(list->isVisible()) << "one tap only chooses";
    fingers->tap(viewport, middle);
    EXPECT_FALSE(control("pnlBasfiles")->isVisible());
    EXPECT_EQ(control<QLineEdit>("edtFile")->text(), chosen);
    EXPECT_EQ(program().line(0), "// game " + QString::number(chosen.mid(4).toInt()));
    EXPECT_TRUE(control("pntProg")->isVisible());
    EXPECT_TRUE(keyboard()->isVisible());
}

TEST_F(TouchInputTest, ADoubleClickOpensAFileAsOkDoes)
{
    QFile file(window->paths().codeDir + "clicked");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x=1;\r\n");
    file.close();
    auto *pages = control<QTabWidget>("TabControl1");
    pages->setCurrentIndex(1);
    control<QLineEdit>("edtGraFile")->setText("ring");
    QTest::mouseClick(control("btGraSave"), Qt::LeftButton);
    QTest::mouseClick(control("btGraNew"), Qt::LeftButton);
    ASSERT_EQ(control<QLineEdit>("edtGraFile")->text(), "");

    struct Case {
        const char *label;
        int page;
        const char *open, *list, *panel, *name;
        QString file;
    };
    const std::vector<Case> cases = {
        {"code", 0, "btTextOpen", "lstBasfiles", "pnlBasfiles", "edtFile", "clicked"},
        {"sprite", 1, "btGraOpen", "lstGrafiles", "pnlGraFiles", "edtGraFile", "ring"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        pages->setCurrentIndex(c.page);
        QTest::mouseClick(control(c.open), Qt::LeftButton);
        auto *list = control<QListWidget>(c.list);
        const QPoint at = list->visualItemRect(list->findItems(c.file, Qt::MatchExactly).value(0)).center();
        // QTest's double click is the second click alone.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(control(c.panel)->isVisible());
        EXPECT_EQ(control<QLineEdit>(c.name)->text(), c.file);
    }
    EXPECT_EQ(program().line(0), "x=1;");
    EXPECT_EQ(sink.messages, QStringList{"Saved."});
}

TEST_F(TouchInputTest, TheWheelScrollsTheCode)
{
    auto *view = control<quill::CodeView>("pntProg");
    const auto turn = [&](QPoint angle, Qt::KeyboardModifiers modifiers) {
        const QPointF at(20, 20);
        QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(view, &wheel);
    };
    turn({0, -120}, Qt::NoModifier);
    EXPECT_EQ(program().topLine(), 3);
    turn({0, -120}, Qt::NoModifier);
    EXPECT_EQ(program().topLine(), 6);
    turn({0, 120}, Qt::NoModifier);
    EXPECT_EQ(program().topLine(), 3);
    turn({0, -120}, Qt::ShiftModifier);
    EXPECT_EQ(program().leftColumn(), 3);
    EXPECT_EQ(program().topLine(), 3);
    EXPECT_EQ(program().cursorLine(), 0) << "the cursor stays";
    EXPECT_FALSE(program().codeModified());
}

TEST_F(TouchInputTest, EscapeClosesWhatLiesOverThePage)
{
    auto *pages = control<QTabWidget>("TabControl1");
    auto *pickList = window->findChild<quill::PickList *>();
    struct Case {
        const char *label;
        std::function<void()> open;
        QWidget *panel;
    };
    const std::vector<Case> cases = {
        {"the pick list", [&] {
             pickList->setItems({"one", "two"});
             pickList->OpenPickList(quill::PickMode::Keywords);
         }, pickList},
        {"the code file chooser", [&] { fingers->tap(control("btTextOpen")); }, control("pnlBasfiles")},
        {"the code file chooser, the name field holding the keys", [&] {
             fingers->tap(control("btTextOpen"));
             QTest::mouseClick(control("edtFile"), Qt::LeftButton);
         }, control("pnlBasfiles")},
        {"the sprite file chooser", [&] {
             pages->setCurrentIndex(1);
             fingers->tap(control("btGraOpen"));
         }, control("pnlGraFiles")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        pages->setCurrentIndex(0);
        c.open();
        ASSERT_TRUE(c.panel->isVisible());
        pressKey(Qt::Key_Escape, "\x1b");
        EXPECT_FALSE(c.panel->isVisible());
    }
    pages->setCurrentIndex(0);
    EXPECT_TRUE(control("pntProg")->isVisible());
    EXPECT_TRUE(keyboard()->isVisible());
    // With nothing open, Escape changes nothing.
    pressKey(Qt::Key_Escape, "\x1b");
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
    EXPECT_FALSE(program().codeModified());
}

TEST_F(TouchInputTest, TheKeysComeUpForAFieldAwayFromTheCodePage)
{
    auto *pages = control<QTabWidget>("TabControl1");
    struct Case {
        const char *label;
        int page;
        const char *field;
        QStringList keys;
        QString text;
    };
    const std::vector<Case> cases = {
        {"the sprite name", 1, "edtGraFile", {"c", "a", "t"}, "cat"},
        {"a System field", 3, "edtWidth", {"En", "Bs", "0"}, "30"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        pages->setCurrentIndex(c.page);
        auto *field = control<QLineEdit>(c.field);
        // A mouse click leaves the page as it is on a desktop.
        QTest::mouseClick(field, Qt::LeftButton);
        ASSERT_TRUE(field->hasFocus());
        EXPECT_FALSE(keyboard()->isVisible());

        fingers->tap(field);
        ASSERT_TRUE(keyboard()->isVisible());
        EXPECT_TRUE(keyboard()->floating());
        EXPECT_EQ(keyboard()->mapTo(window.get(), QPoint(0, keyboard()->height())).y(), window->height())
            << "at the foot of the window";
        tapKeys(c.keys);
        EXPECT_EQ(field->text(), c.text);
        tapKeys({"Rt"});
        EXPECT_FALSE(field->hasFocus());
        EXPECT_FALSE(keyboard()->isVisible());
        EXPECT_FALSE(keyboard()->floating());
    }
    EXPECT_EQ(window->spriteEditor().document().name(), "cat");
    pages->setCurrentIndex(0);
    EXPECT_TRUE(keyboard()->isVisible()) << "back in its place on the Code page";
    EXPECT_EQ(keyboard()->geometry(), window->layout().keyPanel);
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
}

TEST_F(TouchInputTest, TheKeysComeUpForTheNameWhenTheKeysButtonHidThem)
{
    window->resize(800, 480);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->layout().pageWidth == 800 && control("btKeys")->isVisible(); }, 2000));
    fingers->tap(control("btKeys"));
    ASSERT_FALSE(keyboard()->isVisible());
    auto *name = control<QLineEdit>("edtFile");
    fingers->tap(name);
    ASSERT_TRUE(keyboard()->isVisible());
    EXPECT_TRUE(keyboard()->floating());
    tapKeys({"a", "b", "Rt"});
    EXPECT_EQ(name->text(), "ab");
    EXPECT_TRUE(control("pntProg")->hasFocus());
    EXPECT_FALSE(keyboard()->isVisible()) << "the Keys button still hides them";
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
}

TEST_F(TouchInputTest, RtInTheRunViewsWidthFieldResizesAsResizeDoes)
{
    // The run bar as a run shows it (the page itself needs no display here).
    QWidget *runView = control("pnlRun");
    runView->show();
    runView->raise();
    auto *width = control<QLineEdit>("edtRunWidth");
    fingers->tap(width);
    ASSERT_TRUE(keyboard()->isVisible());
    EXPECT_TRUE(keyboard()->floating());
    tapKeys({"En", "Bs", "Bs", "Bs", "4", "0", "0", "Rt"});
    EXPECT_EQ(width->text(), "400");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->width() == 400; }, 2000)) << window->width();
    EXPECT_EQ(window->layout().pageWidth, 400);
    EXPECT_FALSE(keyboard()->floating());
    EXPECT_FALSE(width->hasFocus());
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join(u'|').toStdString();
}

TEST_F(TouchInputTest, TheKeysFollowAFingerFromFieldToField)
{
    control<QTabWidget>("TabControl1")->setCurrentIndex(3);
    auto *width = control<QLineEdit>("edtWidth");
    auto *keyHeight = control<QLineEdit>("edtKeyHeight");
    fingers->tap(width);
    ASSERT_TRUE(keyboard()->floating());
    fingers->tap(keyHeight);
    ASSERT_TRUE(keyHeight->hasFocus());
    EXPECT_TRUE(keyboard()->isVisible());
    EXPECT_TRUE(keyboard()->floating());
    tapKeys({"En", "7"});
    EXPECT_TRUE(keyHeight->text().endsWith(u'7'));
    EXPECT_FALSE(width->text().contains(u'7'));
}

TEST_F(TouchInputTest, ALayoutPassKeepsTheKeysUpForTheirField)
{
    auto *pages = control<QTabWidget>("TabControl1");
    pages->setCurrentIndex(3);
    auto *field = control<QLineEdit>("edtKeyHeight");
    fingers->tap(field);
    ASSERT_TRUE(keyboard()->floating());
    window->resize(window->width() + 40, window->height());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->layout().pageWidth == window->width(); }, 2000));
    EXPECT_TRUE(keyboard()->floating());
    EXPECT_EQ(keyboard()->width(), window->layout().keyPanel.width());
    EXPECT_EQ(keyboard()->mapTo(window.get(), QPoint(0, keyboard()->height())).y(), window->height());
    tapKeys({"5"});
    EXPECT_TRUE(field->text().endsWith(u'5'));
}

TEST_F(TouchInputTest, TheWindowGoesQuietlyWhileTheKeysFloatForAField)
{
    // Destroyed while it shows, the window loses the focus of its field on
    // the way out, after its own members have gone: none of its handlers may
    // answer that (the keys' handler would dock them back onto the Code page
    // and let go of the field a second time, which frees the field's guard
    // data under whoever else still holds it).
    control<QTabWidget>("TabControl1")->setCurrentIndex(3);
    auto *field = control<QLineEdit>("edtKeyHeight");
    fingers->tap(field);
    ASSERT_TRUE(field->hasFocus());
    ASSERT_TRUE(keyboard()->floating());

    const QObject *const going = window.get();
    const QObject *keysLastParent = nullptr;
    QObject::connect(keyboard(), &QObject::destroyed, [&](QObject *keys) { keysLastParent = keys->parent(); });
    fingers.reset();
    window.reset();
    EXPECT_EQ(keysLastParent, going) << "the floating keys went with the window, not docked by a handler";
}

} // namespace
