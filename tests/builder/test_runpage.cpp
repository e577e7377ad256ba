// The run view's page in a real web engine (under Xvfb): it reaches no
// network and its main frame stays on the workspace's pages.
#include "builder/remoteblocker.h"
#include "builder/runpage.h"
#include "tests/support/eventwait.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
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
        blocker = std::make_unique<RemoteBlocker>(base);
        profile = std::make_unique<QWebEngineProfile>();  // off the record
        profile->setUrlRequestInterceptor(blocker.get());
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
    std::unique_ptr<RemoteBlocker> blocker;
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
        profile->setUrlRequestInterceptor(c.interceptor ? blocker.get() : nullptr);
        const int blockedBefore = blocker->blocked();
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
            EXPECT_GE(blocker->blocked() - blockedBefore, 4) << c.name;
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

// Every way a page has to a local file outside the workspace is refused, as
// the network is, and so is every folder's listing, the workspace's own too;
// the workspace's own files still load. The control row,
// without the blocker, shows that every way reads the secret otherwise.
TEST_F(RunPageTest, NoLocalFileOutsideTheWorkspaceIsRead)
{
    const QString outside = dir.path() + "/../quill-outside-" + QString::number(getpid()) + "/";
    ASSERT_TRUE(QDir().mkpath(outside));
    const QString secret = QDir::cleanPath(outside) + "/secret.txt";
    writePage(secret, "SECRET-TEXT");
    writePage(QDir::cleanPath(outside) + "/secret.js", "window.secretScript = 'SECRET-TEXT';");
    writePage(QDir::cleanPath(outside) + "/secret.css", "body { margin-left: 77px; }");
    QImage(5, 7, QImage::Format_ARGB32).save(QDir::cleanPath(outside) + "/secret.png");
    QDir().mkpath(base + "img");
    QImage(3, 2, QImage::Format_ARGB32).save(base + "img/own.png");
    writePage(base + "own.txt", "OWN-TEXT");
    ASSERT_TRUE(QFile::link(secret, base + "link.txt"));
    const QString out = "file://" + QDir::cleanPath(outside);
    writePage(base + "temp.html", QString(
        "<html><head><link rel=stylesheet href='%1/secret.css'>"
        "<script src='%1/secret.js'></script></head><body><script>\n"
        "window.got = {};\n"
        "const read = (tag, url) => fetch(url).then(r => r.text()).then(t => got[tag] = t, () => got[tag] = 'refused');\n"
        "read('fetch', '%1/secret.txt');\n"
        "read('fetch through a link', 'link.txt');\n"
        "read('fetch of the workspace', 'own.txt');\n"
        "read('listing of the workspace', './');\n"
        "read('listing of a workspace folder', 'img');\n"
        "try { const x = new XMLHttpRequest(); x.open('GET', '%1/secret.txt', false); x.send();"
        "  got['synchronous XHR'] = x.responseText; } catch (e) { got['synchronous XHR'] = 'refused'; }\n"
        "const picture = (tag, url) => { const i = new Image();"
        "  i.onload = () => { const c = document.createElement('canvas'); c.width = i.width; c.height = i.height;"
        "    c.getContext('2d').drawImage(i, 0, 0); got[tag] = i.width + 'x' + i.height; };"
        "  i.onerror = () => got[tag] = 'refused'; i.src = url; };\n"
        "picture('img', '%1/secret.png');\n"
        "picture('img of the workspace', 'img/own.png');\n"
        "const frame = (tag, url, later) => { const f = document.createElement('iframe');"
        "  f.src = later ? 'about:blank' : url; document.body.appendChild(f);"
        "  if (later) setTimeout(() => { f.src = url; }, 200);"
        "  setTimeout(() => { let t = 'refused'; try { t = f.contentDocument.body.innerText || 'refused'; } catch (e) {}"
        "    got[tag] = t; }, 1500); };\n"
        "frame('iframe', '%1/secret.txt', false);\n"
        "frame('iframe listing a folder', '%1/', false);\n"
        "frame('iframe sent on later', '%1/secret.txt', true);\n"
        "addEventListener('load', () => { got.script = window.secretScript || 'refused';"
        "  got.css = getComputedStyle(document.body).marginLeft; });\n"
        "</script></body></html>\n").arg(out).toUtf8());

    // The control: a plain page on a profile without the blocker.
    QWebEnginePage plain(profile.get());
    plain.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    struct Case {
        const char *name;
        QWebEnginePage *page;
        bool guarded;
    };
    for (const Case &c : {Case{"the run page with its blocker", page.get(), true},
                          Case{"a plain page without it (control)", &plain, false}}) {
        SCOPED_TRACE(c.name);
        profile->setUrlRequestInterceptor(c.guarded ? blocker.get() : nullptr);
        bool finished = false;
        const QMetaObject::Connection once =
            QObject::connect(c.page, &QWebEnginePage::loadFinished, [&finished] { finished = true; });
        c.page->load(QUrl::fromLocalFile(base + "temp.html"));
        ASSERT_TRUE(waitFor([&] { return finished; }));
        QObject::disconnect(once);
        ASSERT_TRUE(waitFor([&] {
            return evaluate(*c.page, "Object.keys(got).length").toInt() >= 13;
        })) << evaluate(*c.page, "JSON.stringify(got)").toString().toStdString();
        const QVariantMap got = evaluate(*c.page, "got").toMap();
        const auto leaked = [&](const QString &way) {
            const QString value = got.value(way).toString();
            return value.contains("SECRET-TEXT") || value == "5x7" || value == "77px" || value.contains("secret.txt")
                   || value.contains("own.txt") || value.contains("own.png");
        };
        for (const QString &way : {"fetch", "fetch through a link", "synchronous XHR", "img", "iframe",
                                   "iframe listing a folder", "iframe sent on later", "script", "css",
                                   "listing of the workspace", "listing of a workspace folder"}) {
            if (c.guarded)
                EXPECT_FALSE(leaked(way)) << way.toStdString() << ": " << got.value(way).toString().toStdString();
            else if (way != "fetch through a link")
                EXPECT_TRUE(leaked(way)) << way.toStdString() << ": " << got.value(way).toString().toStdString();
        }
        EXPECT_EQ(got.value("fetch of the workspace").toString(), "OWN-TEXT");
        EXPECT_EQ(got.value("img of the workspace").toString(), "3x2");
    }
    QDir(outside).removeRecursively();
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
