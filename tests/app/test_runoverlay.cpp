// The run overlay in the window with the real web engine (under Xvfb):
// nothing of the engine before the first Run, Resize, and the overlay's life
// from Run to the blank page.
#include "app/ammain.h"
#include "app/runoverlay.h"

#include "app/processsetup.h"
#include "builder/runview.h"
#include "tests/builder/childprocesses.h"

#include "tests/app/windowtest.h"
#include "tests/support/eventwait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <unistd.h>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

using quill::testsupport::waitFor;

class RunOverlayTest : public quill::testsupport::WindowTest {
protected:
    RunOverlayTest()
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->show();
        waitFor([this] { return window->isVisible(); });
    }

    template <typename T = QWidget> T *control(const char *name) const
    {
        return controlNamed<T>(window.get(), name);
    }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(RunOverlayTest, StartingTheProgramStartsNothingOfTheWebEngine)
{
    waitFor([] { return false; }, 1000);
    EXPECT_EQ(quill::testsupport::webEngineProcesses(getpid()), 0)
        << quill::testsupport::descendantNames(getpid()).join(' ').toStdString();
    EXPECT_EQ(window->findChild<QWebEngineView *>("webRun"), nullptr);
    EXPECT_FALSE(control("pnlRun")->isVisible());
    EXPECT_TRUE(sink.messages.isEmpty());
}

TEST_F(RunOverlayTest, ResizeSetsTheClientWidthAndLaysOutAgain)
{
    auto *width = control<QLineEdit>("edtRunWidth");
    width->setText("512");
    control<QPushButton>("btnRunResize")->click();
    waitFor([this] { return window->width() == 512; });
    EXPECT_EQ(window->width(), 512);
    EXPECT_EQ(control("TabControl1")->width(), 512);
    EXPECT_EQ(control("pnlRun")->width(), 512);
    EXPECT_TRUE(sink.messages.isEmpty());

    struct Case {
        const char *name;
        QString text;
    };
    const std::vector<Case> refused = {
        {"not a number", "wide"}, {"blank inside", "5 12"}, {"zero", "0"}, {"negative", "-400"},
        {"below the window's minimum", QString::number(window->minimumWidth() - 1)},
    };
    for (const Case &c : refused) {
        sink.messages.clear();
        width->setText(c.text);
        control<QPushButton>("btnRunResize")->click();
        waitFor([] { return false; }, 50);
        EXPECT_EQ(sink.messages, QStringList({"Invalid width."})) << c.name;
        EXPECT_EQ(window->width(), 512) << c.name;
    }
}

TEST_F(RunOverlayTest, CloseWithNothingShownLoadsNothing)
{
    control<QPushButton>("btnRunClose")->click();
    EXPECT_EQ(window->findChild<QWebEngineView *>("webRun"), nullptr);
    EXPECT_FALSE(window->runOverlay().state().runActive());
}

} // namespace

int main(int argc, char **argv)
{
    quill::prepareProcess();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
