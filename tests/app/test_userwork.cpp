// The user's work in the window, tried as a new user would, with the real
// web engine under Xvfb: the keys of the hardware keyboard go to the code
// after every overlay and box, New is undone by Ctrl+Z, saving over another
// program asks first, and a kill loses nothing typed a moment before.
#include "app/ammain.h"

#include "base/recoveryjournal.h"
#include "base/textfile.h"
#include "app/processsetup.h"
#include "editor/codebuffer.h"
#include "editor/codeview.h"

#include "tests/app/windowtest.h"
#include "tests/support/eventwait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWebEngineView>

namespace {

using quill::testsupport::waitFor;

class Recorder : public quill::MessageSink {
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

class UserWorkTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override { useFreshWorkspace(); }
    void TearDown() override { window.reset(); }

    // The window, shown and holding the keyboard as on a desktop.
    void start(quill::MessageSink *messages)
    {
        window = std::make_unique<TfrmMain>(messages);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T = QWidget> T *control(const char *name) const
    {
        return controlNamed<T>(window.get(), name);
    }
    QString codeDir() const { return window->paths().codeDir; }
    QStringList fileLines(const QString &name) const { return quill::readTextFile(codeDir() + name).lines; }
    const quill::CodeBuffer &program() const { return window->program(); }

    // Keys as the platform sends them: to whatever has the focus.
    void typeKeys(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(window->windowHandle(), c.toLatin1());
        QApplication::processEvents();
    }
    // A moment apart, as a hand presses keys: a release and a press of one
    // key at the very same millisecond are a held key's repeat.
    void ctrlKey(Qt::Key key)
    {
        QTest::qWait(10);
        QTest::keyClick(window->windowHandle(), key, Qt::ControlModifier);
        QApplication::processEvents();
    }
    void tap(QWidget *target) { QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5)); }
    void tapCodeAt(int line, int column)
    {
        const int cell = window->layout().cellSize;
        QTest::mouseClick(control("pntProg"), Qt::LeftButton, Qt::NoModifier,
                          QPoint(column * cell + cell / 2, line * cell + cell / 2));
    }

    void openProgram(const QString &name)
    {
        tap(control("btTextOpen"));
        auto *list = control<QListWidget>("lstBasfiles");
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->setCurrentItem(found.front());
        tap(control("btTextOk"));
    }

    QWebEngineView *web() const { return window->findChild<QWebEngineView *>("webRun"); }

    // Run, until the page has been shown in the run view and has taken the keys.
    void runShown()
    {
        tap(control("btRun"));
        ASSERT_TRUE(web() != nullptr);
        ASSERT_TRUE(waitFor([&] {
            return web()->url() == QUrl::fromLocalFile(window->paths().pagePath) && !web()->page()->isLoading()
                   && control("pnlRun")->isVisible();
        })) << "the page did not show";
        waitFor([] { return false; }, 300);
        // The first web view makes Qt create the window anew for OpenGL;
        // a window manager activates it again, which bare Xvfb does not.
        if (!window->isActiveWindow()) {
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
    }
    void waitRunHidden() { ASSERT_TRUE(waitFor([&] { return !control("pnlRun")->isVisible(); })); }

    // Where the next key goes: the code, with the name field untouched.
    void expectKeysGoToTheCode(const char *route)
    {
        SCOPED_TRACE(route);
        QApplication::processEvents();
        EXPECT_EQ(window->focusWidget(), control("pntProg"))
            << (window->focusWidget() ? window->focusWidget()->objectName().toStdString() : "none");
        // A box that closed leaves the window to be activated again by the
        // window manager, which bare Xvfb lacks.
        if (!window->isActiveWindow()) {
            window->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        }
        EXPECT_EQ(QApplication::focusWidget(), control("pntProg"));
        const QString name = control<QLineEdit>("edtFile")->text();
        const QString line = program().line(program().cursorLine());
        typeKeys("q");
        EXPECT_EQ(program().line(program().cursorLine()).size(), line.size() + 1);
        EXPECT_EQ(control<QLineEdit>("edtFile")->text(), name);
        QTest::keyClick(window->windowHandle(), Qt::Key_Backspace);
    }

    std::unique_ptr<TfrmMain> window;
};

// Done when: type a program, Run, Close, type more on the hardware keyboard
// and Run again: the code holds both edits under its own name.
TEST_F(UserWorkTest, TypeRunCloseTypeMoreAndRunAgain)
{
    Recorder messages;
    start(&messages);
    quill::writeTextFile(window->paths().codeDir + "mine", {"function init(){", "}"});
    openProgram("mine");
    tapCodeAt(1, 0);
    typeKeys("var a=1;");
    runShown();
    tap(control("btnRunClose"));
    waitRunHidden();
    typeKeys("var b=2;");
    runShown();
    tap(control("btnRunClose"));
    waitRunHidden();

    EXPECT_EQ(control<QLineEdit>("edtFile")->text(), "mine");
    EXPECT_EQ(fileLines("mine"), QStringList({"function init(){", "var a=1;var b=2;}"}));
    EXPECT_EQ(QDir(codeDir()).entryList(QDir::Files), QStringList({"3d_sample", "cat_sample", "mine", "pad_sample"}));
    EXPECT_TRUE(messages.messages.isEmpty()) << messages.messages.join('|').toStdString();
}

// Whatever the route back to the code, the next key edits the code and
// never the name field, also when the name field had the keys before.
TEST_F(UserWorkTest, TheCodeHasTheKeysAfterEveryRoute)
{
    Recorder messages;
    start(&messages);
    quill::writeTextFile(window->paths().codeDir + "broken", {"function init(){", "  missing();", "}"});
    auto *name = control<QLineEdit>("edtFile");
    auto *pages = control<QTabWidget>("TabControl1");
    const auto nameFieldTapped = [&] {
        tap(name);
        ASSERT_TRUE(name->hasFocus()) << "a tap gives the name field the keys";
    };

    openProgram("broken");
    expectKeysGoToTheCode("Open and OK");
    nameFieldTapped();
    runShown();
    tap(control("btnRunClose"));
    waitRunHidden();
    expectKeysGoToTheCode("Close");

    runShown();
    auto *bar = control<QPushButton>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible(); }));
    tap(bar);
    waitRunHidden();
    EXPECT_EQ(program().cursorLine(), 1);
    expectKeysGoToTheCode("a tap on the error bar");

    nameFieldTapped();
    tap(control("btTextSave"));
    EXPECT_EQ(messages.messages.last(), "Saved.");
    expectKeysGoToTheCode("Save");

    nameFieldTapped();
    tap(control("btTextOpen"));
    tap(control("btTextCancel"));
    expectKeysGoToTheCode("Open and Cancel");

    nameFieldTapped();
    pages->setCurrentIndex(1);
    pages->setCurrentIndex(0);
    expectKeysGoToTheCode("back to the Code page");

    nameFieldTapped();
    tap(control("btTextNew"));
    expectKeysGoToTheCode("New");

    // Typed into the name field, the keys stay there until the code is tapped.
    nameFieldTapped();
    typeKeys("x");
    EXPECT_EQ(name->text(), "x");
    tapCodeAt(0, 0);
    expectKeysGoToTheCode("a tap on the code view");
}

// The window's own message boxes, closed as a user closes them.
TEST_F(UserWorkTest, TheCodeHasTheKeysAfterAMessageBox)
{
    start(nullptr);
    QStringList shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click()
                                         : box->button(QMessageBox::No)->click();
        }
    });
    closer.start(50);
    tap(control("btTextNew"));
    tap(control<QLineEdit>("edtFile"));
    tap(control("btTextSave"));  // no name
    EXPECT_EQ(shown, QStringList({"Input file name."}));
    expectKeysGoToTheCode("the message box");

    // The question box answers no with its second button.
    control<QLineEdit>("edtFile")->setText("cat_sample");
    tap(control("btTextSave"));
    EXPECT_EQ(shown, QStringList({"Input file name.", "Replace cat_sample?"}));
    expectKeysGoToTheCode("the question box");
    EXPECT_TRUE(fileLines("cat_sample").join('\n').contains("Cat sample"));
}

// Done when: New then Ctrl+Z: the old program is back, with its name and
// still unsaved.
TEST_F(UserWorkTest, NewThenCtrlZBringsTheProgramBack)
{
    Recorder messages;
    start(&messages);
    openProgram("cat_sample");
    typeKeys("// mine");
    const QStringList typed = program().lines();
    tap(control("btTextNew"));
    EXPECT_EQ(program().lines(), quill::CodeBuffer::newProgramLines());
    EXPECT_EQ(control<QLineEdit>("edtFile")->text(), "");

    ctrlKey(Qt::Key_Z);
    EXPECT_EQ(program().lines(), typed);
    EXPECT_EQ(control<QLineEdit>("edtFile")->text(), "cat_sample");
    EXPECT_TRUE(program().codeModified());
    ctrlKey(Qt::Key_Y);
    EXPECT_EQ(control<QLineEdit>("edtFile")->text(), "");
    ctrlKey(Qt::Key_Z);

    // Saved again in the sample's own encoding, without a question.
    tap(control("btTextSave"));
    EXPECT_EQ(messages.messages, QStringList({"Saved."}));
    QFile file(codeDir() + "cat_sample");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("\xEF\xBB\xBF// mine"));
}

// Done when: Save under another program's name asks first.
TEST_F(UserWorkTest, SavingUnderAnotherProgramsNameAsksFirst)
{
    Recorder messages;
    start(&messages);
    const QStringList sample3d = fileLines("3d_sample");
    openProgram("cat_sample");
    typeKeys("// changed");
    auto *name = control<QLineEdit>("edtFile");
    tap(name);
    name->selectAll();
    typeKeys("3d_sample");
    tapCodeAt(0, 0);
    tap(control("btTextSave"));
    EXPECT_EQ(messages.messages, QStringList({"Replace 3d_sample?"}));
    EXPECT_EQ(fileLines("3d_sample"), sample3d);
    EXPECT_TRUE(program().codeModified());

    // Run saves as Save does: it asks too, and a no runs without saving.
    messages.messages.clear();
    runShown();
    EXPECT_EQ(messages.messages, QStringList({"Replace 3d_sample?"}));
    EXPECT_EQ(fileLines("3d_sample"), sample3d);
    tap(control("btnRunClose"));
    waitRunHidden();

    messages.answer = true;
    messages.messages.clear();
    tap(control("btTextSave"));
    EXPECT_EQ(messages.messages, QStringList({"Replace 3d_sample?", "Saved."}));
    EXPECT_EQ(fileLines("3d_sample"), program().lines());
}

// Done when: type without saving, kill the program with SIGKILL, start it
// again: the text is back with the message. The first session runs in a
// process of its own, which is killed a moment after the journal holds
// the typing.
TEST_F(UserWorkTest, TypingSurvivesAKill)
{
    QProcess first;
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(QStringLiteral(QUILL_BINARY_DIR "/tests/app/userworkprobe"), {"cat_sample", "var kept = 1;"});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(waitFor([&] { return first.canReadLine() || first.state() != QProcess::Running; }, 60000));
    ASSERT_EQ(first.readLine().trimmed(), "typed");
    QElapsedTimer sinceTyped;
    sinceTyped.start();

    const QString journal = quill::stateFolder() + "journal/";
    // Looked at without touching the folder, where the first session writes.
    const auto journaled = [&] {
        QFile file(journal + "code.journal");
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const std::optional<quill::JournalEntry> entry = quill::decodeJournalEntry(file.readAll());
        return entry && entry->value("text").startsWith("var kept = 1;");
    };
    ASSERT_TRUE(waitFor(journaled, 5000));
    EXPECT_LE(sinceTyped.elapsed(), 2000) << "the journal lags more than 2 seconds behind the typing";
    first.kill();  // SIGKILL
    ASSERT_TRUE(first.waitForFinished());
    ASSERT_EQ(first.exitStatus(), QProcess::CrashExit);

    Recorder messages;
    start(&messages);
    EXPECT_EQ(messages.messages, QStringList({"Recovered unsaved changes: cat_sample."}));
    EXPECT_EQ(control<QLineEdit>("edtFile")->text(), "cat_sample");
    EXPECT_TRUE(program().line(0).startsWith("var kept = 1;")) << program().line(0).toStdString();
    EXPECT_TRUE(program().codeModified());
    EXPECT_FALSE(fileLines("cat_sample").join('\n').contains("kept")) << "still unsaved";
}

} // namespace

int main(int argc, char **argv)
{
    quill::prepareProcess();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
