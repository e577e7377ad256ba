// The System page built alone, with fakes for what it crosses into: the
// sprite, the keyboard's layer, the layout pass, the key panel's width and
// the window's close.
#include "app/systempage.h"

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "app/handlerboundary.h"
#include "app/installer.h"
#include "editor/codebuffer.h"

#include "tests/support/application.h"
#include "tests/support/recordingsink.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

namespace quill {
namespace {

using testsupport::RecordingSink;

class SystemPageAlone : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testsupport::ensureApplication(); }

    void SetUp() override
    {
        ASSERT_TRUE(workspace.isValid());
        ASSERT_TRUE(exports.isValid());
        ASSERT_TRUE(home.isValid());
        // Default's documents folder and kept versions stay in the test's own folders.
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_STATE_HOME", QFile::encodeName(home.path() + "/state"));
        paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
        installWorkspace(paths, settings, keywords, DesignClientWidth, QString());
        settings.setValue("exportdir", exports.path());
        SystemPageCrossings crossings{
            .spriteSize = [this] { return spriteSize; },
            .resizeSprite =
                [this](int size) {
                    asked << QStringLiteral("resizeSprite %1").arg(size);
                    spriteSize = size;
                },
            .unshift = [this] { asked << "unshift"; },
            .layoutScreen = [this] { asked << "layoutScreen"; },
            .keyPanelWidth = [this] { return keyPanelWidth; },
            .quit = [this] { asked << "quit"; },
        };
        page = std::make_unique<SystemPage>(settings, keywords, paths, program, crossings, handlers);
        page->layoutPage(computeLayout(LayoutInput()));
        page->LoadSystemPage();
    }

    QLineEdit *field(const char *name) const { return page->findChild<QLineEdit *>(QString::fromLatin1(name)); }
    void press(const char *name) const { page->findChild<QPushButton *>(QString::fromLatin1(name))->click(); }

    QTemporaryDir home;
    QTemporaryDir workspace;
    QTemporaryDir exports;
    WorkspacePaths paths;
    SettingsStore settings;
    QStringList keywords;
    CodeBuffer program;
    RecordingSink sink;
    Handlers handlers{sink};
    int spriteSize = 16;
    int keyPanelWidth = DesignClientWidth;
    QStringList asked;
    std::unique_ptr<SystemPage> page;
};

TEST_F(SystemPageAlone, ApplyResizesTheSpriteOnlyForAnotherSizeThenLaysOut)
{
    struct Case {
        const char *name;
        QString size;
        QStringList asked;
        QStringList messages;
    };
    const std::vector<Case> cases = {
        {"the same size", "16", {"layoutScreen"}, {"Done."}},
        {"another size", "24", {"resizeSprite 24", "layoutScreen"}, {"Done."}},
        {"not a number", "x", {}, {"Error."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        asked.clear();
        sink.messages.clear();
        field("edtSpriteSize")->setText(c.size);
        press("btApply");
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(sink.messages, c.messages);
    }
    EXPECT_EQ(settings.value("sprite"), "24");
}

// Default installs the key height for the key panel the window has now, and
// asks for the first layer, the default sprite size and a layout pass.
TEST_F(SystemPageAlone, DefaultAsksTheWindowForWhatItChanges)
{
    spriteSize = 32;
    keyPanelWidth = 1000;
    field("edtWidth")->setText("99");
    press("btDefault");
    EXPECT_EQ(asked, QStringList({"unshift", "resizeSprite 16", "layoutScreen"}));
    EXPECT_EQ(settings.value("keyheight"), "72");
    EXPECT_EQ(field("edtKeyHeight")->text(), "72");
    EXPECT_EQ(field("edtWidth")->text(), "32");
    EXPECT_EQ(sink.messages.last(), "Done.");
}

TEST_F(SystemPageAlone, ExportPacksTheProgramItIsGivenAndQuitClosesTheWindow)
{
    program.loadLines({"function init(){", "}"});
    program.setFileName("mine");
    press("btExport");
    ASSERT_FALSE(sink.messages.isEmpty());
    EXPECT_TRUE(sink.messages.last().startsWith("Completed.")) << sink.messages.last().toStdString();
    EXPECT_TRUE(QFile::exists(exports.path() + "/mine.zip"));
    EXPECT_TRUE(QFile::exists(exports.path() + "/mine.html"));

    press("btQuit");
    EXPECT_EQ(asked, QStringList({"quit"}));
}

} // namespace
} // namespace quill
