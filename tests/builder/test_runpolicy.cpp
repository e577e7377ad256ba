// What the run view lets a page reach: the network never, the workspace's
// files only.
#include "builder/runpolicy.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quill;

namespace {

class WorkspacePageTest : public ::testing::Test {
protected:
    WorkspacePageTest()
    {
        base = root.path() + "/QuillIDE/";
        QDir().mkpath(base + "js");
        for (const QString &file : {base + "temp.html", base + "js/blank.html",
                                    root.path() + "/QuillIDE-other.html",
                                    root.path() + "/secret.html"}) {
            QFile page(file);
            page.open(QIODevice::WriteOnly);
        }
        QFile::link(root.path() + "/secret.html", base + "link.html");
        QFile::link(root.path(), base + "img");
    }
    QTemporaryDir root;
    QString base;
};

TEST_F(WorkspacePageTest, OnlyExistingFilesInsideTheWorkspace)
{
    struct Case {
        const char *name;
        QUrl url;
        bool allowed;
    };
    const std::vector<Case> cases = {
        {"generated page", QUrl::fromLocalFile(base + "temp.html"), true},
        {"blank page", QUrl::fromLocalFile(base + "js/blank.html"), true},
        {"the same page written by hand", QUrl("file://" + base + "temp.html"), true},
        {"about:blank", QUrl("about:blank"), true},
        {"climbing out with ..", QUrl::fromLocalFile(base + "js/../../secret.html"), false},
        {"a folder whose name begins the same",
         QUrl::fromLocalFile(root.path() + "/QuillIDE-other.html"), false},
        {"a link leading out", QUrl::fromLocalFile(base + "link.html"), false},
        {"missing file", QUrl::fromLocalFile(base + "nothing.html"), false},
        {"the workspace folder itself", QUrl::fromLocalFile(base), false},
        {"file on another host", QUrl("file://server" + base + "temp.html"), false},
        {"http", QUrl("http://127.0.0.1/temp.html"), false},
        {"https", QUrl("https://example.org/"), false},
        {"data", QUrl("data:text/html,<p>x</p>"), false},
        {"about:srcdoc", QUrl("about:srcdoc"), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isWorkspacePage(c.url, base), c.allowed) << c.name;
}

struct LoadCase {
    const char *name;
    QUrl url;
    bool loaded;     // by a request of any kind
    bool inAFrame;   // as the page of a frame inside the page
};

TEST_F(WorkspacePageTest, PagesLoadTheWorkspaceAndWhatTheyMakeThemselves)
{
    const std::vector<LoadCase> cases = {
        {"the page", QUrl::fromLocalFile(base + "temp.html"), true, true},
        {"a script", QUrl::fromLocalFile(base + "js/quillfunc.js"), true, false},
        {"a missing picture inside", QUrl::fromLocalFile(base + "img2/none.png"), true, false},
        // A folder's address gives its listing, never served.
        {"a workspace folder", QUrl::fromLocalFile(base + "js/"), false, false},
        {"a workspace folder without its slash", QUrl::fromLocalFile(base + "js"), false, false},
        {"the workspace itself", QUrl::fromLocalFile(base), false, false},
        {"data", QUrl("data:text/html,<p>x</p>"), true, true},
        {"blob", QUrl("blob:file:///6f1c1b1e-0000-4000-8000-000000000000"), true, true},
        {"about:blank", QUrl("about:blank"), true, true},
        {"about:srcdoc", QUrl("about:srcdoc"), true, true},
        {"the password file", QUrl("file:///etc/passwd"), false, false},
        {"the home folder", QUrl::fromLocalFile(QDir::homePath() + "/"), false, false},
        {"the root folder", QUrl("file:///"), false, false},
        {"climbing out with ..", QUrl::fromLocalFile(base + "js/../../secret.html"), false, false},
        {"climbing out, written by hand", QUrl("file://" + base + "js/%2E%2E/../secret.html"), false, false},
        {"a folder whose name begins the same", QUrl::fromLocalFile(root.path() + "/QuillIDE-other.html"),
         false, false},
        {"a link leading out", QUrl::fromLocalFile(base + "link.html"), false, false},
        {"through a linked folder", QUrl::fromLocalFile(base + "img/secret.html"), false, false},
        {"a missing file behind a linked folder", QUrl::fromLocalFile(base + "img/none.png"), false, false},
        {"file on another host", QUrl("file://server" + base + "temp.html"), false, false},
        {"http", QUrl("http://127.0.0.1/temp.html"), false, false},
        {"https", QUrl("https://example.org/"), false, false},
        {"a WebSocket", QUrl("ws://127.0.0.1:9/"), false, false},
        {"ftp", QUrl("ftp://example.org/"), false, false},
        {"qrc", QUrl("qrc:/program/help.txt"), false, false},
        {"filesystem", QUrl("filesystem:file:///temporary/x"), false, false},
        {"chrome", QUrl("chrome://gpu"), false, false},
        {"view-source", QUrl("view-source:file:///etc/passwd"), false, false},
    };
    for (const LoadCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(mayLoad(c.url, base), c.loaded);
        EXPECT_EQ(isSubFramePage(c.url, base), c.inAFrame);
    }
}

} // namespace
