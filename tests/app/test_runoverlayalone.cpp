// The run overlay built alone in a bare window, with fakes for what it
// crosses into: the Code page, the keys and the layout pass. Nothing here
// starts the web engine.
#include "app/runoverlay.h"

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "app/handlerboundary.h"
#include "app/processsetup.h"
#include "builder/runview.h"
#include "editor/codebuffer.h"

#include "tests/support/recordingsink.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <memory>

namespace quill {
namespace {

using testsupport::RecordingSink;

class RunOverlayAlone : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workspace.isValid());
        paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
        QDir().mkpath(paths.codeDir);
        window.setMinimumWidth(300);
        window.resize(400, 600);
        overlay = std::make_unique<RunOverlay>(&window, program, settings, paths,
                                               RunOverlayCrossings{
                                                   .showProgramLine =
                                                       [this](int line) { asked << QStringLiteral("line %1").arg(line); },
                                                   .giveCodeTheKeys = [this] { asked << "keys"; },
                                                   .layoutScreen = [this] { asked << "layout"; },
                                               },
                                               handlers);
        overlay->layoutOverlay(window.rect());
    }

    QTemporaryDir workspace;
    WorkspacePaths paths;
    SettingsStore settings;
    CodeBuffer program;
    RecordingSink sink;
    Handlers handlers{sink};
    QWidget window;
    QStringList asked;
    std::unique_ptr<RunOverlay> overlay;
};

TEST_F(RunOverlayAlone, ResizeSetsTheWindowsWidthWithinItsBoundsAndLaysOut)
{
    struct Case {
        const char *name;
        QString text;
        int width;
        QStringList asked;
        QStringList messages;
    };
    const std::vector<Case> cases = {
        {"a width", "512", 512, {"layout"}, {}},
        {"not a number", "wide", 512, {}, {"Invalid width."}},
        {"below the window's minimum", "299", 512, {}, {"Invalid width."}},
        {"the minimum", "300", 300, {"layout"}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        asked.clear();
        sink.messages.clear();
        overlay->view()->widthEdit()->setText(c.text);
        overlay->view()->resizeButton()->click();
        EXPECT_EQ(window.width(), c.width);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(sink.messages, c.messages);
    }
}

// A tap on the run's error or on a console line of the program closes the
// run and has the Code page show the line; a place without a line only closes.
TEST_F(RunOverlayAlone, ALineChosenInTheRunViewClosesTheRunThere)
{
    emit overlay->view()->lineChosen(7);
    EXPECT_EQ(asked, QStringList({"keys", "line 7"}));
    asked.clear();
    emit overlay->view()->lineChosen(-1);
    EXPECT_EQ(asked, QStringList({"keys"}));
    EXPECT_FALSE(overlay->showing());
    EXPECT_EQ(overlay->view()->webView(), nullptr) << "closing nothing loads nothing";

    emit overlay->view()->wholeErrorAsked("cat:2: Uncaught ReferenceError: x is not defined");
    EXPECT_EQ(sink.messages, QStringList({"cat:2: Uncaught ReferenceError: x is not defined"}));
}

// Run saves changed named code first, also when the page then cannot be
// made (here: no template in the workspace), and the code stays changed.
TEST_F(RunOverlayAlone, RunSavesChangedNamedCodeBeforeThePageFails)
{
    program.loadLines({"function init(){", "}"});
    program.setFileName("mine");
    program.setCodeModified(true);
    // As the Code page's Run button runs it: inside the handler boundary.
    handlers.run([this] { overlay->btRunClick(); });
    EXPECT_TRUE(QFile::exists(paths.codeDir + "mine"));
    EXPECT_TRUE(program.codeModified());
    ASSERT_EQ(sink.messages.size(), 1) << "the page could not be made";
    EXPECT_FALSE(overlay->showing());
    EXPECT_FALSE(overlay->state().runActive());
}

} // namespace
} // namespace quill

int main(int argc, char **argv)
{
    quill::prepareProcess();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
