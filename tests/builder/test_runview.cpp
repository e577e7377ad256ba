// The run overlay with a real web engine (under Xvfb): made at the first
// Run, its settings, the frame counter, page errors, the blank page, and the
// guards against the network.
#include "builder/runview.h"

#include "builder/runpage.h"
#include "tests/builder/childprocesses.h"
#include "tests/builder/qtprint.h"
#include "tests/support/eventwait.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace quill;

namespace {

using quill::testsupport::waitFor;

QVariant evaluate(QWebEnginePage *page, const QString &script)
{
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant &value) {
        result = value;
        done = true;
    });
    waitFor([&] { return done; });
    return result;
}

void writePage(const QString &path, const QByteArray &html)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(html);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct PageError {
    QString message;
    int line;
    QString source;
};

class RunViewTest : public ::testing::Test {
protected:
    RunViewTest()
    {
        base = dir.path() + "/";
        QDir().mkpath(base + "js");
        QDir().mkpath(base + "audio");
        writePage(base + "js/blank.html", "<html><body style=\"background:#000\"></body></html>");
        window.resize(400, 600);
        view = new RunView(&window);
        view->layoutView(window.rect());
        window.show();
        QObject::connect(view, &RunView::loadFinished, [this](bool) { ++loads; });
        QObject::connect(view, &RunView::pageError,
                         [this](const QString &message, int line, const QString &source) {
                             errors.push_back({message, line, source});
                         });
    }

    bool show(const QString &file)
    {
        const int before = loads;
        const bool first = view->webView() == nullptr;
        view->showPage(QUrl::fromLocalFile(base + file), base);
        if (first)
            QObject::connect(qobject_cast<RunPage *>(view->webView()->page()), &RunPage::consoleMessage,
                             [this](auto, const QString &message, int, const QString &) {
                                 frameReports += message.contains("quill-frames");
                             });
        return waitFor([&] { return loads > before; });
    }

    QTemporaryDir dir;
    QString base;
    QWidget window;
    RunView *view = nullptr;
    int loads = 0;
    // The counter's reports, shown in the bar or not.
    int frameReports = 0;
    std::vector<PageError> errors;
};

TEST_F(RunViewTest, TheEngineStartsAtTheFirstRunWithTheRunSettings)
{
    waitFor([] { return false; }, 300);
    EXPECT_EQ(view->webView(), nullptr);
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(testsupport::webEngineProcesses(getpid()), 0)
        << testsupport::descendantNames(getpid()).join(' ').toStdString();

    writePage(base + "temp.html", "<html><body>page</body></html>");
    ASSERT_TRUE(show("temp.html"));
    QWebEngineView *web = view->webView();
    ASSERT_NE(web, nullptr);
    EXPECT_EQ(web->objectName(), "webRun");
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(web->url(), QUrl::fromLocalFile(base + "temp.html"));
    EXPECT_GT(testsupport::webEngineProcesses(getpid()), 0);
    QWebEngineSettings *settings = web->page()->settings();
    EXPECT_TRUE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls));
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls));
    EXPECT_FALSE(settings->testAttribute(QWebEngineSettings::PlaybackRequiresUserGesture));
    // The web view fills the overlay below the bar.
    EXPECT_EQ(web->geometry(), QRect(0, RunView::BarHeight, 400, 600 - RunView::BarHeight));

    // A second Run reuses the view.
    writePage(base + "other.html", "<html><body>other</body></html>");
    ASSERT_TRUE(show("other.html"));
    EXPECT_EQ(view->webView(), web);
    EXPECT_EQ(web->url(), QUrl::fromLocalFile(base + "other.html"));
}

TEST_F(RunViewTest, TheBlankPageReplacesTheRunningOne)
{
    writePage(base + "temp.html",
              "<html><body><script>window.ticks = 0;"
              "setInterval(() => window.ticks++, 10);</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    const int before = loads;
    view->loadBlank(QUrl::fromLocalFile(base + "js/blank.html"));
    ASSERT_TRUE(waitFor([&] { return loads > before; }));
    EXPECT_EQ(view->webView()->url(), QUrl::fromLocalFile(base + "js/blank.html"));
    EXPECT_FALSE(evaluate(view->webView()->page(), "'ticks' in window").toBool());
}

TEST_F(RunViewTest, CountsFramesWithoutTouchingThePageOrItsFile)
{
    const QByteArray html = "<html><body><canvas id=c width=64 height=64></canvas><script>"
                            "window.drawn = 0;"
                            "const draw = () => { window.drawn++; requestAnimationFrame(draw); };"
                            "requestAnimationFrame(draw);</script></body></html>";
    writePage(base + "temp.html", html);
    ASSERT_TRUE(show("temp.html"));

    const QRegularExpression shown("^(\\d+) fps$");
    ASSERT_TRUE(waitFor([&] { return shown.match(view->framesLabel()->text()).hasMatch(); }))
        << view->framesLabel()->text().toStdString();
    EXPECT_GT(shown.match(view->framesLabel()->text()).captured(1).toInt(), 0);
    EXPECT_GT(evaluate(view->webView()->page(), "window.drawn").toInt(), 0);
    // The counter lives in a world of its own: the page has no trace of it.
    EXPECT_EQ(evaluate(view->webView()->page(),
                       "Object.getOwnPropertyNames(window).filter(k => /quill/i.test(k)).join()")
                  .toString(),
              "");
    EXPECT_EQ(readBytes(base + "temp.html"), html);
    EXPECT_TRUE(errors.empty());
}

// The blank page runs no frame loop of the view's own (it would keep the view
// animating and hold up the next page's first frame); the next Run counts again.
TEST_F(RunViewTest, TheBlankPageIsNotCountedAndTheNextPageIs)
{
    writePage(base + "temp.html", "<html><body>page</body></html>");
    const QRegularExpression shown("^(\\d+) fps$");
    const auto counted = [&] { return shown.match(view->framesLabel()->text()).hasMatch(); };
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor(counted)) << view->framesLabel()->text().toStdString();

    const int before = loads;
    view->loadBlank(QUrl::fromLocalFile(base + "js/blank.html"));
    ASSERT_TRUE(waitFor([&] { return loads > before; }));
    EXPECT_EQ(view->framesLabel()->text(), "");
    const int reports = frameReports;
    EXPECT_FALSE(waitFor(counted, 2500)) << view->framesLabel()->text().toStdString();
    EXPECT_EQ(frameReports, reports) << "a counter ran on the blank page";

    ASSERT_TRUE(show("temp.html"));
    EXPECT_TRUE(waitFor(counted)) << view->framesLabel()->text().toStdString();
    EXPECT_TRUE(errors.empty());
}

// The counter starts a while after each load, so that it never holds up a
// page's first frames: a page that navigates on by itself is counted on its
// new document, and a blank page that comes before the start is never counted.
TEST_F(RunViewTest, EachLoadGetsItsOwnCounterAndABlankPageThatCameFirstGetsNone)
{
    writePage(base + "temp.html",
              "<html><body><script>"
              "if (!location.search)"
              "  addEventListener('load', () => setTimeout(() => { location.search = '?again'; }, 100));"
              "</script></body></html>");
    const QRegularExpression shown("^(\\d+) fps$");
    const auto counted = [&] { return shown.match(view->framesLabel()->text()).hasMatch(); };
    const int before = loads;
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] { return loads > before + 1; })) << "the page went on to ?again";
    EXPECT_EQ(view->webView()->url().query(), "again");
    EXPECT_TRUE(waitFor(counted)) << view->framesLabel()->text().toStdString();

    writePage(base + "temp.html", "<html><body>page</body></html>");
    ASSERT_TRUE(show("temp.html"));
    const int beforeBlank = loads;
    view->loadBlank(QUrl::fromLocalFile(base + "js/blank.html"));
    ASSERT_TRUE(waitFor([&] { return loads > beforeBlank; }));
    EXPECT_EQ(view->webView()->url(), QUrl::fromLocalFile(base + "js/blank.html"));
    const int reports = frameReports;
    EXPECT_FALSE(waitFor(counted, 2500)) << view->framesLabel()->text().toStdString();
    EXPECT_EQ(frameReports, reports) << "a counter ran on the blank page";
    EXPECT_TRUE(errors.empty());
}

TEST_F(RunViewTest, PageErrorsArriveWithTheirLineAndNotTheCounter)
{
    writePage(base + "temp.html", "<html><body><script>\n"
                                  "console.log('fine');\n"
                                  "console.error('told');\n"
                                  "nothingHere();\n"
                                  "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] { return errors.size() >= 2; }));
    waitFor([] { return false; }, 1200);  // a frame count report passes meanwhile

    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0].message, "told");
    EXPECT_EQ(errors[0].line, 3);
    EXPECT_TRUE(errors[1].message.contains("nothingHere")) << errors[1].message.toStdString();
    EXPECT_EQ(errors[1].line, 4);
    EXPECT_EQ(errors[1].source, QUrl::fromLocalFile(base + "temp.html").toString());
}

TEST_F(RunViewTest, TheErrorBarSitsUnderTheRunBarAndGoesAtTheNextRun)
{
    writePage(base + "temp.html", "<html><body>page</body></html>");
    ASSERT_TRUE(show("temp.html"));
    view->showError("cat:4: Uncaught ReferenceError: x is not defined");
    EXPECT_TRUE(view->errorBar()->isVisible());
    EXPECT_EQ(view->errorBar()->text(), "cat:4: Uncaught ReferenceError: x is not defined");
    EXPECT_EQ(view->errorBar()->geometry(), QRect(0, RunView::BarHeight, 400, RunView::ErrorBarHeight));
    EXPECT_EQ(view->webView()->geometry().top(), RunView::BarHeight + RunView::ErrorBarHeight);

    ASSERT_TRUE(show("temp.html"));
    EXPECT_FALSE(view->errorBar()->isVisible());
    EXPECT_EQ(view->webView()->geometry().top(), RunView::BarHeight);
}

// The runtime's sound engine plays through Web Audio: the tune decodes, and the
// audio context runs without a tap on the page first.
TEST_F(RunViewTest, SoundPlaysWithoutATapFirst)
{
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILL_SOURCE_DIR "/assets/audio/catbgm.ogg"),
                            base + "audio/catbgm.ogg"));
    writePage(base + "temp.html",
              "<html><body><script>window.outcome = '';"
              "const context = new AudioContext();"
              "const request = new XMLHttpRequest();"
              "request.open('GET', 'audio/catbgm.ogg'); request.responseType = 'arraybuffer';"
              "request.onload = () => context.decodeAudioData(request.response).then(tune => {"
              "  const source = context.createBufferSource(); source.buffer = tune;"
              "  source.connect(context.destination); source.start();"
              "  outcome = context.state + ' ' + Math.round(tune.duration);"
              "}, e => outcome = 'undecodable ' + e);"
              "request.onerror = () => outcome = 'unreadable';"
              "request.send();"
              "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] {
        return !evaluate(view->webView()->page(), "outcome").toString().isEmpty();
    }));
    EXPECT_TRUE(evaluate(view->webView()->page(), "outcome").toString().startsWith("running "))
        << evaluate(view->webView()->page(), "outcome").toString().toStdString();
}

// SoundJS asks for a file that does not exist to learn whether a file page may
// load files, and takes Web Audio only when that request is answered.
TEST_F(RunViewTest, SoundJsFileProbeIsAnsweredSoWebAudioIsChosen)
{
    writePage(base + "temp.html",
              "<html><body><script>"
              "const probe = new XMLHttpRequest(); window.outcome = 'unanswered';"
              "try { probe.open('GET', 'WebAudioPluginTest.fail', false); probe.send();"
              "  outcome = probe.status == 404 || probe.status == 200"
              "    || (probe.status == 0 && probe.response != '') ? 'answered' : 'refused';"
              "} catch (e) { outcome = e.name; }"
              "window.other = 'unanswered';"
              "const missing = new XMLHttpRequest();"
              "try { missing.open('GET', 'img/missing.png', false); missing.send();"
              "  other = String(missing.status); } catch (e) { other = e.name; }"
              "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    EXPECT_EQ(evaluate(view->webView()->page(), "outcome").toString(), "answered");
    // Any other missing file still fails.
    EXPECT_EQ(evaluate(view->webView()->page(), "other").toString(), "NetworkError");
}

TEST_F(RunViewTest, TheViewsProfileKeepsEvenAWebSocketOff)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket *socket = server.nextPendingConnection()) {
            ++connections;
            socket->close();
        }
    });
    const QByteArray remote = "127.0.0.1:" + QByteArray::number(server.serverPort());
    writePage(base + "temp.html",
              "<html><body><img src=\"http://" + remote + "/a.png\"><script>"
              "window.outcome = '';"
              "const socket = new WebSocket('ws://" + remote + "/socket');"
              "socket.onerror = () => outcome = 'failed'; socket.onopen = () => outcome = 'open';"
              "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] {
        return !evaluate(view->webView()->page(), "outcome").toString().isEmpty();
    }));
    waitFor([] { return false; }, 300);
    EXPECT_EQ(evaluate(view->webView()->page(), "outcome").toString(), "failed");
    EXPECT_EQ(connections, 0);
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
