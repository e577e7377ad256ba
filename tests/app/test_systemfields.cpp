// The System page's Apply and Default, with the window's effects and messages
// recorded in one log so that their order shows.
#include "app/systemfields.h"

#include "app/aboutpage.h"
#include "base/messagesink.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "app/installer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace quill {

inline void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

class Recorder : public MessageSink {
public:
    void showMessage(const QString &text) override { log.append(text); }
    SystemPageEffects effects()
    {
        return {[this](int size) { log.append(QStringLiteral("sprite %1").arg(size)); },
                [this] { log.append("unshift"); }, [this] { log.append("load"); },
                [this] { log.append("layout"); }};
    }
    QStringList log;
};

SettingsStore storeWith(const QStringList &entries)
{
    SettingsStore settings;
    settings.replaceEntries(entries);
    return settings;
}

const QStringList Before = {"exportdir=/old", "width=32", "keyheight=30", "command=26",
                            "web=0", "sprite=16"};

SystemFields typed(QString width, QString keyHeight, QString command, QString sprite,
                   QString exportDir = "/new", bool web = true)
{
    return {width, keyHeight, command, sprite, exportDir, web};
}

TEST(LoadSystemFields, CopiesTheStoredTextsUnchanged)
{
    const SettingsStore settings = storeWith(
        {"width=040", "KEYHEIGHT=30", "command=x", "sprite=24", "exportdir=/home/a b", "web=1"});
    EXPECT_EQ(loadSystemFields(settings), typed("040", "30", "x", "24", "/home/a b", true));

    EXPECT_EQ(loadSystemFields(storeWith({"web=1 "})), typed("", "", "", "", "", false));
    EXPECT_EQ(loadSystemFields(storeWith({"web=yes"})).useWebBrowser, false);
}

struct ApplyCase {
    const char *name;
    SystemFields fields;
    int spriteSize;             // the sprite's current edge
    QStringList settingsAfter;  // Before as changed
    QStringList log;            // effects and messages, in order
};

TEST(ApplySystemFields, AppliesInOrderAndStopsAtTheFirstBadField)
{
    const std::vector<ApplyCase> cases = {
        {"all valid, same sprite", typed("040", "28", "20", "16"), 16,
         {"exportdir=/new", "width=40", "keyheight=28", "command=20", "web=1", "sprite=16"},
         {"layout", "Done."}},
        {"new sprite size resizes before the layout", typed("32", "30", "26", "24"), 16,
         {"exportdir=/new", "width=32", "keyheight=30", "command=26", "web=1", "sprite=24"},
         {"sprite 24", "layout", "Done."}},
        {"sprite typed +016 equals the current 16", typed("32", "30", "26", "+016"), 16,
         {"exportdir=/new", "width=32", "keyheight=30", "command=26", "web=1", "sprite=16"},
         {"layout", "Done."}},
        {"sprite x: all before it applied, no layout", typed("33", "31", "27", "x"), 16,
         {"exportdir=/new", "width=33", "keyheight=31", "command=27", "web=1", "sprite=16"},
         {"Error."}},
        {"width not a number: only exportdir", typed("3 2", "31", "27", "16"), 16,
         {"exportdir=/new", "width=32", "keyheight=30", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"width 0", typed("0", "31", "27", "16"), 16,
         {"exportdir=/new", "width=32", "keyheight=30", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"width 1025", typed("1025", "31", "27", "16"), 16,
         {"exportdir=/new", "width=32", "keyheight=30", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"width 1024 and key height 1 are the edges", typed("1024", "1", "200", "127"), 16,
         {"exportdir=/new", "width=1024", "keyheight=1", "command=200", "web=1", "sprite=127"},
         {"sprite 127", "layout", "Done."}},
        {"key height 201", typed("40", "201", "27", "16"), 16,
         {"exportdir=/new", "width=40", "keyheight=30", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"command checked at its own step", typed("40", "41", "0", "24"), 16,
         {"exportdir=/new", "width=40", "keyheight=41", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"command not a number", typed("40", "41", "big", "24"), 16,
         {"exportdir=/new", "width=40", "keyheight=41", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        // An empty layout number is a bad number like any other: removing
        // the key would break every later layout pass.
        {"command empty keeps the old value", typed("40", "41", "", "16", "/new", false), 16,
         {"exportdir=/new", "width=40", "keyheight=41", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"width empty keeps the old value", typed("", "41", "27", "16"), 16,
         {"exportdir=/new", "width=32", "keyheight=30", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"key height empty keeps the old value", typed("40", "", "27", "16"), 16,
         {"exportdir=/new", "width=40", "keyheight=30", "command=26", "web=0", "sprite=16"},
         {"Error."}},
        {"sprite size empty keeps the old value", typed("40", "41", "27", ""), 16,
         {"exportdir=/new", "width=40", "keyheight=41", "command=27", "web=1", "sprite=16"},
         {"Error."}},
        {"command stored as typed", typed("40", "41", "026", "16", "/new", false), 16,
         {"exportdir=/new", "width=40", "keyheight=41", "command=026", "web=0", "sprite=16"},
         {"layout", "Done."}},
        {"sprite 128", typed("40", "41", "26", "128"), 16,
         {"exportdir=/new", "width=40", "keyheight=41", "command=26", "web=1", "sprite=16"},
         {"Error."}},
        {"sprite 0", typed("40", "41", "26", "0"), 32,
         {"exportdir=/new", "width=40", "keyheight=41", "command=26", "web=1", "sprite=16"},
         {"Error."}},
        {"empty export folder removes the key", typed("40", "41", "26", "16", ""), 16,
         {"width=40", "keyheight=41", "command=26", "web=1", "sprite=16"},
         {"layout", "Done."}},
        {"smaller sprite size resizes", typed("32", "30", "26", "16"), 32,
         {"exportdir=/new", "width=32", "keyheight=30", "command=26", "web=1", "sprite=16"},
         {"sprite 16", "layout", "Done."}},
    };
    for (const ApplyCase &c : cases) {
        SettingsStore settings = storeWith(Before);
        Recorder recorder;
        applySystemFields(c.fields, settings, c.spriteSize, recorder.effects(), recorder);
        EXPECT_EQ(settings.entries(), c.settingsAfter) << c.name;
        EXPECT_EQ(recorder.log, c.log) << c.name;
    }
}

class DefaultTest : public ::testing::Test {
protected:
    DefaultTest() { paths = WorkspacePaths::fromBaseDir(dir.path() + "/"); }
    DefaultsTarget target(int keyPanelWidth)
    {
        return {paths, settings, keywords, keyPanelWidth, QStringLiteral("/home/anna/Documents")};
    }
    QTemporaryDir dir;
    WorkspacePaths paths;
    SettingsStore settings;
    QStringList keywords;
    Recorder recorder;
};

TEST_F(DefaultTest, ReinstallsThenUnshiftsResizesLoadsLaysOutAndSaysDone)
{
    settings = storeWith({"width=99", "keyheight=7", "sprite=32", "mine=kept"});
    keywords = {"only"};

    restoreDefaults(target(384), 32, recorder.effects(), recorder);

    EXPECT_EQ(recorder.log, QStringList({"unshift", "sprite 16", "load", "layout", "Done."}));
    EXPECT_EQ(settings.value("width"), "32");
    EXPECT_EQ(settings.value("sprite"), "16");
    EXPECT_EQ(settings.value("mine"), "kept");
    EXPECT_EQ(settings.value("exportdir"), "/home/anna/Documents");
    EXPECT_EQ(keywords.size(), 76);
    EXPECT_EQ(readTextFile(paths.keywordsPath).lines, keywords);
    EXPECT_TRUE(QFile::exists(paths.scriptDir + "quillfunc.js"));
}

TEST_F(DefaultTest, ASixteenSpriteIsLeftAlone)
{
    restoreDefaults(target(384), 16, recorder.effects(), recorder);
    EXPECT_EQ(recorder.log, QStringList({"unshift", "load", "layout", "Done."}));
}

TEST_F(DefaultTest, KeyHeightFollowsTheCurrentKeyPanelWidth)
{
    restoreDefaults(target(384), 16, recorder.effects(), recorder);
    EXPECT_EQ(settings.value("keyheight"), QString::number((384 / 10 + 9) / 3 * 2));
    restoreDefaults(target(1000), 16, recorder.effects(), recorder);
    EXPECT_EQ(settings.value("keyheight"), QString::number((1000 / 10 + 9) / 3 * 2));
}

TEST_F(DefaultTest, AFailedInstallationStopsBeforeAnyEffect)
{
    // A file where the code folder must be: the installation cannot make it.
    QFile blocker(dir.path() + "/prgfiles");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_THROW(restoreDefaults(target(384), 32, recorder.effects(), recorder), QuillError);
    EXPECT_TRUE(recorder.log.isEmpty());
}

TEST(AboutPage, NamesTheProgramAndEveryEngineWithVersionAndLicence)
{
    const QString page = aboutPageText();
    EXPECT_TRUE(page.contains("QuillIDE " + programVersion()));
    EXPECT_FALSE(programVersion().isEmpty());
    EXPECT_TRUE(page.contains("Licence: MIT."));
    const std::vector<BundledEngine> &engines = bundledEngines();
    ASSERT_EQ(engines.size(), 4u);
    for (const BundledEngine &engine : engines) {
        EXPECT_TRUE(page.contains("<td>" + engine.name + "</td><td>js/" + engine.file + "</td><td>"
                                  + engine.version + "</td><td>" + engine.licence + "</td>"))
            << engine.name.toStdString();
    }
    // Nothing that would reach out of the file or run.
    EXPECT_FALSE(page.contains("<script"));
    EXPECT_FALSE(page.contains("http"));
}

TEST(AboutPage, EngineVersionsMatchThePinnedPackages)
{
    // The versions the about page claims are those the build bundles.
    QFile manifest(QStringLiteral(QUILL_SOURCE_DIR "/package.json"));
    ASSERT_TRUE(manifest.open(QIODevice::ReadOnly));
    const QByteArray pins = manifest.readAll();
    const std::vector<std::pair<QString, QByteArray>> packages = {
        {"three.js", "\"three\": \""}, {"Stage.js", "\"stage-js\": \""},
        {"SoundJS", "\"soundjs\": \""}, {"sprintf-js", "\"sprintf-js\": \""}};
    // Plain references, not a structured binding: clang 14 cannot capture one in a lambda.
    for (const auto &package : packages) {
        const QString &name = package.first;
        const QByteArray &key = package.second;
        const auto engine = std::find_if(bundledEngines().begin(), bundledEngines().end(),
                                         [&](const BundledEngine &e) { return e.name == name; });
        ASSERT_NE(engine, bundledEngines().end()) << name.toStdString();
        EXPECT_TRUE(pins.contains(key + engine->version.toUtf8() + "\""))
            << name.toStdString() << " " << engine->version.toStdString();
    }
}

TEST(AboutPage, IsWrittenNextToTheGeneratedPage)
{
    QTemporaryDir dir;
    const WorkspacePaths paths = WorkspacePaths::fromBaseDir(dir.path() + "/");
    const QString path = writeAboutPage(paths);
    EXPECT_EQ(path, paths.baseDir + "about.html");
    EXPECT_EQ(readTextFile(path).lines.join('\n'), aboutPageText());
}

} // namespace
} // namespace quill
