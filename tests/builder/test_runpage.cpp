// The run view's page in a real web engine (under Xvfb): it reaches no
// network and its main frame stays on the workspace's pages.
#include "builder/remoteblocker.h"
#include "builder/runpage.h"
#include "tests/support/eventwait.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>

using namespace quill;

namespace {

void writePage(const QString &path, const QByteArray &html)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(html);
}

using quill::testsupport::waitFor;

QVariant evaluate(QWebEnginePage &page, const QString &script)
{
    QVariant result;
    bool done = false;
    page.runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    waitFor([&] { return done; });
    return result;
}

class RunPageTest : public ::testing::Test {
protected:
    RunPageTest()
    {
        base = dir.path() + "/";
        QDir().mkpath(base + "js");
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = server.nextPendingConnection()) {
                ++connections;
                socket->close();
            }
        });
        profile = std::make_unique<QWebEngineProfile>();  // off the record
        profile->setUrlRequestInterceptor(&blocker);
        page = std::make_unique<RunPage>(profile.get(), base);
        page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
        page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    }
    ~RunPageTest() override
    {
        page.reset();
        profile.reset();
    }

    bool load(const QString &file)
    {
        bool finished = false;
        const QMetaObject::Connection once = QObject::connect(
            page.get(), &QWebEnginePage::loadFinished, [&finished] { finished = true; });
        page->load(QUrl::fromLocalFile(base + file));
        const bool loaded = waitFor([&] { return finished; });
        QObject::disconnect(once);
        return loaded;
    }
    QString port() const { return QString::number(server.serverPort()); }

    QTemporaryDir dir;
    QString base;
    QTcpServer server;
    int connections = 0;
    RemoteBlocker blocker;
    std::unique_ptr<QWebEngineProfile> profile;
    std::unique_ptr<RunPage> page;
};

// The request interceptor alone keeps every request from the server. Remote
// access switched off alone does not: the page's WebSocket still connects,
// which is why the interceptor is there. With neither guard the page's
// requests arrive, which shows that the page asks for real.
TEST_F(RunPageTest, ARemoteRequestOfAnyKindGetsNothing)
{
    ASSERT_TRUE(server.isListening());
    const QByteArray remote = "127.0.0.1:" + port().toUtf8();
    writePage(base + "temp.html",
              "<html><body>\n"
              "<img src=\"http://" + remote + "/image.png\">\n"
              "<script src=\"https://" + remote + "/script.js\"></script>\n"
              "<iframe src=\"http://" + remote + "/frame.html\"></iframe>\n"
              "<script>\n"
              "window.outcome = {};\n"
              "fetch('http://" + remote + "/data').then(() => outcome.fetch = 'answered',"
              " () => outcome.fetch = 'failed');\n"
              "const socket = new WebSocket('ws://" + remote + "/socket');\n"
              "socket.onerror = () => outcome.socket = 'failed';\n"
              "socket.onopen = () => outcome.socket = 'open';\n"
              "</script></body></html>\n");

    struct Case {
        const char *name;
        bool remoteAccessOff;
        bool interceptor;
        bool reachesServer;
    };
    const std::vector<Case> cases = {
        {"both guards", true, true, false},
        {"the request interceptor alone", false, true, false},
        {"remote access off alone lets the WebSocket through", true, false, true},
        {"no guard (control)", false, false, true},
    };
    for (const Case &c : cases) {
        connections = 0;
        page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls,
                                       !c.remoteAccessOff);
        profile->setUrlRequestInterceptor(c.interceptor ? &blocker : nullptr);
        const int blockedBefore = blocker.blocked();
        ASSERT_TRUE(load("temp.html")) << c.name;
        EXPECT_TRUE(waitFor([&] {
            return evaluate(*page, "outcome.fetch && outcome.socket ? 1 : 0").toInt() == 1;
        })) << c.name;
        // Late requests get a moment to arrive, should any slip through.
        waitFor([] { return false; }, 500);

        if (c.reachesServer) {
            EXPECT_GT(connections, 0) << c.name;
            continue;
        }
        EXPECT_EQ(connections, 0) << c.name;
        EXPECT_EQ(evaluate(*page, "outcome.fetch").toString(), "failed") << c.name;
        EXPECT_EQ(evaluate(*page, "outcome.socket").toString(), "failed") << c.name;
        if (c.interceptor && !c.remoteAccessOff)
            EXPECT_GE(blocker.blocked() - blockedBefore, 4) << c.name;
    }
}

TEST_F(RunPageTest, TheMainFrameStaysOnTheWorkspacesPages)
{
    writePage(base + "js/blank.html", "<html><body>blank</body></html>");
    writePage(dir.path() + "/../outside-quill-test.html", "<html>outside</html>");
    int refused = 0;
    QObject::connect(page.get(), &RunPage::navigationRefused, [&refused] { ++refused; });

    struct Case {
        const char *name;
        QString target;  // where the page sends itself
        QString landsOn; // the path of the page shown afterwards
    };
    const std::vector<Case> cases = {
        {"http address", "http://127.0.0.1:" + port() + "/", "temp.html"},
        {"file outside the workspace", "file://" + QDir::cleanPath(dir.path() + "/..") + "/outside-quill-test.html",
         "temp.html"},
        {"climbing out with ..", "js/../../outside-quill-test.html", "temp.html"},
        {"a workspace page", "js/blank.html", "js/blank.html"},
    };
    for (const Case &c : cases) {
        writePage(base + "temp.html", "<html><body>temp</body></html>");
        ASSERT_TRUE(load("temp.html")) << c.name;
        const int refusedBefore = refused;
        evaluate(*page, "location.href = '" + c.target + "'; 1");
        const QString expected = QUrl::fromLocalFile(base + c.landsOn).toString();
        if (c.landsOn == "temp.html") {
            EXPECT_TRUE(waitFor([&] { return refused > refusedBefore; })) << c.name;
        } else {
            EXPECT_TRUE(waitFor([&] { return page->url().toString() == expected; })) << c.name;
        }
        waitFor([] { return false; }, 200);
        EXPECT_EQ(page->url().toString(), expected) << c.name;
    }
    QFile::remove(dir.path() + "/../outside-quill-test.html");
    EXPECT_EQ(connections, 0);
}

TEST_F(RunPageTest, UncaughtErrorsArriveWithTheirLine)
{
    writePage(base + "temp.html",
              "<html><body>\n"        // line 1
              "<script>\n"            // line 2
              "console.log('hi');\n"  // line 3
              "let a = 1;\n"          // line 4
              "missing();\n"          // line 5
              "</script></body></html>\n");
    struct Message {
        QWebEnginePage::JavaScriptConsoleMessageLevel level;
        QString text;
        int line;
        QString source;
    };
    std::vector<Message> messages;
    QObject::connect(page.get(), &RunPage::consoleMessage,
                     [&messages](auto level, const QString &text, int line, const QString &source) {
                         messages.push_back({level, text, line, source});
                     });
    ASSERT_TRUE(load("temp.html"));
    ASSERT_TRUE(waitFor([&] { return messages.size() >= 2; }));

    EXPECT_EQ(messages[0].level, QWebEnginePage::InfoMessageLevel);
    EXPECT_EQ(messages[0].text, "hi");
    EXPECT_EQ(messages[1].level, QWebEnginePage::ErrorMessageLevel);
    EXPECT_TRUE(messages[1].text.contains("missing")) << messages[1].text.toStdString();
    EXPECT_EQ(messages[1].line, 5);
    EXPECT_EQ(messages[1].source, QUrl::fromLocalFile(base + "temp.html").toString());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
