// Run up to the showing of the page: the save of changed named code, the
// generation, RunActive and the choice of the desktop's browser.
#include "builder/runprogram.h"

#include "base/messagesink.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "app/installer.h"
#include "builder/runviewstate.h"
#include "tests/builder/qtprint.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quill;

namespace {

class RecordedMessages : public MessageSink {
public:
    void showMessage(const QString &text) override { shown.append(text); }
    QStringList shown;
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

class RunProgramTest : public ::testing::Test {
protected:
    RunProgramTest()
    {
        paths = WorkspacePaths::fromBaseDir(dir.path() + "/");
        SettingsStore installed;
        QStringList keywords;
        installWorkspace(paths, installed, keywords, 384, QString());
        writeBinaryFile(paths.pagePath, "previous page");
    }
    RunSource source(const QString &name, bool modified, QStringList code = {"function init(){}"})
    {
        return {code, name, modified, [this] { ++saves; }};
    }
    QTemporaryDir dir;
    WorkspacePaths paths;
    SettingsStore settings;
    RunViewState state;
    RecordedMessages messages;
    int saves = 0;
};

TEST_F(RunProgramTest, SavesOnlyNamedChangedCode)
{
    struct Case {
        const char *name;
        QString fileName;
        bool modified;
        int saves;
    };
    const std::vector<Case> cases = {
        {"named and changed", "cat", true, 1},
        {"named, unchanged since Open or Save", "cat", false, 0},
        {"unnamed and changed", "", true, 0},
        {"unnamed and unchanged", "", false, 0},
    };
    for (const Case &c : cases) {
        saves = 0;
        RunViewState fresh;
        const auto page = startRun(source(c.fileName, c.modified), paths, settings, fresh, messages);
        EXPECT_TRUE(page.has_value()) << c.name;
        EXPECT_EQ(saves, c.saves) << c.name;
        EXPECT_TRUE(fresh.runActive()) << c.name;
        EXPECT_NE(readBytes(paths.pagePath), "previous page") << c.name;
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(RunProgramTest, OnlyWebOneOpensTheDesktopsBrowser)
{
    struct Case {
        const char *name;
        QString web;
        OverlayState overlay;
    };
    const std::vector<Case> cases = {
        {"no setting", "", OverlayState::Running},   {"1", "1", OverlayState::Hidden},
        {"0", "0", OverlayState::Running},           {"1 with a blank", "1 ", OverlayState::Running},
        {"01", "01", OverlayState::Running},         {"yes", "yes", OverlayState::Running},
    };
    for (const Case &c : cases) {
        settings.setValue("web", c.web);
        RunViewState fresh;
        ASSERT_TRUE(startRun(source("", false), paths, settings, fresh, messages)) << c.name;
        EXPECT_EQ(fresh.overlay(), c.overlay) << c.name;
        EXPECT_TRUE(fresh.runActive()) << c.name;
    }
}

TEST_F(RunProgramTest, AFailedGenerationStillSavedAndChangesNothingElse)
{
    const auto page = startRun(source("cat", true, {"include missing"}), paths, settings, state,
                               messages);
    EXPECT_FALSE(page.has_value());
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(messages.shown, QStringList({"Failed to open missing"}));
    EXPECT_FALSE(state.runActive());
    EXPECT_EQ(state.overlay(), OverlayState::Hidden);
    EXPECT_EQ(readBytes(paths.pagePath), "previous page");
}

TEST_F(RunProgramTest, AFailedSaveEndsRunBeforeTheGeneration)
{
    RunSource failing = source("cat", true);
    failing.saveCode = [] { throw QuillError("Cannot write file \"cat\". No space left on device"); };
    EXPECT_THROW(startRun(failing, paths, settings, state, messages), QuillError);
    EXPECT_FALSE(state.runActive());
    EXPECT_EQ(readBytes(paths.pagePath), "previous page");
}

TEST_F(RunProgramTest, TheGeneratedPageComesBackWithItsOrigins)
{
    const auto page = startRun(source("cat", false, readTextFile(paths.codeDir + "cat_sample").lines),
                               paths, settings, state, messages);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->origins.size(), std::size_t(splitLines(page->pageText()).size()));
    EXPECT_TRUE(page->resources.contains("img/cat.png"));
}

} // namespace
