// What the window settles at its start and keeps at its end when the disk
// does not play along: an export cut short is finished at the next start,
// and a state folder that cannot be written (unwritable or full) costs the
// recovery journal and the window's place, with one clear message, and
// nothing of the workspace.
#include "app/ammain.h"
#include "app/codepage.h"
#include "app/unsavedwork.h"

#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "editor/codebuffer.h"

#include "tests/app/windowtest.h"
#include "tests/support/eventwait.h"
#include "tests/support/fulldisk.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

using quill::testsupport::waitFor;

class Recorder : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    bool askQuestion(const QString &question) override
    {
        messages << question;
        return false;
    }
    QStringList messages;
};

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class StartAndEndTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override { useFreshWorkspace(); }
};

// An export killed between its two files left the new archive beside the
// old page: the next start puts the new page, waiting in its staging
// folder, in place.
TEST_F(StartAndEndTest, AnExportCutShortIsFinishedAtTheNextStart)
{
    const QString documents = quill::documentsFolder();
    ASSERT_TRUE(QDir().mkpath(documents + "/.quill-export-Ab12Cd"));
    quill::writeBinaryFile(documents + "/cat.zip", "new archive");
    quill::writeBinaryFile(documents + "/cat.html", "old page");
    quill::writeBinaryFile(documents + "/.quill-export-Ab12Cd/name", "cat");
    quill::writeBinaryFile(documents + "/.quill-export-Ab12Cd/page.html", "new page");
    quill::writeBinaryFile(documents + "/.quill-export-Ef34Gh", "an earlier release's leftover");

    Recorder recorder;
    TfrmMain window(&recorder);
    EXPECT_EQ(readBytes(documents + "/cat.html"), "new page");
    EXPECT_EQ(readBytes(documents + "/cat.zip"), "new archive");
    EXPECT_EQ(QDir(documents).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"cat.html", "cat.zip"}));
    EXPECT_TRUE(recorder.messages.isEmpty()) << recorder.messages.join('|').toStdString();
}

struct StateCase {
    const char *name;
    const char *reason;  // the platform's, as the message gives it
    // Makes the state folder unusable for the test's life.
    std::function<std::shared_ptr<void>(const QString &stateHome)> spoil;
};

// A session with a state folder that takes nothing: edits, a pause for the
// journal, a Run-free close. One message says what is not kept and why; the
// code stays in the editor, the settings are saved, and the workspace is as
// it was.
TEST_F(StartAndEndTest, AStateFolderThatCannotBeWrittenIsToldOnceAndCostsNoWork)
{
    const std::vector<StateCase> cases = {
        {"full", "No space left on device", [](const QString &home) {
             auto disk = std::make_shared<quill::testsupport::FullDisk>(home);
             EXPECT_TRUE(disk->mounted()) << disk->error();
             EXPECT_TRUE(disk->fill());
             return std::shared_ptr<void>(disk);
         }},
        {"read-only", "Read-only file system", [](const QString &home) {
             auto disk = std::make_shared<quill::testsupport::FullDisk>(home, true);
             EXPECT_TRUE(disk->mounted()) << disk->error();
             return std::shared_ptr<void>(disk);
         }},
        {"a file in the folder's place", "Not a directory", [](const QString &home) {
             quill::writeBinaryFile(home + "/QuillIDE", "not a folder");
             return std::shared_ptr<void>();
         }},
    };
    for (const StateCase &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir stateHome;
        qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
        QTemporaryDir dataHome;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
        const std::shared_ptr<void> spoiled = c.spoil(stateHome.path());

        Recorder recorder;
        QStringList lines;
        QString settings;
        {
            TfrmMain window(&recorder);
            window.show();
            const QStringList programs = QDir(window.paths().codeDir).entryList(QDir::Files);
            for (const QString &key : {"a", "b", "c"})
                window.codePage().RunKeyCommand(key);
            waitFor([] { return false; }, quill::UnsavedWork::DefaultDelay + 500);
            window.codePage().RunKeyCommand("d");
            waitFor([] { return false; }, quill::UnsavedWork::DefaultDelay + 500);
            lines = window.program().lines();
            settings = window.paths().settingsPath;
            window.close();
            EXPECT_EQ(QDir(window.paths().codeDir).entryList(QDir::Files), programs);
        }
        ASSERT_EQ(recorder.messages.size(), 1) << recorder.messages.join('|').toStdString();
        const QString message = recorder.messages.front();
        EXPECT_TRUE(message.contains(QDir::cleanPath(stateHome.path()) + "/QuillIDE")) << message.toStdString();
        EXPECT_TRUE(message.startsWith("Unsaved changes cannot be kept for recovery: ")) << message.toStdString();
        EXPECT_TRUE(message.endsWith(QStringLiteral(" %1.").arg(c.reason))) << message.toStdString();
        EXPECT_TRUE(lines.join('\n').contains("abcd")) << lines.join('\n').toStdString();
        EXPECT_TRUE(QFileInfo(settings).size() > 0);
    }
}

} // namespace
