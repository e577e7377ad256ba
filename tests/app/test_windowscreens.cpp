// The window on the screens it runs on: the landscape Code page's keyboard
// toggle, and the window reopening at the size, place and state it was
// closed with (kept in the state folder, never in quillide.ini).
#include "app/ammain.h"
#include "app/windowplace.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "editor/codebuffer.h"

#include "tests/app/windowtest.h"
#include "tests/support/eventwait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

#include <memory>

namespace {

using quill::testsupport::waitFor;

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

class WindowScreensTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override { useFreshWorkspace(); }

    std::unique_ptr<TfrmMain> openWindow()
    {
        auto window = std::make_unique<TfrmMain>(&sink);
        window->show();
        window->activateWindow();
        waitFor([&] { return window->isActiveWindow(); }, 1000);
        return window;
    }

    static QWidget *named(const TfrmMain &window, const char *name)
    {
        return controlNamed<QWidget>(&window, name);
    }

    static bool laidOutAs(const TfrmMain &window, QSize client)
    {
        return window.layout().pageWidth == client.width()
               && window.layout().pageHeight == client.height() - quill::TabStripHeight;
    }

    void typeKey(int keyCode, const QString &text)
    {
        QWidget *target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QKeyEvent press(QEvent::KeyPress, keyCode, Qt::NoModifier, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, keyCode, Qt::NoModifier, text);
        QApplication::sendEvent(target, &release);
    }

    QString placePath() const { return stateHome.path() + QStringLiteral("/QuillIDE/window.ini"); }

    RecordingSink sink;
};

TEST_F(WindowScreensTest, TheKeyboardToggleHidesAndShowsTheKeysAndIsKeptForTheNextStart)
{
    const QSize landscape(800, 480), portrait(480, 560);
    {
        auto window = openWindow();
        auto *toggle = qobject_cast<QPushButton *>(named(*window, "btKeys"));
        QWidget *keys = named(*window, "pnlKeys");
        QWidget *codeView = named(*window, "pntProg");
        ASSERT_NE(toggle, nullptr);
        EXPECT_FALSE(toggle->isVisible()) << "upright, the design's menu row";

        window->resize(landscape);
        ASSERT_TRUE(waitFor([&] { return laidOutAs(*window, landscape); }, 2000));
        EXPECT_TRUE(toggle->isVisible());
        EXPECT_TRUE(toggle->isChecked()) << "checked while the keys show";
        EXPECT_EQ(toggle->accessibleName(), QStringLiteral("On-screen keyboard"));
        EXPECT_TRUE(keys->isVisible());
        const int linesWithKeys = window->layout().visibleLines;

        toggle->click();
        EXPECT_FALSE(keys->isVisible());
        EXPECT_FALSE(toggle->isChecked());
        EXPECT_EQ(codeView->geometry().bottom(), window->layout().pageHeight - 1) << "the code fills the page";
        EXPECT_GT(window->layout().visibleLines, linesWithKeys);
        EXPECT_EQ(window->program().visibleLines(), window->layout().visibleLines);
        EXPECT_TRUE(quill::readTextFile(placePath()).lines.contains(QStringLiteral("keyboard=hidden")))
            << "kept at once, a kill does not lose it";
        // A hardware keyboard types into the code at once.
        ASSERT_TRUE(waitFor([&] { return QApplication::focusWidget() == codeView; }, 1000));
        const QString before = window->program().line(window->program().cursorLine());
        typeKey(Qt::Key_Q, QStringLiteral("q"));
        EXPECT_EQ(window->program().line(window->program().cursorLine()).size(), before.size() + 1);

        // The file chooser comes and goes without bringing the keys back.
        qobject_cast<QPushButton *>(named(*window, "btTextOpen"))->click();
        EXPECT_FALSE(codeView->isVisible());
        qobject_cast<QPushButton *>(named(*window, "btTextCancel"))->click();
        EXPECT_TRUE(codeView->isVisible());
        EXPECT_FALSE(keys->isVisible());

        // Upright, the keys are back and the toggle goes; sideways again, hidden again.
        window->resize(portrait);
        ASSERT_TRUE(waitFor([&] { return laidOutAs(*window, portrait); }, 2000));
        EXPECT_TRUE(keys->isVisible());
        EXPECT_FALSE(toggle->isVisible());
        window->resize(landscape);
        ASSERT_TRUE(waitFor([&] { return laidOutAs(*window, landscape); }, 2000));
        EXPECT_FALSE(keys->isVisible());
        window->close();
    }
    {
        auto window = openWindow();
        ASSERT_TRUE(waitFor([&] { return laidOutAs(*window, landscape); }, 2000)) << "reopened at its size";
        auto *toggle = qobject_cast<QPushButton *>(named(*window, "btKeys"));
        EXPECT_FALSE(named(*window, "pnlKeys")->isVisible()) << "still hidden at the next start";
        EXPECT_FALSE(toggle->isChecked());
        toggle->click();
        EXPECT_TRUE(named(*window, "pnlKeys")->isVisible());
        EXPECT_TRUE(quill::readTextFile(placePath()).lines.contains(QStringLiteral("keyboard=shown")));
    }
    // Kept in the state folder only.
    const QString settings = dataHome.path() + QStringLiteral("/QuillIDE/quillide.ini");
    for (const QString &line : quill::readTextFile(settings).lines)
        EXPECT_FALSE(line.startsWith(QStringLiteral("keyboard"), Qt::CaseInsensitive)) << line.toStdString();
}

TEST_F(WindowScreensTest, TheWindowReopensWhereItWasClosed)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_GE(screen.width(), 760);
    ASSERT_GE(screen.height(), 560);
    const QRect normal(screen.left() + 40, screen.top() + 30, 700, 500);
    {
        auto window = openWindow();
        window->setGeometry(normal);
        ASSERT_TRUE(waitFor([&] { return window->geometry() == normal; }, 2000));
        window->close();
    }
    {
        auto window = openWindow();
        EXPECT_EQ(window->geometry(), normal);
        EXPECT_EQ(window->windowState() & Qt::WindowMaximized, Qt::WindowNoState);
        EXPECT_TRUE(laidOutAs(*window, normal.size()));
        EXPECT_TRUE(window->layout().landscape);
        window->showMaximized();
        ASSERT_TRUE(waitFor([&] { return window->geometry() != normal; }, 2000));
        window->close();
    }
    {
        auto window = openWindow();
        EXPECT_TRUE(window->windowState() & Qt::WindowMaximized) << "reopened maximised";
        window->showNormal();
        EXPECT_TRUE(waitFor([&] { return window->geometry() == normal; }, 2000))
            << "and back to where it stood before";
        window->close();
    }
    // Kept in the state folder only.
    EXPECT_TRUE(QFileInfo(placePath()).isFile());
    const QString settings = dataHome.path() + QStringLiteral("/QuillIDE/quillide.ini");
    for (const QString &line : quill::readTextFile(settings).lines) {
        for (const char *name : {"left=", "top=", "maximized="})
            EXPECT_FALSE(line.startsWith(QLatin1String(name))) << line.toStdString();
    }
}

TEST_F(WindowScreensTest, APlaceOffEveryScreenGivesWayToTheDesignsPlace)
{
    struct Case {
        const char *name;
        QStringList kept;
        QPoint place;
        QSize size;
    };
    const std::vector<Case> cases = {
        {"off every screen: the design's place, the kept size",
         {"left=5000", "top=5000", "width=640", "height=420", "maximized=0"}, {0, 32}, {640, 420}},
        {"a damaged place: the design's window",
         {"left=10", "top=x", "width=640", "height=420"}, {0, 32}, {384, 567}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(placePath()).absolutePath()));
        quill::writeTextFile(placePath(), c.kept);
        TfrmMain window(&sink);
        EXPECT_EQ(window.pos(), c.place);
        EXPECT_EQ(window.size(), c.size);
        EXPECT_EQ(window.windowState(), Qt::WindowNoState);
    }
    EXPECT_TRUE(sink.messages.isEmpty());
}

} // namespace
