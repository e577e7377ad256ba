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

TEST(IsRemoteScheme, TheNetworkSchemesInAnyCase)
{
    for (const char *scheme : {"http", "https", "ws", "wss", "ftp", "HTTP", "Https", "WSS"})
        EXPECT_TRUE(isRemoteScheme(scheme)) << scheme;
    for (const char *scheme : {"file", "qrc", "data", "blob", "about", "", "httpx", "ftps2"})
        EXPECT_FALSE(isRemoteScheme(scheme)) << scheme;
}

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

} // namespace
