// The code editor's pick list, clipboard and Ctrl shortcuts in the real
// window, with the platform's clipboard (offscreen).
#include "app/ammain.h"
#include "app/codepage.h"
#include "base/textfile.h"
#include "editor/codebuffer.h"
#include "editor/picklist.h"
#include "tests/builder/qtprint.h"

#include "tests/app/windowtest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

class CodeChoicesTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->show();
        pickList = window->findChild<quill::PickList *>(QStringLiteral("pnlSelect"));
        ASSERT_NE(pickList, nullptr);
        QGuiApplication::clipboard()->clear();
    }

    void TearDown() override { window.reset(); }

    // Types the text as the hardware keyboard would.
    void type(const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(window.get(), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(window.get(), &release);
        }
    }

    void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, code, modifiers);
        QApplication::sendEvent(window.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, code, modifiers);
        QApplication::sendEvent(window.get(), &release);
    }

    // Ctrl held, the letter pressed and released, Ctrl released.
    void ctrl(int letter)
    {
        QKeyEvent ctrlDown(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
        QApplication::sendEvent(window.get(), &ctrlDown);
        key(letter, Qt::ControlModifier);
        QKeyEvent ctrlUp(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &ctrlUp);
    }

    void tapItem(int row)
    {
        QListWidget *list = pickList->list();
        QWidget *viewport = list->viewport();
        const QPoint point = list->visualItemRect(list->item(row)).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, point, viewport->mapToGlobal(point), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        }
    }

    const quill::CodeBuffer &code() const { return window->program(); }
    QString cursorLineText() const { return code().line(code().cursorLine()); }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
    quill::PickList *pickList = nullptr;
};

TEST_F(CodeChoicesTest, CopyAndPasteABlockWithTheHardwareCtrlKeys)
{
    // The cursor on line 1, "function init(){": select "init" and copy it.
    key(Qt::Key_Down);
    for (int i = 0; i < 9; ++i)
        key(Qt::Key_Right);
    ctrl(Qt::Key_B);
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Right);
    const QStringList before = code().lines();
    ctrl(Qt::Key_C);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("init\r\n"));
    EXPECT_EQ(code().lines(), before) << "Ctrl+C types no letter";
    EXPECT_FALSE(code().selectionActive());

    // A whole block, two lines, cut and pasted after the last line.
    key(Qt::Key_Home);
    ctrl(Qt::Key_B);
    key(Qt::Key_Down);
    ctrl(Qt::Key_X);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("function init(){\r\n}\r\n"));
    EXPECT_EQ(code().lineCount(), before.size() - 1);
    EXPECT_EQ(code().line(1), QString()) << "the lines' rest is joined";
    window->codePage().RunKeyCommand(QStringLiteral("Sh"));
    window->codePage().RunKeyCommand(QStringLiteral("En"));
    ctrl(Qt::Key_V);
    EXPECT_EQ(code().lines().mid(code().lineCount() - 2),
              (QStringList{"function init(){", "}"}));
    EXPECT_EQ(code().cursorLine(), code().lineCount() - 1);
}

TEST_F(CodeChoicesTest, EachCtrlReleaseRunsItsCommandOnce)
{
    QGuiApplication::clipboard()->setText(QStringLiteral("xy"));
    key(Qt::Key_Down);
    ctrl(Qt::Key_V);
    EXPECT_EQ(cursorLineText(), QStringLiteral("xyfunction init(){"));
    // A held letter repeats presses (the first is the real one), not
    // releases: still one paste.
    QKeyEvent ctrlDown(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    QApplication::sendEvent(window.get(), &ctrlDown);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QString(), i > 0);
        QApplication::sendEvent(window.get(), &press);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(window.get(), &release);
    EXPECT_EQ(cursorLineText(), QStringLiteral("xyxyfunction init(){"));
}

TEST_F(CodeChoicesTest, AClipboardWithoutTextPastesNothing)
{
    auto *image = new QMimeData;
    image->setImageData(QImage(4, 4, QImage::Format_ARGB32));
    QGuiApplication::clipboard()->setMimeData(image);
    const QStringList before = code().lines();
    ctrl(Qt::Key_V);
    EXPECT_EQ(code().lines(), before);
}

TEST_F(CodeChoicesTest, InsertCompletesAndTheListOffersTheRest)
{
    key(Qt::Key_Down);
    key(Qt::Key_End);
    type(QStringLiteral("sq"));
    key(Qt::Key_Insert);
    EXPECT_EQ(cursorLineText(), QStringLiteral("function init(){sqr("));
    EXPECT_FALSE(pickList->isVisible());

    type(QStringLiteral(" sn"));
    key(Qt::Key_Insert);
    ASSERT_TRUE(pickList->isVisible());
    EXPECT_EQ(pickList->pickMode(), quill::PickMode::Keywords);
    // The list is not modal: the keyboard still types into the code.
    type(QStringLiteral("d"));
    EXPECT_EQ(cursorLineText(), QStringLiteral("function init(){sqr( snd"));
    // The choice adds the keyword after the word as it was when listed (sn).
    tapItem(0);
    EXPECT_FALSE(pickList->isVisible());
    EXPECT_EQ(cursorLineText(), QStringLiteral("function init(){sqr( snddload("));
}

// A picture or a sound whose name holds a line break is not offered: its
// declaration would split into two lines of the program.
TEST_F(CodeChoicesTest, NamesWithLineBreaksAreNotOffered)
{
    const quill::WorkspacePaths &paths = window->paths();
    quill::writeBinaryFile(paths.audioDir + QStringLiteral("two\nlines.ogg"), QByteArray("ogg"));
    quill::writeBinaryFile(paths.imageDir + QStringLiteral("cr\rcat.png"), QByteArray("png"));
    ctrl(Qt::Key_A);
    ASSERT_TRUE(pickList->isVisible());
    EXPECT_EQ(pickList->items(), QStringList{"catbgm.ogg"});
    tapItem(0);
    ctrl(Qt::Key_S);
    ASSERT_TRUE(pickList->isVisible());
    EXPECT_EQ(pickList->items(), (QStringList{"ball.png", "cat.png", "mat1.png"}));
    const int lines = code().lineCount();
    pickList->hide();
    EXPECT_EQ(code().lineCount(), lines);
    EXPECT_EQ(cursorLineText(), QStringLiteral("sndload(,\"catbgm\");"));
}

TEST_F(CodeChoicesTest, SpriteDeclarationFromTheListAndAnImageThatDoesNotDecode)
{
    const QString imageDir = window->paths().imageDir;
    quill::writeBinaryFile(imageDir + QStringLiteral("aaa_broken.png"), QByteArray("not an image"));
    ctrl(Qt::Key_S);
    ASSERT_TRUE(pickList->isVisible());
    EXPECT_EQ(pickList->items(),
              (QStringList{"aaa_broken.png", "ball.png", "cat.png", "mat1.png"}));
    tapItem(0);
    EXPECT_TRUE(pickList->isVisible()) << "a failed choice leaves the list shown";
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_TRUE(sink.messages.front().startsWith(QStringLiteral("Failed to open "))) << sink.messages.front().toStdString();
    EXPECT_EQ(code().lines(), quill::CodeBuffer::newProgramLines());

    tapItem(2);
    EXPECT_FALSE(pickList->isVisible());
    EXPECT_EQ(cursorLineText(), QStringLiteral("sprite(,\"cat\",2);"));
    EXPECT_EQ(code().cursorLine(), 1);
    EXPECT_EQ(code().cursorColumn(), 7);
}

TEST_F(CodeChoicesTest, FindReplaceAndJump)
{
    type(QStringLiteral("{x,y}a,b"));
    ctrl(Qt::Key_R);
    EXPECT_EQ(code().line(0), QStringLiteral("//"));
    EXPECT_EQ(code().line(10), QStringLiteral("function mousedown(a,b){"));
    ctrl(Qt::Key_J);
    ASSERT_TRUE(pickList->isVisible());
    EXPECT_EQ(pickList->pickMode(), quill::PickMode::JumpTargets);
    tapItem(2);
    EXPECT_EQ(code().cursorLine(), 7);
    EXPECT_EQ(code().cursorColumn(), 0);
    type(QStringLiteral("{mouse}"));
    ctrl(Qt::Key_F);
    EXPECT_EQ(code().cursorLine(), 10);
    ctrl(Qt::Key_L);
    EXPECT_EQ(code().cursorLine(), 13);
}

} // namespace
