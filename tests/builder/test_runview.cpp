// The run overlay with a real web engine (under Xvfb): made at the first
// Run, its settings, the page probe (the frame counter, console lines and
// errors with their stacks), the error bar and the console strip, the blank
// page, and the guards against the network.
#include "builder/runview.h"

#include "builder/runconsolestrip.h"
#include "builder/runerrorbar.h"
#include "builder/runlog.h"
#include "builder/runpage.h"
#include "builder/runpolicy.h"
#include "tests/builder/childprocesses.h"
#include "tests/builder/qtprint.h"
#include "tests/support/eventwait.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUdpSocket>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
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

// A JavaScript string literal holding text (no quotes of its own inside).
QByteArray scriptString(const QByteArray &text)
{
    return "'" + QByteArray(text).replace('\\', "\\\\").replace('\'', "\\'") + "'";
}
QByteArray scriptString(const QString &text)
{
    return scriptString(text.toUtf8());
}

// A page with a frame loop of its own: the counter counts only such pages.
const QByteArray FrameLoop = "<script>const loop = () => requestAnimationFrame(loop); loop();</script>";

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
        QObject::connect(view, &RunView::pageMessage,
                         [this](const PageMessage &message) { messages.push_back(message); });
    }

    bool show(const QString &file, bool threeD = false)
    {
        const int before = loads;
        const bool first = view->webView() == nullptr;
        view->showPage(QUrl::fromLocalFile(base + file), base, threeD);
        if (first)
            QObject::connect(qobject_cast<RunPage *>(view->webView()->page()), &RunPage::consoleMessage,
                             [this](auto, const QString &message, int, const QString &) {
                                 frameReports += message.contains("\"frames\"");
                             });
        return waitFor([&] { return loads > before; });
    }

    bool framesShown() const
    {
        return QRegularExpression("^(\\d+) fps$").match(view->framesLabel()->text()).hasMatch();
    }
    std::vector<PageMessage> errors() const
    {
        std::vector<PageMessage> found;
        for (const PageMessage &message : messages)
            if (message.level == PageMessage::Level::Error)
                found.push_back(message);
        return found;
    }
    QString pageUrl() const { return QUrl::fromLocalFile(base + "temp.html").toString(); }

    QTemporaryDir dir;
    QString base;
    QWidget window;
    RunView *view = nullptr;
    int loads = 0;
    // The probe's frame reports, shown in the bar or not.
    int frameReports = 0;
    std::vector<PageMessage> messages;
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
    view->closePage(QUrl::fromLocalFile(base + "js/blank.html"));
    ASSERT_TRUE(waitFor([&] { return loads > before; }));
    EXPECT_EQ(view->webView()->url(), QUrl::fromLocalFile(base + "js/blank.html"));
    EXPECT_FALSE(evaluate(view->webView()->page(), "'ticks' in window").toBool());
}

TEST_F(RunViewTest, CountsTheFramesOfThePagesLoopWithoutTouchingThePageOrItsFile)
{
    const QByteArray html = "<html><body><canvas id=c width=64 height=64></canvas><script>"
                            "window.drawn = 0;"
                            "const draw = () => { window.drawn++; requestAnimationFrame(draw); };"
                            "requestAnimationFrame(draw);</script></body></html>";
    writePage(base + "temp.html", html);
    ASSERT_TRUE(show("temp.html"));

    const QRegularExpression shown("^(\\d+) fps$");
    ASSERT_TRUE(waitFor([&] { return framesShown(); })) << view->framesLabel()->text().toStdString();
    EXPECT_GT(shown.match(view->framesLabel()->text()).captured(1).toInt(), 0);
    // A screen reader reads the count, and what it counts.
    EXPECT_EQ(view->framesLabel()->accessibleName(), view->framesLabel()->text());
    EXPECT_EQ(view->framesLabel()->accessibleDescription(), "Frames per second");
    EXPECT_GT(evaluate(view->webView()->page(), "window.drawn").toInt(), 0);
    // The probe declares nothing in the page.
    EXPECT_EQ(evaluate(view->webView()->page(),
                       "Object.getOwnPropertyNames(window).filter(k => /quill/i.test(k)).join()")
                  .toString(),
              "");
    EXPECT_EQ(readBytes(base + "temp.html"), html);
    EXPECT_TRUE(messages.empty());
}

// A program that failed while starting draws nothing worth counting, even
// when a frame loop had begun: the counter shows nothing rather than the
// display's rate. An error the page handled itself is no such failure.
TEST_F(RunViewTest, APageWithoutAFrameLoopOrThatFailedToStartShowsNoCount)
{
    struct Case {
        const char *name;
        QByteArray html;
        bool counted;
    };
    const QByteArray loop = "requestAnimationFrame(function loop() { requestAnimationFrame(loop); });\n";
    const QByteArray handled =
        "<script>addEventListener('error', e => e.preventDefault());</script>";
    const std::vector<Case> cases = {
        {"no loop at all", "<html><body>page</body></html>", false},
        {"failed before its loop", "<html><body><script>notDefined();\n" + loop + "</script></body></html>",
         false},
        {"failed after starting its loop",
         "<html><body><script>" + loop + "notDefined();</script></body></html>", false},
        {"an error the page handled",
         "<html><body>" + handled + "<script>" + loop + "notDefined();</script></body></html>", true},
    };
    for (const Case &c : cases) {
        writePage(base + "temp.html", c.html);
        frameReports = 0;
        ASSERT_TRUE(show("temp.html")) << c.name;
        EXPECT_EQ(waitFor([&] { return framesShown(); }, 2500), c.counted)
            << c.name << ": " << view->framesLabel()->text().toStdString();
        EXPECT_EQ(frameReports > 0, c.counted) << c.name;
    }
}

// The blank page runs no frame loop (one would keep the view animating and
// hold up the next page's first frame); the next Run counts again.
TEST_F(RunViewTest, TheBlankPageIsNotCountedAndTheNextPageIs)
{
    writePage(base + "temp.html", "<html><body>page" + FrameLoop + "</body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] { return framesShown(); })) << view->framesLabel()->text().toStdString();

    const int before = loads;
    view->closePage(QUrl::fromLocalFile(base + "js/blank.html"));
    ASSERT_TRUE(waitFor([&] { return loads > before; }));
    EXPECT_EQ(view->framesLabel()->text(), "");
    const int reports = frameReports;
    EXPECT_FALSE(waitFor([&] { return framesShown(); }, 2500)) << view->framesLabel()->text().toStdString();
    EXPECT_EQ(frameReports, reports) << "a counter ran on the blank page";

    ASSERT_TRUE(show("temp.html"));
    EXPECT_TRUE(waitFor([&] { return framesShown(); })) << view->framesLabel()->text().toStdString();
    EXPECT_TRUE(messages.empty());
}

// A page that navigates on by itself is counted on its new document.
TEST_F(RunViewTest, EachDocumentGetsItsOwnProbe)
{
    writePage(base + "temp.html",
              "<html><body>" + FrameLoop + "<script>"
              "if (!location.search)"
              "  addEventListener('load', () => setTimeout(() => { location.search = '?again'; }, 100));"
              "else console.log('again');"
              "</script></body></html>");
    const int before = loads;
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] { return loads > before + 1; })) << "the page went on to ?again";
    EXPECT_EQ(view->webView()->url().query(), "again");
    EXPECT_TRUE(waitFor([&] { return framesShown(); })) << view->framesLabel()->text().toStdString();
    ASSERT_TRUE(waitFor([&] { return !messages.empty(); }));
    EXPECT_EQ(messages.front().text, "again");
}

TEST_F(RunViewTest, ConsoleLinesAndErrorsArriveWithTheirStacksAndNotTheCounter)
{
    writePage(base + "js/engine.js", "function engineWarns(n) { console.error('Texture not found: ' + n); }\n"
                                     "function engineThrows(x) { return x.deep; }\n"
                                     "function engineChatters() { console.log('Loading'); console.info('more'); }\n");
    writePage(base + "temp.html", "<html><body><script src=\"js/engine.js\"></script><script>\n"
                                  "engineChatters(); console.log('x =', 3, [1, 2], {a: 1});\n"
                                  "console.warn('%d%% done', 50.5);\n"
                                  "function sett() { engineWarns('chr50'); }\n"
                                  "sett();\n"
                                  "setTimeout(() => engineThrows(undefined), 50);\n"
                                  "nothingHere();\n"
                                  "</script>" + FrameLoop + "</body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] { return errors().size() >= 3; }));
    waitFor([] { return false; }, 1200);  // a frame count report passes meanwhile

    ASSERT_GE(messages.size(), 4u);
    // An engine's own log lines never leave the page.
    EXPECT_EQ(messages[0].text, "x = 3 [1,2] {\"a\":1}");
    EXPECT_EQ(messages[0].level, PageMessage::Level::Log);
    EXPECT_EQ(stackFrames(messages[0].stack).front(), (StackFrame{pageUrl(), 2}));
    EXPECT_EQ(messages[1].text, "50% done");
    EXPECT_EQ(messages[1].level, PageMessage::Level::Warning);

    // Raised inside a script the page loads: the stack leads to the page's line.
    const std::vector<PageMessage> found = errors();
    ASSERT_EQ(found.size(), 5u) << "the browser's own report of each uncaught error follows";
    EXPECT_EQ(found[0].text, "Texture not found: chr50");
    const std::vector<StackFrame> warned = stackFrames(found[0].stack);
    ASSERT_EQ(warned.size(), 3u);
    EXPECT_EQ(QUrl(warned[0].source).fileName(), "engine.js");
    EXPECT_EQ(warned[1], (StackFrame{pageUrl(), 4}));
    EXPECT_EQ(warned[2], (StackFrame{pageUrl(), 5}));

    EXPECT_TRUE(found[1].uncaught);
    EXPECT_EQ(found[1].text, "Uncaught ReferenceError: nothingHere is not defined");
    EXPECT_EQ(found[1].line, 7);
    EXPECT_EQ(found[1].source, pageUrl());
    EXPECT_FALSE(found[2].uncaught);
    EXPECT_EQ(found[2].text, found[1].text);
    EXPECT_EQ(found[2].line, 7);

    EXPECT_TRUE(found[3].uncaught) << found[3].text.toStdString();
    EXPECT_TRUE(found[3].text.contains("deep")) << found[3].text.toStdString();
    const std::vector<StackFrame> thrown = stackFrames(found[3].stack);
    ASSERT_EQ(thrown.size(), 2u) << found[3].stack.toStdString();
    EXPECT_EQ(thrown[1], (StackFrame{pageUrl(), 6}));
    EXPECT_FALSE(found[4].uncaught);
    EXPECT_EQ(found[4].text, found[3].text);
}

// The 3D page keeps the browser from reporting a top-level error (it shows
// its own alert instead); the probe still reports it.
TEST_F(RunViewTest, AnErrorThePageHandlesItselfIsStillReported)
{
    writePage(base + "temp.html", "<html><body><script>\n"
                                  "window.addEventListener('error', e => { e.preventDefault(); window.seen = e.message; });\n"
                                  "</script><script>\n"
                                  "undefinedCall();\n"
                                  "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] { return !errors().empty(); }));
    waitFor([] { return false; }, 300);
    ASSERT_EQ(errors().size(), 1u);
    EXPECT_TRUE(errors()[0].uncaught);
    EXPECT_EQ(errors()[0].line, 4);
    EXPECT_EQ(evaluate(view->webView()->page(), "window.seen").toString(),
              "Uncaught ReferenceError: undefinedCall is not defined");
}

// A page that writes without end is held to a rate, and told how much it lost.
TEST_F(RunViewTest, AFloodOfLinesIsCutAndCounted)
{
    writePage(base + "temp.html", "<html><body><script>\n"
                                  "for (let k = 0; k < 5000; k++) console.log(k);\n"
                                  "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] {
        return !messages.empty() && messages.back().level == PageMessage::Level::Warning;
    }, 5000));
    EXPECT_EQ(messages.size(), 301u);
    EXPECT_EQ(messages.back().text, "4700 more lines were left out.");
}

TEST_F(RunViewTest, TheErrorBarWrapsUnderTheRunBarAndGoesAtTheNextRun)
{
    writePage(base + "temp.html", "<html><body>page</body></html>");
    ASSERT_TRUE(show("temp.html"));
    view->showError("cat:4: Uncaught ReferenceError: x is not defined");
    RunErrorBar *bar = view->errorBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->text(), "cat:4: Uncaught ReferenceError: x is not defined");
    // A screen reader reads the error, and what the bar is.
    EXPECT_EQ(bar->accessibleName(), bar->text());
    EXPECT_EQ(bar->accessibleDescription(), "Run error");
    EXPECT_EQ(bar->geometry(), QRect(0, RunView::BarHeight, 400, RunView::ErrorBarHeight));
    EXPECT_EQ(bar->shownLines(), QStringList({"cat:4: Uncaught ReferenceError: x is not defined"}));
    EXPECT_EQ(view->webView()->geometry().top(), RunView::BarHeight + RunView::ErrorBarHeight);

    // A longer error takes the lines it needs, with the count under it.
    const QString longer = "cat:9: Uncaught TypeError: Cannot read properties of undefined (reading "
                           "'position') at the third object of the scene";
    view->showError(longer, 3);
    QStringList lines = bar->shownLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(0, lines.size() - 1).join(' '), longer);
    EXPECT_EQ(lines.last(), "and 3 more");
    EXPECT_EQ(bar->accessibleName(), longer);
    EXPECT_EQ(bar->accessibleDescription(), "Run error and 3 more");
    EXPECT_GT(bar->height(), RunView::ErrorBarHeight);
    EXPECT_EQ(view->webView()->geometry().top(), bar->geometry().bottom() + 1);

    // One too long for a third of the view ends in an ellipsis and a hint.
    QString endless;
    for (int k = 0; k < 200; ++k)
        endless += QStringLiteral("word%1 ").arg(k);
    view->showError(endless.trimmed(), 0);
    EXPECT_EQ(bar->height(), 600 / 3);
    lines = bar->shownLines();
    EXPECT_EQ(lines.last(), "Hold to read all.");
    EXPECT_TRUE(lines[lines.size() - 2].endsWith(QChar(0x2026))) << lines.join('|').toStdString();
    view->showError(endless.trimmed(), 2);
    EXPECT_EQ(bar->shownLines().last(), "and 2 more. Hold to read all.");

    ASSERT_TRUE(show("temp.html"));
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(bar->accessibleName(), "Run error");
    EXPECT_EQ(view->framesLabel()->accessibleName(), "Frames per second") << "a new run has counted nothing yet";
    EXPECT_EQ(view->webView()->geometry().top(), RunView::BarHeight);
}

// With a finger: a tap is a click, a hold is not a click but held().
TEST_F(RunViewTest, TheErrorBarTellsATapFromAHold)
{
    writePage(base + "temp.html", "<html><body>page</body></html>");
    ASSERT_TRUE(show("temp.html"));
    view->showError("cat:4: Uncaught ReferenceError: x is not defined");
    RunErrorBar *bar = view->errorBar();
    int clicks = 0;
    int holds = 0;
    QObject::connect(bar, &QPushButton::clicked, [&] { ++clicks; });
    QObject::connect(bar, &RunErrorBar::held, [&] { ++holds; });
    QPointingDevice *finger = QTest::createTouchDevice();
    const QPoint middle = bar->rect().center();

    QTest::touchEvent(bar, finger).press(0, middle, bar);
    QTest::touchEvent(bar, finger).release(0, middle, bar);
    waitFor([&] { return clicks > 0; }, 1000);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(holds, 0);

    QTest::touchEvent(bar, finger).press(0, middle, bar);
    EXPECT_TRUE(waitFor([&] { return holds > 0; }, 3 * RunErrorBar::HoldMilliseconds));
    QTest::touchEvent(bar, finger).release(0, middle, bar);
    waitFor([] { return false; }, 100);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(holds, 1);
}

TEST_F(RunViewTest, TheConsoleStripOpensAndClosesWithOneTapAndFollowsTheLog)
{
    writePage(base + "temp.html", "<html><body>page</body></html>");
    ASSERT_TRUE(show("temp.html"));
    RunConsoleStrip *strip = view->consoleStrip();
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(view->consoleButton()->geometry(),
              QRect(400 - 2 * RunView::ButtonWidth, 0, RunView::ButtonWidth, RunView::BarHeight));

    RunLog log;
    log.start(RunPlaces());
    strip->setLog(&log);
    for (int k = 0; k < 3; ++k)
        log.add({PageMessage::Level::Warning, QStringLiteral("line %1").arg(k)});

    view->consoleButton()->click();
    EXPECT_TRUE(view->consoleOpen());
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(strip->geometry(), QRect(0, 600 - 600 / 3, 400, 600 / 3));
    EXPECT_EQ(view->webView()->geometry(), QRect(0, RunView::BarHeight, 400, 600 - 600 / 3 - RunView::BarHeight));
    ASSERT_EQ(strip->count(), 3);
    EXPECT_EQ(strip->item(2)->text(), "line 2");

    // New lines come within a refresh; the oldest go with the log's.
    for (int k = 3; k < RunLog::Capacity + 10; ++k)
        log.add({PageMessage::Level::Warning, QStringLiteral("line %1").arg(k)});
    strip->logChanged();
    EXPECT_TRUE(waitFor([&] { return strip->count() == RunLog::Capacity; }));
    EXPECT_EQ(strip->item(0)->text(), "line 10");
    EXPECT_EQ(strip->item(RunLog::Capacity - 1)->text(), QStringLiteral("line %1").arg(RunLog::Capacity + 9));

    view->consoleButton()->click();
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(view->webView()->geometry().bottom(), 599);

    // A new run starts the strip empty.
    log.start(RunPlaces());
    strip->logChanged();
    view->consoleButton()->click();
    EXPECT_EQ(strip->count(), 0);
}

TEST_F(RunViewTest, ATapOnAConsoleLineOfTheProgramNamesItsLine)
{
    writePage(base + "temp.html", "<html><body>page</body></html>");
    ASSERT_TRUE(show("temp.html"));
    GeneratedPage page;
    page.origins = {{-1, -1}, {0, 0}, {0, 1}};
    page.sources = {QString()};
    RunLog log;
    log.start(RunPlaces(page, QUrl(pageUrl()), "cat"));
    view->consoleStrip()->setLog(&log);
    log.add({PageMessage::Level::Error, "not the program's", "file:///w/js/engine.js", 3});
    log.add({PageMessage::Level::Error, "the program's", pageUrl(), 3});
    view->setConsoleOpen(true);
    RunConsoleStrip *strip = view->consoleStrip();
    ASSERT_EQ(strip->count(), 2);
    EXPECT_EQ(strip->item(1)->text(), "cat:2: the program's");

    std::vector<int> tapped;
    QObject::connect(strip, &RunConsoleStrip::programLineTapped, [&](int line) { tapped.push_back(line); });
    QPointingDevice *finger = QTest::createTouchDevice();
    for (int row : {0, 1}) {
        const QPoint at = strip->visualItemRect(strip->item(row)).center();
        QTest::touchEvent(strip->viewport(), finger).press(0, at, strip->viewport());
        QTest::touchEvent(strip->viewport(), finger).release(0, at, strip->viewport());
        waitFor([] { return false; }, 400);
    }
    EXPECT_EQ(tapped, std::vector<int>({1}));
}

// What the page writes and throws reaches the console strip and the error
// bar at the program's lines inside the view; a tap on the bar asks for the
// run to close at the error's line, holding it for the whole error.
TEST_F(RunViewTest, ThePagesLinesAndErrorsReachTheConsoleAndTheBarAtTheProgramsLines)
{
    writePage(base + "temp.html", "<html><body><script>\n"
                                  "console.log('hello');\n"
                                  "nothingHere();\n"
                                  "</script></body></html>");
    GeneratedPage page;
    page.origins = {{-1, -1}, {0, 0}, {0, 1}, {-1, -1}};
    page.sources = {QString()};
    std::vector<int> chosen;
    QStringList whole;
    QObject::connect(view, &RunView::lineChosen, [&](int line) { chosen.push_back(line); });
    QObject::connect(view, &RunView::wholeErrorAsked, [&](const QString &text) { whole << text; });
    const int before = loads;
    view->showPage(QUrl(pageUrl()), base, false, RunPlaces(page, QUrl(pageUrl()), "cat"));
    ASSERT_TRUE(waitFor([&] { return loads > before && view->errorBar()->isVisible(); }));

    EXPECT_EQ(view->errorBar()->text(), "cat:2: Uncaught ReferenceError: nothingHere is not defined");
    ASSERT_FALSE(view->log().lines().empty());
    EXPECT_EQ(view->log().lines().front().text, "cat:1: hello");
    view->setConsoleOpen(true);
    ASSERT_TRUE(waitFor([&] { return view->consoleStrip()->count() >= 2; }));
    EXPECT_EQ(view->consoleStrip()->item(0)->text(), "cat:1: hello");

    view->errorBar()->click();
    EXPECT_EQ(chosen, std::vector<int>({1}));
    emit view->errorBar()->held();
    EXPECT_EQ(whole, QStringList({"cat:2: Uncaught ReferenceError: nothingHere is not defined"}));

    // A new run starts its log over.
    writePage(base + "other.html", "<html><body>quiet</body></html>");
    ASSERT_TRUE(show("other.html"));
    EXPECT_TRUE(view->log().lines().empty());
    EXPECT_FALSE(view->log().firstError().has_value());
    EXPECT_FALSE(view->errorBar()->isVisible());
}

// The runtime's sound engine plays through Web Audio: the tune decodes, and the
// audio context runs without a tap on the page first.
TEST(RunViewPageArea, A3DPageGetsTheWidest4To3AreaAtTheLeft)
{
    struct Case {
        const char *name;
        QRect space;
        bool threeD;
        QRect area;
    };
    const std::vector<Case> cases = {
        {"a 2D page takes all of it", {0, 45, 1280, 755}, false, {0, 45, 1280, 755}},
        {"a 3D page in a wide view", {0, 45, 1280, 755}, true, {0, 45, 1006, 755}},
        {"a 3D page in a tall view takes all of it", {0, 45, 384, 522}, true, {0, 45, 384, 522}},
        {"exactly 4:3", {0, 75, 800, 600}, true, {0, 75, 800, 600}},
        {"below an error bar", {0, 75, 1000, 300}, true, {0, 75, 400, 300}},
        {"no room", {0, 45, 500, 0}, true, {0, 45, 0, 0}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RunView::pageArea(c.space, c.threeD), c.area) << c.name;
}

TEST_F(RunViewTest, A3DPageInAWideViewIsNeverCutOffAndShowsNoScrollBar)
{
    // What the 3D page does: a canvas as wide as the view and three quarters
    // of that high, in a page without a document type.
    writePage(base + "temp.html",
              "<html><head><style>body {background:#000088; margin: 0;}</style></head><body><script>\n"
              "const w = window.innerWidth, h = w * 3 / 4, c = document.createElement('canvas');\n"
              "c.width = w; c.height = h; c.style.width = w + 'px'; c.style.height = h + 'px';\n"
              "document.body.appendChild(c);\n"
              "</script></body></html>");
    const auto overflows = [&] {
        return evaluate(view->webView()->page(),
                        "document.documentElement.scrollHeight > window.innerHeight"
                        " || document.documentElement.scrollWidth > window.innerWidth")
            .toBool();
    };
    window.resize(1000, 600);
    view->layoutView(window.rect());

    // Shown as a 2D page would be, the view's full width: its foot is cut off.
    ASSERT_TRUE(show("temp.html", false));
    EXPECT_EQ(view->webView()->geometry(), QRect(0, RunView::BarHeight, 1000, 600 - RunView::BarHeight));
    EXPECT_TRUE(overflows());

    ASSERT_TRUE(show("temp.html", true));
    EXPECT_EQ(view->webView()->geometry(), QRect(0, RunView::BarHeight, 740, 555));
    EXPECT_FALSE(overflows());
    EXPECT_LE(evaluate(view->webView()->page(), "document.querySelector('canvas').getBoundingClientRect().bottom")
                  .toDouble(),
              555);

    // Upright, the page has the whole view as designed.
    window.resize(400, 600);
    view->layoutView(window.rect());
    ASSERT_TRUE(show("temp.html", true));
    EXPECT_EQ(view->webView()->geometry(), QRect(0, RunView::BarHeight, 400, 555));
    EXPECT_FALSE(overflows());
}

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

// A TURN and STUN server on loopback that must hear nothing: UDP datagrams
// and TCP connections on one port.
class IceListener {
public:
    IceListener()
    {
        udp.bind(QHostAddress::LocalHost, 0);
        tcp.listen(QHostAddress::LocalHost, udp.localPort());
        QObject::connect(&udp, &QUdpSocket::readyRead, [this] {
            while (udp.hasPendingDatagrams()) {
                QByteArray datagram(qsizetype(udp.pendingDatagramSize()), Qt::Uninitialized);
                udp.readDatagram(datagram.data(), datagram.size());
                heard += datagram;
            }
        });
        QObject::connect(&tcp, &QTcpServer::newConnection, [this] {
            while (QTcpSocket *socket = tcp.nextPendingConnection()) {
                ++connections;
                QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { heard += socket->readAll(); });
            }
        });
    }
    bool ready() const { return udp.state() == QAbstractSocket::BoundState && tcp.isListening(); }
    QString port() const { return QString::number(udp.localPort()); }

    QUdpSocket udp;
    QTcpServer tcp;
    QByteArray heard;
    int connections = 0;
};

// A page tries every way to a peer connection that sends what it read as a
// TURN user name: in its own frame and in frames of every kind, among them
// empty frames used at once, before any script of the view runs in them
// (made by the DOM, by the parser, by document.write, reached by index, by
// name and through contentWindow), and in a popup.
TEST_F(RunViewTest, NoWebRtcTrafficLeavesAnyFrame)
{
    IceListener listener;
    ASSERT_TRUE(listener.ready());
    const QByteArray attempt =
        "function attempt(win, tag) {"
        "  const PC = win.RTCPeerConnection || win.webkitRTCPeerConnection;"
        "  try { (window.top.kinds = window.top.kinds || {})[tag] = typeof PC; }"
        "  catch (e) { window.top.postMessage([tag, typeof PC], '*'); }"
        "  if (!PC) return;"
        "  const pc = new PC({iceServers: [{urls: ['turn:127.0.0.1:" + listener.port().toUtf8() + "?transport=udp',"
        "    'turn:127.0.0.1:" + listener.port().toUtf8() + "?transport=tcp', 'stun:127.0.0.1:" + listener.port().toUtf8() + "'],"
        "    username: 'secret-user-name', credential: 'x'}]});"
        "  pc.createDataChannel('out');"
        "  pc.createOffer().then(offer => pc.setLocalDescription(offer));"
        "}";
    writePage(base + "temp.html",
              "<html><body><iframe name=parsed></iframe><script>" + attempt +
              "addEventListener('message', e => kinds[e.data[0]] = e.data[1]);"
              "attempt(window, 'main');"
              "attempt(parsed, 'frame made by the parser');"
              "const empty = document.createElement('iframe'); document.body.appendChild(empty);"
              "attempt(empty.contentWindow, 'empty frame');"
              "const more = document.createElement('div'); more.innerHTML = '<iframe name=later></iframe>';"
              "document.body.appendChild(more);"
              "attempt(frames[frames.length - 1], 'frame by index');"
              "attempt(later, 'frame by name');"
              "document.write('<iframe></iframe>');"
              "attempt(frames[frames.length - 1], 'frame written');"
              "const inner = empty.contentDocument.createElement('iframe'); empty.contentDocument.body.appendChild(inner);"
              "attempt(empty.contentWindow[0], 'frame in a frame');"
              "const popup = window.open('');"
              "if (popup) attempt(popup, 'popup'); else kinds.popup = 'no popup';"
              "const framed = document.open('', '_blank', '');"
              "if (framed) attempt(framed, 'popup of document.open'); else kinds['popup of document.open'] = 'no popup';"
              "const srcdoc = document.createElement('iframe');"
              "srcdoc.srcdoc = '<script>parent.attempt(window, \"srcdoc\")</scr' + 'ipt>';"
              "document.body.appendChild(srcdoc);"
              "const own = '<script>' + attempt.toString() + 'attempt(window, \"data\")</scr' + 'ipt>';"
              "const data = document.createElement('iframe');"
              "data.src = 'data:text/html,' + encodeURIComponent(own); document.body.appendChild(data);"
              "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    ASSERT_TRUE(waitFor([&] {
        return evaluate(view->webView()->page(), "Object.keys(window.kinds || {}).length").toInt() >= 11;
    })) << evaluate(view->webView()->page(), "JSON.stringify(window.kinds)").toString().toStdString();
    waitFor([] { return false; }, 3000);  // ICE gathering gets its time

    EXPECT_EQ(listener.heard.size(), 0) << listener.heard.toHex().toStdString();
    EXPECT_EQ(listener.connections, 0);
    EXPECT_FALSE(listener.heard.contains("secret-user-name"));
    // The constructor is gone from every window the page reaches, and no popup opens.
    const QVariantMap kinds = evaluate(view->webView()->page(), "kinds").toMap();
    for (auto it = kinds.begin(); it != kinds.end(); ++it)
        EXPECT_EQ(it.value().toString(), it.key().startsWith("popup") ? "no popup" : "undefined")
            << it.key().toStdString();
}

// A script that cannot be loaded, and one whose end tag was hidden so that
// the rest of the page became its text, are errors of the page: the view
// would be blank and silent otherwise.
TEST_F(RunViewTest, AScriptThatFailedToLoadOrNeverEndedIsAnError)
{
    struct Case {
        const char *name;
        QByteArray html;
        QString error;
    };
    const QString hidden =
        "A script of the page did not run as written: \"<!--\" and \"<script\" in its text hid its end tag.";
    const std::vector<Case> cases = {
        {"a missing script", "<html><head><script src=\"js/none.js\"></script></head><body>x</body></html>",
         "Failed to load js/none.js."},
        {"a script outside the workspace", "<html><head><script src=\"file:///etc/hostname\"></script></head></html>",
         "Failed to load file:///etc/hostname."},
        {"an end tag hidden to the end of the page",
         "<html><head><script>var s = \"<!--<script>\";</script></head><body>x</body></html>", hidden},
        {"an end tag hidden until a later one",
         "<html><head><script>var s = \"<!--<script>\";</script><p>x</p><script>var t;</script></head></html>",
         hidden},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writePage(base + "temp.html", c.html);
        messages.clear();
        ASSERT_TRUE(show("temp.html"));
        ASSERT_TRUE(waitFor([&] {
            return std::any_of(messages.begin(), messages.end(),
                               [&](const PageMessage &message) { return message.text == c.error; });
        })) << (messages.empty() ? std::string("nothing") : messages.front().text.toStdString());
    }
    // A page that holds such texts only in its strings' values, made by a
    // script, is no such case.
    writePage(base + "temp.html",
              "<html><body><script>const made = document.createElement('script');"
              "made.text = 'window.told = ' + JSON.stringify('<!-' + '-<scr' + 'ipt></scr' + 'ipt>')"
              "  + ';\\n//# sourceURL=' + location.href;"
              "document.body.appendChild(made);</script></body></html>");
    messages.clear();
    ASSERT_TRUE(show("temp.html"));
    waitFor([] { return false; }, 500);
    EXPECT_EQ(evaluate(view->webView()->page(), "told").toString(), "<!--<script></script>");
    EXPECT_TRUE(errors().empty()) << errors().front().text.toStdString();
}

// Every kind of worker, made every way, in the page and in frames of every
// kind, tries to read a file outside the workspace, one through a link that
// points out of it and folder listings: nothing is read. A kind that cannot
// be held to the workspace (a shared worker, whose requests no request check
// sees) is not there to make; a dedicated worker still reads the workspace.
TEST_F(RunViewTest, NoWorkerReadsOutsideTheWorkspace)
{
    const QString outside = dir.path() + "/../quill-worker-outside-" + QString::number(getpid());
    ASSERT_TRUE(QDir().mkpath(outside));
    const QString secretDir = QDir(outside).canonicalPath();
    writePage(secretDir + "/secret.txt", "SECRET-TEXT");
    writePage(secretDir + "/secret.js", "self.secret = 'SECRET-TEXT';");
    writePage(base + "own.txt", "OWN-TEXT");
    ASSERT_TRUE(QFile::link(secretDir + "/secret.txt", base + "link.txt"));
    ASSERT_TRUE(QFile::link(secretDir + "/secret.js", base + "js/link.js"));
    QDir().mkpath(base + "img");
    const QByteArray reader =
        "function readAll(base, outside) {"
        "  const targets = {outside: 'file://' + outside + '/secret.txt', link: base + 'link.txt',"
        "    'listing of /': 'file:///', 'listing outside': 'file://' + outside + '/',"
        "    'listing of the workspace': base, 'listing of img': base + 'img/', 'folder without slash': base + 'img',"
        "    own: base + 'own.txt'};"
        "  const read = {};"
        "  for (const k in targets) {"
        "    try { const x = new XMLHttpRequest(); x.open('GET', targets[k], false); x.send();"
        "      read[k] = x.responseText || 'empty ' + x.status; } catch (e) { read[k] = 'refused'; }"
        "  }"
        "  for (const [k, url] of [['script outside', 'file://' + outside + '/secret.js'], ['script link', base + 'js/link.js']]) {"
        "    try { importScripts(url); read[k] = self.secret || 'nothing'; } catch (e) { read[k] = 'refused'; }"
        "  }"
        "  return read;"
        "}";
    // The same file as a worker script of the workspace: a dedicated and a shared one.
    const QByteArray call = "readAll('" + QUrl::fromLocalFile(base).toString().toUtf8() + "', '" + secretDir.toUtf8() + "')";
    writePage(base + "js/dedicated.js", reader + "postMessage(" + call + ");");
    writePage(base + "js/shared.js", reader + "onconnect = e => e.ports[0].postMessage(" + call + ");");
    const QByteArray attempt =
        "function attempt(win, where, report) {"
        "  const reader = " + scriptString(reader) + ";"
        "  const call = " + scriptString(call) + ";"
        "  const blob = s => win.URL.createObjectURL(new win.Blob([s], {type: 'text/javascript'}));"
        "  const data = s => 'data:text/javascript,' + encodeURIComponent(s);"
        "  const ways = {"
        "    'dedicated from blob': ['Worker', blob(reader + 'postMessage(' + call + ');')],"
        "    'dedicated from data': ['Worker', data(reader + 'postMessage(' + call + ');')],"
        "    'dedicated from a file': ['Worker', " + scriptString(QUrl::fromLocalFile(base + "js/dedicated.js").toString()) + "],"
        "    'dedicated in a dedicated one': ['Worker', blob('const w = new Worker(' + JSON.stringify(blob(reader + 'postMessage(' + call + ');'))"
        "       + '); w.onmessage = e => postMessage(e.data); w.onerror = () => postMessage(\"failed\");')],"
        "    'shared from blob': ['SharedWorker', blob(reader + 'onconnect = e => e.ports[0].postMessage(' + call + ');')],"
        "    'shared from data': ['SharedWorker', data(reader + 'onconnect = e => e.ports[0].postMessage(' + call + ');')],"
        "    'shared from a file': ['SharedWorker', " + scriptString(QUrl::fromLocalFile(base + "js/shared.js").toString()) + "],"
        "  };"
        "  for (const way in ways) {"
        "    const [kind, url] = ways[way]; const tag = where + ', ' + way;"
        "    if (typeof win[kind] !== 'function') { report(tag, 'unavailable'); continue; }"
        "    try {"
        "      const worker = new win[kind](url);"
        "      const port = kind === 'Worker' ? worker : worker.port;"
        "      port.onmessage = e => report(tag, e.data);"
        "      worker.onerror = () => report(tag, 'failed');"
        "    } catch (e) { report(tag, 'refused ' + e.name); }"
        "  }"
        "  if (!win.navigator.serviceWorker) { report(where + ', service worker', 'unavailable'); return; }"
        "  win.navigator.serviceWorker.register('shared.js').then(() => report(where + ', service worker', 'registered'),"
        "    () => report(where + ', service worker', 'refused'));"
        "}";
    writePage(base + "temp.html",
              "<html><body><script>" + attempt +
              "window.got = {}; const report = (tag, value) => got[tag] = value;"
              "attempt(window, 'page', report);"
              "const empty = document.createElement('iframe'); document.body.appendChild(empty);"
              "attempt(empty.contentWindow, 'empty frame', report);"
              "addEventListener('message', e => report(e.data[0], e.data[1]));"
              "const own = '<script>' + attempt.toString() + 'attempt(window, \"data frame\", (t, v) => parent.postMessage([t, v], \"*\"))</scr' + 'ipt>';"
              "const frame = document.createElement('iframe');"
              "frame.src = 'data:text/html,' + encodeURIComponent(own); document.body.appendChild(frame);"
              "</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    // Seven ways and the service worker, in three places.
    ASSERT_TRUE(waitFor([&] {
        return evaluate(view->webView()->page(), "Object.keys(got).length").toInt() >= 24;
    })) << evaluate(view->webView()->page(), "JSON.stringify(got)").toString().toStdString();
    waitFor([] { return false; }, 300);
    const QVariantMap got = evaluate(view->webView()->page(), "got").toMap();
    const QString everything = evaluate(view->webView()->page(), "JSON.stringify(got)").toString();

    for (auto it = got.begin(); it != got.end(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        const QVariant value = it.value();
        if (value.typeId() == QMetaType::QString) {
            // Not made at all, or made and failed as a whole.
            EXPECT_TRUE(value.toString() == "unavailable" || value.toString() == "failed"
                        || value.toString().startsWith("refused"))
                << value.toString().toStdString();
            continue;
        }
        const QVariantMap read = value.toMap();
        ASSERT_FALSE(read.isEmpty());
        for (const QString &way : {"outside", "link", "listing of /", "listing outside", "listing of the workspace",
                                   "listing of img", "folder without slash", "script outside", "script link"})
            EXPECT_EQ(read.value(way).toString(), "refused") << way.toStdString();
        // A worker whose origin is the workspace reads it; one from data: has
        // an origin of its own, which may read nothing.
        if (!it.key().contains("data"))
            EXPECT_EQ(read.value("own").toString(), "OWN-TEXT");
    }
    EXPECT_FALSE(everything.contains("SECRET-TEXT")) << everything.toStdString();
    EXPECT_FALSE(everything.contains("<html", Qt::CaseInsensitive)) << everything.toStdString();
    // Dedicated workers are checked, not taken away.
    for (const QString &tag : {"page, dedicated from blob", "page, dedicated from a file",
                               "page, dedicated in a dedicated one", "empty frame, dedicated from blob"})
        EXPECT_EQ(got.value(tag).toMap().value("own").toString(), "OWN-TEXT") << tag.toStdString();
    // Shared workers and service workers are not there to make.
    for (const QString &where : {"page", "empty frame", "data frame"}) {
        EXPECT_EQ(got.value(where + ", shared from blob").toString(), "unavailable") << where.toStdString();
        EXPECT_NE(got.value(where + ", service worker").toString(), "registered") << where.toStdString();
    }
    QDir(outside).removeRecursively();
}

// Close returns at once, whatever the page does; a page that does not make
// way for the blank page is replaced with its renderer, and the next page
// runs.
TEST_F(RunViewTest, CloseEndsABusyPageAndTheNextRunWorks)
{
    struct Case {
        const char *name;
        QByteArray html;
        bool loads;  // the page's own load finishes before it turns busy
    };
    const std::vector<Case> cases = {
        {"busy once loaded", "<html><body><script>function init(){ while (true) {} }"
                             "addEventListener('load', () => setTimeout(init, 50));</script></body></html>", true},
        {"busy while loading", "<html><body><script>while (true) {}</script></body></html>", false},
    };
    writePage(base + "next.html", "<html><body><script>window.alive = 42;</script></body></html>");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writePage(base + "temp.html", c.html);
        if (c.loads) {
            ASSERT_TRUE(show("temp.html"));
        } else {
            view->showPage(QUrl::fromLocalFile(base + "temp.html"), base);
            waitFor([] { return false; }, 500);
        }
        waitFor([] { return false; }, 300);
        const qint64 busyRenderer = view->webView()->page()->renderProcessPid();
        ASSERT_GT(busyRenderer, 0);

        QElapsedTimer clock;
        clock.start();
        view->closePage(QUrl::fromLocalFile(base + "js/blank.html"));
        EXPECT_LT(clock.elapsed(), 200);
        // The busy renderer ends once the grace for the blank page is over.
        EXPECT_TRUE(waitFor([&] { return !QFile::exists(QStringLiteral("/proc/%1/stat").arg(busyRenderer))
                                         || QFile(QStringLiteral("/proc/%1/stat").arg(busyRenderer)).open(QIODevice::ReadOnly)
                                                && QFile(QStringLiteral("/proc/%1/stat").arg(busyRenderer)).readAll().contains(") Z "); },
                            RunView::CloseGraceMs + 5000));
        ASSERT_TRUE(show("next.html"));
        EXPECT_EQ(evaluate(view->webView()->page(), "window.alive").toInt(), 42);
        EXPECT_NE(view->webView()->page()->renderProcessPid(), busyRenderer);
    }
}

// The page's dialogs are shown in the view and wait for their answer; the
// view's bar stays usable meanwhile. A dialog waits in an event loop of its
// own, as the user's taps arrive there: the answers are given from events.
TEST_F(RunViewTest, DialogsAreAskedInTheViewAndAnswered)
{
    writePage(base + "temp.html",
              "<html><body><script>window.steps = [];"
              "setTimeout(() => {"
              "  alert('first'); steps.push('alerted');"
              "  steps.push(confirm('sure?'));"
              "  steps.push(confirm('really?'));"
              "  steps.push(prompt('name?', 'cat'));"
              "  steps.push(prompt('again?', 'x'));"
              "}, 100);</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    struct Seen {
        QString text;
        bool cancel, edit, close;
        QString value;
    };
    std::vector<Seen> seen;
    const std::vector<std::function<void()>> answers = {
        [&] { view->dialogOk()->click(); },
        [&] { view->dialogOk()->click(); },
        [&] { view->dialogCancel()->click(); },
        [&] { view->dialogEdit()->setText("tabby"); view->dialogOk()->click(); },
        [&] { view->dialogCancel()->click(); },
    };
    QObject::connect(view->page(), &RunPage::dialogRequested, [&] {
        QTimer::singleShot(10, [&] {
            seen.push_back({view->dialogText()->text(), view->dialogCancel()->isVisible(),
                            view->dialogEdit()->isVisible(), view->closeButton()->isVisible(),
                            view->dialogEdit()->text()});
            if (seen.size() <= answers.size())
                answers[seen.size() - 1]();
        });
    });
    ASSERT_TRUE(waitFor([&] { return seen.size() == 5 && !view->page()->dialogOpen(); }));
    ASSERT_TRUE(waitFor([&] { return evaluate(view->webView()->page(), "steps.length").toInt() == 5; }));
    EXPECT_EQ(evaluate(view->webView()->page(), "JSON.stringify(steps)").toString(),
              "[\"alerted\",true,false,\"tabby\",null]");
    const QStringList texts = {"first", "sure?", "really?", "name?", "again?"};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(texts[int(i)].toStdString());
        EXPECT_EQ(seen[i].text, texts[int(i)]);
        EXPECT_EQ(seen[i].cancel, i > 0) << "alerts have OK alone";
        EXPECT_EQ(seen[i].edit, i >= 3) << "prompts have an answer field";
        EXPECT_TRUE(seen[i].close) << "Close stays at hand";
    }
    EXPECT_EQ(seen[3].value, "cat");
    EXPECT_FALSE(view->dialogPanel()->isVisible());
}

// A chain of alerts: Close, pressed while one is shown, returns at once, the
// page goes, and the next page runs.
TEST_F(RunViewTest, CloseEndsAChainOfAlerts)
{
    writePage(base + "temp.html",
              "<html><body><script>setTimeout(() => { for (;;) alert('again'); }, 50);</script></body></html>");
    writePage(base + "next.html", "<html><body><script>window.alive = 7;</script></body></html>");
    ASSERT_TRUE(show("temp.html"));
    const qint64 alerting = view->webView()->page()->renderProcessPid();
    int asked = 0;
    qint64 closeTook = -1;
    QObject::connect(view->page(), &RunPage::dialogRequested, [&] {
        ++asked;
        QTimer::singleShot(10, [&] {
            if (asked == 1) {
                view->dialogOk()->click();
                return;
            }
            QElapsedTimer clock;
            clock.start();
            view->closePage(QUrl::fromLocalFile(base + "js/blank.html"));
            closeTook = clock.elapsed();
        });
    });
    ASSERT_TRUE(waitFor([&] { return closeTook >= 0; }));
    EXPECT_LT(closeTook, 200);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(view->dialogPanel()->isVisible());
    waitFor([] { return false; }, 500);
    EXPECT_FALSE(view->dialogPanel()->isVisible()) << "the closed page asked again";

    ASSERT_TRUE(show("next.html"));
    EXPECT_EQ(evaluate(view->webView()->page(), "window.alive").toInt(), 7);
    EXPECT_NE(view->webView()->page()->renderProcessPid(), alerting);
    EXPECT_FALSE(view->dialogPanel()->isVisible());
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The switches the program starts its web engine with.
    QList<QByteArray> flags = runViewChromiumSwitches();
    if (geteuid() == 0)
        flags.prepend("--no-sandbox");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags.join(' '));
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
