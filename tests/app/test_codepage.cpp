// The Code page as a user meets it: on-screen keys and a hardware keyboard
// edit the same text, files are saved and opened through the page's buttons,
// and no button takes the keys away from the code.
#include "app/ammain.h"
#include "app/codepage.h"
#include "app/processsetup.h"
#include "editor/codebuffer.h"
#include "editor/codeview.h"
#include "editor/keybutton.h"
#include "editor/picklist.h"

#include "tests/app/windowtest.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

void sendMouse(QWidget *widget, QEvent::Type type, QPointF local)
{
    const QPointF global = widget->mapToGlobal(local);
    QMouseEvent event(type, local, global, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void tap(QWidget *widget, QPointF local)
{
    sendMouse(widget, QEvent::MouseButtonPress, local);
    sendMouse(widget, QEvent::MouseButtonRelease, local);
}

void tap(QWidget *widget)
{
    tap(widget, QRectF(widget->rect()).center());
}

class CodePageTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->show();
        window->activateWindow();
        for (int i = 0; i < 100 && !window->isActiveWindow(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        QApplication::processEvents();
    }

    void TearDown() override { window.reset(); }

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
            tap(key(caption));
    }

    // A key goes where the platform sends it: to the widget with the focus,
    // or to the window when none has it.
    QWidget *keyTarget() const
    {
        QWidget *focus = QApplication::focusWidget();
        return focus ? focus : window.get();
    }

    void press(int keyCode, const QString &text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               bool autoRepeat = false, ulong timestamp = 0)
    {
        QKeyEvent event(QEvent::KeyPress, keyCode, modifiers, text, autoRepeat);
        event.setTimestamp(timestamp);
        QApplication::sendEvent(keyTarget(), &event);
    }

    void release(int keyCode, const QString &text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                 bool autoRepeat = false, ulong timestamp = 0)
    {
        QKeyEvent event(QEvent::KeyRelease, keyCode, modifiers, text, autoRepeat);
        event.setTimestamp(timestamp);
        QApplication::sendEvent(keyTarget(), &event);
    }

    void typeKey(int keyCode, const QString &text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        press(keyCode, text, modifiers);
        release(keyCode, text, modifiers);
    }

    void typeText(const QString &text)
    {
        for (const QChar c : text) {
            const int code = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
            typeKey(code, QString(c), c.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
        }
    }

    void ctrlShortcut(int letter, Qt::KeyboardModifiers extra = Qt::NoModifier)
    {
        press(Qt::Key_Control, QString(), Qt::ControlModifier | extra);
        press(letter, QString(QChar(letter - Qt::Key_A + 1)), Qt::ControlModifier | extra);
        release(letter, QString(), Qt::ControlModifier | extra);
        release(Qt::Key_Control, QString(), extra);
    }

    const quill::CodeBuffer &program() const { return window->program(); }
    QString codeDir() const { return window->paths().codeDir; }

    QByteArray fileBytes(const QString &name) const
    {
        QFile file(codeDir() + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Puts the cursor on line, column of the code view with a tap.
    void tapCode(int line, int column)
    {
        auto *view = control<quill::CodeView>("pntProg");
        const int cell = window->layout().cellSize;
        tap(view, QPointF((column - program().leftColumn() + 0.5) * cell, (line - program().topLine() + 0.5) * cell));
    }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(CodePageTest, OnScreenKeysAndTheHardwareKeyboardTypeIntoTheSameText)
{
    tap(control("btTextNew"));
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
    tapCode(3, 0); // the empty line after init's brace
    tapKeys({"v", "a", "r", " ", "x", "=", "1", ";"});
    typeKey(Qt::Key_Return, "\r");
    typeText("y=x&&2;");
    tapKeys({"Sh", "Q"}); // the shifted layer types upper case
    tapKeys({"Sh"});
    typeKey(Qt::Key_Backspace, "\b");
    typeKey(Qt::Key_Left);
    tapKeys({"&&"});
    EXPECT_EQ(program().line(3), "var x=1;");
    EXPECT_EQ(program().line(4), "y=x&&2&;");
    EXPECT_EQ(program().cursorLine(), 4);
    EXPECT_EQ(program().cursorColumn(), 7);
    EXPECT_TRUE(program().codeModified());
    EXPECT_FALSE(window->codePage().shiftState());
}

TEST_F(CodePageTest, ModifierAndControlKeysTypeNothing)
{
    const QStringList before = program().lines();
    press(Qt::Key_Shift, QString(), Qt::ShiftModifier);
    press(Qt::Key_Control, QString(), Qt::ControlModifier);
    typeKey(Qt::Key_Tab, "\t");
    typeKey(Qt::Key_Escape, "\x1b");
    typeKey(Qt::Key_Q, "\x11", Qt::ControlModifier);
    EXPECT_EQ(program().lines(), before);
    EXPECT_FALSE(program().codeModified());
    EXPECT_EQ(QApplication::focusWidget(), control("pntProg"))
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString() : "none");
}

TEST_F(CodePageTest, KeysTypedIntoAnEditStayThereUntilTheCodeIsTapped)
{
    auto *file = control<QLineEdit>("edtFile");
    file->setFocus();
    ASSERT_TRUE(file->hasFocus());
    typeText("game");
    typeKey(Qt::Key_Up);
    typeKey(Qt::Key_Return, "\r");
    EXPECT_EQ(file->text(), "game");
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());

    tapCode(1, 3);
    EXPECT_TRUE(control("pntProg")->hasFocus());
    typeText("x");
    EXPECT_EQ(program().line(1), "funxction init(){");
    EXPECT_EQ(file->text(), "game");
}

TEST_F(CodePageTest, KeysReachTheCodeOnlyWhileItShows)
{
    tap(control("btTextOpen"));
    typeText("a");
    typeKey(Qt::Key_Return, "\r");
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
    tap(control("btTextCancel"));

    auto *pages = control<QTabWidget>("TabControl1");
    pages->setCurrentIndex(1);
    typeText("b");
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
    pages->setCurrentIndex(0);

    // The pick list leaves the keys to the code.
    auto *pickList = window->findChild<quill::PickList *>();
    ASSERT_NE(pickList, nullptr);
    pickList->setItems({"one", "two"});
    pickList->OpenPickList(quill::PickMode::Keywords);
    typeText("c");
    EXPECT_EQ(program().line(0), "c//");
}

// A focused button clicks again on Space: tapping New and then typing a
// space would wipe the program. After a tap on any kind of button, Space and
// Enter still reach the code.
TEST_F(CodePageTest, NoButtonTakesTheKeyboardFocus)
{
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << button->objectName().toStdString();
    for (QListWidget *list : window->findChildren<QListWidget *>())
        EXPECT_EQ(list->focusPolicy(), Qt::NoFocus) << list->objectName().toStdString();
    for (QTabBar *bar : window->findChildren<QTabBar *>())
        EXPECT_EQ(bar->focusPolicy(), Qt::NoFocus);

    auto *pages = control<QTabWidget>("TabControl1");
    struct Case {
        const char *label;
        std::function<void()> tapIt;
    };
    const std::vector<Case> cases = {
        {"New", [&] { tap(control("btTextNew")); }},
        {"Open then Cancel", [&] { tap(control("btTextOpen")); tap(control("btTextCancel")); }},
        {"Save without a name", [&] { tap(control("btTextSave")); }},
        // A Run that ends at the generator's error, before any page shows:
        // the run view needs a display (test_runendtoend runs pages).
        {"Run", [&] {
             QFile::remove(window->paths().scriptDir + "tmp_main.html");
             tap(control("btRun"));
         }},
        {"an on-screen key", [&] { tap(key("Hm")); }},
        {"a sprite tool and back by tab", [&] {
             pages->tabBar()->setCurrentIndex(1);
             tap(control("btGraNew"));
             pages->tabBar()->setCurrentIndex(0);
         }},
        {"a System button and back", [&] {
             pages->setCurrentIndex(3);
             tap(control("btApply"));
             pages->setCurrentIndex(0);
         }},
        {"the pick list's X", [&] {
             auto *pickList = window->findChild<quill::PickList *>();
             pickList->OpenPickList(quill::PickMode::Keywords);
             tap(control("btnSelCancel"));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        tap(control("btTextNew"));
        tapCode(0, 1);
        c.tapIt();
        EXPECT_FALSE(qobject_cast<QAbstractButton *>(QApplication::focusWidget()));
        typeKey(Qt::Key_Home);
        typeKey(Qt::Key_Right);
        typeKey(Qt::Key_Space, " ");
        typeKey(Qt::Key_Return, "\r");
        EXPECT_EQ(program().line(0), "/ ");
        EXPECT_EQ(program().line(1), "/");
        EXPECT_EQ(program().lineCount(), 17);
    }
}

TEST_F(CodePageTest, SaveOpenAndUndoThroughThePage)
{
    tap(control("btTextNew"));
    tapCode(3, 0);
    tapKeys({"a", "b"});
    typeText("c");
    auto *file = control<QLineEdit>("edtFile");

    file->setText(QString());
    tap(control("btTextSave"));
    EXPECT_EQ(sink.messages, QStringList{"Input file name."});
    for (const char *bad : {"..", "../escape", "a/b"}) {
        file->setText(QString::fromLatin1(bad));
        tap(control("btTextSave"));
        EXPECT_EQ(sink.messages.last(), "Invalid file name.");
    }
    EXPECT_FALSE(QFile::exists(codeDir() + "../escape"));
    EXPECT_TRUE(program().codeModified());

    file->setText("mine");
    tap(control("btTextSave"));
    EXPECT_EQ(sink.messages.last(), "Saved.");
    EXPECT_FALSE(program().codeModified());
    QStringList expected = quill::CodeBuffer::newProgramLines();
    expected[3] = "abc";
    EXPECT_EQ(fileBytes("mine"), (expected.join("\r\n") + "\r\n").toUtf8());

    tap(control("btTextNew"));
    EXPECT_EQ(file->text(), "");
    tap(control("btTextOpen"));
    auto *list = control<QListWidget>("lstBasfiles");
    EXPECT_TRUE(control("pnlBasfiles")->isVisible());
    EXPECT_FALSE(control("pntProg")->isVisible());
    tap(control("btTextOk")); // nothing chosen: the panel stays
    EXPECT_TRUE(control("pnlBasfiles")->isVisible());
    const QList<QListWidgetItem *> mine = list->findItems("mine", Qt::MatchExactly);
    ASSERT_EQ(mine.size(), 1);
    list->setCurrentItem(mine.front());
    tap(control("btTextOk"));
    EXPECT_FALSE(control("pnlBasfiles")->isVisible());
    EXPECT_EQ(file->text(), "mine");
    EXPECT_EQ(program().lines(), expected);
    EXPECT_FALSE(program().codeModified());

    // Edit on the hardware keyboard, undo and redo with Ctrl, save again.
    tapCode(3, 3); // on the last character
    typeKey(Qt::Key_End);
    typeText("de");
    typeKey(Qt::Key_Return, "\r");
    typeText("f");
    ctrlShortcut(Qt::Key_Z);
    EXPECT_EQ(program().line(4), "");
    ctrlShortcut(Qt::Key_Z);
    EXPECT_EQ(program().line(3), "abcde");
    EXPECT_EQ(program().line(4), "function move(i){");
    ctrlShortcut(Qt::Key_Y);
    ctrlShortcut(Qt::Key_Z, Qt::ShiftModifier);
    EXPECT_EQ(program().line(4), "f");
    // Ctrl let go a moment before the letter still undoes, once.
    press(Qt::Key_Control, QString(), Qt::ControlModifier);
    press(Qt::Key_Z, "\x1a", Qt::ControlModifier);
    release(Qt::Key_Control);
    release(Qt::Key_Z);
    EXPECT_EQ(program().line(4), "");
    EXPECT_EQ(program().line(3), "abcde");
    EXPECT_TRUE(program().codeModified());

    tap(control("btTextSave"));
    QStringList edited = expected;
    edited[3] = "abcde";
    edited.insert(4, "");
    EXPECT_EQ(fileBytes("mine"), (edited.join("\r\n") + "\r\n").toUtf8());
}

// Holding Ctrl+V on X11: the repeats come as a release and a press at the
// same instant, not always marked as repeats. One press pastes once.
TEST_F(CodePageTest, AHeldCtrlShortcutRunsOncePerPress)
{
    QGuiApplication::clipboard()->setText("x");
    tapCode(0, 0);
    const auto ctrl = Qt::ControlModifier;
    press(Qt::Key_Control, QString(), ctrl, false, 1000);
    press(Qt::Key_V, "\x16", ctrl, false, 1010);
    for (ulong time = 1500; time < 2000; time += 33) {
        release(Qt::Key_V, QString(), ctrl, false, time);
        press(Qt::Key_V, "\x16", ctrl, false, time);
    }
    release(Qt::Key_V, QString(), ctrl, false, 2100);
    EXPECT_EQ(program().line(0), "x//");
    // The next press is a new one.
    press(Qt::Key_V, "\x16", ctrl, false, 2500);
    release(Qt::Key_V, QString(), ctrl, false, 2600);
    release(Qt::Key_Control, QString(), Qt::NoModifier, false, 2700);
    EXPECT_EQ(program().line(0), "xx//");
}

TEST_F(CodePageTest, ADamagedFileOpensWithAWarning)
{
    QFile file(codeDir() + "broken");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("\xFF\xFEx\0y", 5));
    file.close();
    tap(control("btTextOpen"));
    auto *list = control<QListWidget>("lstBasfiles");
    list->setCurrentItem(list->findItems("broken", Qt::MatchExactly).value(0));
    tap(control("btTextOk"));
    EXPECT_EQ(sink.messages, QStringList{"Damaged characters in this file were replaced."});
    EXPECT_EQ(program().line(0), QString("x") + QChar::ReplacementCharacter);
}

TEST_F(CodePageTest, TheWnKeyTogglesTheWindowAndShiftRecaptionsTheKeys)
{
    tapKeys({"Sh"});
    EXPECT_TRUE(window->codePage().shiftState());
    EXPECT_EQ(window->codePage().keyButtons()[0]->caption(), "Sl");
    EXPECT_EQ(window->codePage().keyButtons()[40]->caption(), "Q");
    tapKeys({"Wn"});
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    tapKeys({"Wn"});
    EXPECT_FALSE(window->windowState() & Qt::WindowMaximized);
    tapKeys({"Sh"});
    EXPECT_EQ(window->codePage().keyButtons()[0]->caption(), "1");
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
}

TEST_F(CodePageTest, TapAndDragOnTheCodeView)
{
    auto *view = control<quill::CodeView>("pntProg");
    const int cell = window->layout().cellSize;
    tap(view, QPointF(cell * 30.5, cell * 1.5)); // right of "function init(){"
    EXPECT_EQ(program().cursorLine(), 1);
    EXPECT_EQ(program().cursorColumn(), 15);
    EXPECT_FALSE(program().codeModified());

    sendMouse(view, QEvent::MouseButtonPress, QPointF(cell * 5, cell * 10));
    sendMouse(view, QEvent::MouseMove, QPointF(cell * 5, cell * 10));
    sendMouse(view, QEvent::MouseMove, QPointF(cell * 5, cell * 7));
    EXPECT_EQ(program().topLine(), 3);
    sendMouse(view, QEvent::MouseMove, QPointF(cell * 5, cell * 7));
    EXPECT_EQ(program().topLine(), 6);
    sendMouse(view, QEvent::MouseButtonRelease, QPointF(cell * 5, cell * 7));
    EXPECT_EQ(program().cursorLine(), 10);
    EXPECT_EQ(program().cursorColumn(), 5);
}

} // namespace
