#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "app/layoutscreen.h"
#include "app/numericsettings.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace quill {
namespace {

class RecordingSink : public MessageSink {
public:
    void showMessage(const QString &text) override { messages.append(text); }
    QStringList messages;
};

const QStringList ValidSettings = {"width=32", "command=26", "keyheight=30", "sprite=16"};

struct RepairCase {
    const char *name;
    QStringList before;
    QStringList messages;
    QStringList after;
};

TEST(RepairNumericSettings, ReportsAndReplacesBadValues)
{
    const int keyPanelWidth = 1000;  // installs keyheight 72
    const std::vector<RepairCase> cases = {
        {"all valid", ValidSettings, {}, ValidSettings},
        {"upper-case names are read", {"WIDTH=40", "COMMAND=1", "KeyHeight=9", "Sprite=127"}, {},
         {"WIDTH=40", "COMMAND=1", "KeyHeight=9", "Sprite=127"}},
        {"width not a number", {"width=abc", "command=26", "keyheight=30"},
         {"Invalid setting width."}, {"width=32", "command=26", "keyheight=30"}},
        {"width zero", {"width=0", "command=26", "keyheight=30"},
         {"Invalid setting width."}, {"width=32", "command=26", "keyheight=30"}},
        {"keyheight negative", {"width=32", "command=26", "keyheight=-30"},
         {"Invalid setting keyheight."}, {"width=32", "command=26", "keyheight=72"}},
        {"command with a blank", {"width=32", "command=26 ", "keyheight=30"},
         {"Invalid setting command."}, {"width=32", "command=26", "keyheight=30"}},
        {"missing keys are reported and appended", {"sprite=16"},
         {"Invalid setting width.", "Invalid setting keyheight.", "Invalid setting command."},
         {"sprite=16", "width=32", "keyheight=72", "command=26"}},
        {"sprite missing is silent", {"width=32", "command=26", "keyheight=30"}, {},
         {"width=32", "command=26", "keyheight=30"}},
        {"sprite too large", {"width=32", "command=26", "keyheight=30", "sprite=128"},
         {"Invalid setting sprite."}, {"width=32", "command=26", "keyheight=30", "sprite=16"}},
        {"sprite zero", {"width=32", "command=26", "keyheight=30", "sprite=0"},
         {"Invalid setting sprite."}, {"width=32", "command=26", "keyheight=30", "sprite=16"}},
        {"sprite not a number", {"width=32", "command=26", "keyheight=30", "sprite=x"},
         {"Invalid setting sprite."}, {"width=32", "command=26", "keyheight=30", "sprite=16"}},
        {"sprite smallest", {"width=32", "command=26", "keyheight=30", "sprite=1"}, {},
         {"width=32", "command=26", "keyheight=30", "sprite=1"}},
        {"largest values that still lay out", {"width=1024", "command=200", "keyheight=200"}, {},
         {"width=1024", "command=200", "keyheight=200"}},
        {"width beyond 1024", {"width=1025", "command=26", "keyheight=30"},
         {"Invalid setting width."}, {"width=32", "command=26", "keyheight=30"}},
        {"huge keyheight", {"width=32", "command=26", "keyheight=2147483647"},
         {"Invalid setting keyheight."}, {"width=32", "command=26", "keyheight=72"}},
        {"command beyond 200", {"width=32", "command=201", "keyheight=30"},
         {"Invalid setting command."}, {"width=32", "command=26", "keyheight=30"}},
        {"every value bad, reported in order",
         {"sprite=-1", "keyheight=", "command=x", "width=3.5"},
         {"Invalid setting width.", "Invalid setting keyheight.", "Invalid setting command.",
          "Invalid setting sprite."},
         {"sprite=16", "keyheight=72", "command=26", "width=32"}},
    };
    for (const RepairCase &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsStore settings;
        settings.replaceEntries(c.before);
        RecordingSink sink;
        repairNumericSettings(settings, keyPanelWidth, sink);
        EXPECT_EQ(sink.messages, c.messages);
        EXPECT_EQ(settings.entries(), c.after);
    }
}

TEST(RepairNumericSettings, RepairedKeyHeightFollowsTheKeyPanel)
{
    SettingsStore settings;
    settings.replaceEntries({"width=32", "command=26", "keyheight=0"});
    RecordingSink sink;
    repairNumericSettings(settings, 384, sink);
    EXPECT_EQ(settings.value("keyheight"), QString::number(installedKeyHeight(384)));
    EXPECT_EQ(settings.value("keyheight"), "30");
}

TEST(RepairNumericSettings, RepairedSettingsStayQuietNextTime)
{
    SettingsStore settings;
    settings.replaceEntries({"width=wide", "sprite=999"});
    RecordingSink first;
    repairNumericSettings(settings, 384, first);
    EXPECT_EQ(first.messages.size(), 4);
    RecordingSink second;
    repairNumericSettings(settings, 384, second);
    EXPECT_TRUE(second.messages.isEmpty()) << second.messages.join('|').toStdString();
}

// One table for both: a damaged setting is repaired to exactly what an
// installation for the same key panel leaves, and what an installation
// leaves is never reported.
TEST(RepairNumericSettings, RepairsToWhatAnInstallationLeaves)
{
    for (const int keyPanelWidth : {DesignClientWidth, 390, 1000, 1280}) {
        SCOPED_TRACE(keyPanelWidth);
        SettingsStore installed;
        applyDefaultSettings(installed, QString(), keyPanelWidth);
        rescaleInstalledHeights(installed);
        RecordingSink quiet;
        SettingsStore untouched = installed;
        repairNumericSettings(untouched, keyPanelWidth, quiet);
        EXPECT_TRUE(quiet.messages.isEmpty()) << quiet.messages.join('|').toStdString();
        EXPECT_EQ(untouched.entries(), installed.entries());

        for (const Setting *entry : {&setting::Width, &setting::KeyHeight, &setting::Command, &setting::Sprite}) {
            SCOPED_TRACE(entry->key);
            SettingsStore damaged = installed;
            damaged.setValue(entry->name(), "x");
            RecordingSink sink;
            repairNumericSettings(damaged, keyPanelWidth, sink);
            EXPECT_EQ(sink.messages, QStringList({"Invalid setting " + entry->name() + "."}));
            EXPECT_EQ(damaged.value(entry->name()), installed.value(entry->name()));
        }
    }
}

} // namespace
} // namespace quill
