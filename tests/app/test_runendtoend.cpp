// Run, Close, run errors and Export in the window, with the real web engine
// under Xvfb, on the supplied samples: what a user does with a program.
#include "app/ammain.h"
#include "app/codepage.h"
#include "app/runoverlay.h"

#include "base/textfile.h"
#include "app/processsetup.h"
#include "builder/runerrorbar.h"
#include "builder/runview.h"
#include "editor/codebuffer.h"

#include "tests/app/windowtest.h"
#include "tests/support/eventwait.h"
#include "tests/support/touchscreen.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

class DesktopRecorder : public QObject {
    Q_OBJECT

public:
    DesktopRecorder() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~DesktopRecorder() override { QDesktopServices::unsetUrlHandler("file"); }
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

using quill::testsupport::waitFor;

void pause(int milliseconds)
{
    waitFor([] { return false; }, milliseconds);
}

// Makes a 2D program's locals readable from outside: window.qe(source).
const QString ExposeLocals = "window.qe=function(src){return eval(src);};";

class RunEndToEndTest : public quill::testsupport::WindowTest {
protected:
    RunEndToEndTest()
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->show();
        waitFor([this] { return window->isVisible(); });
    }

    template <typename T = QWidget> T *control(const char *name) const
    {
        return controlNamed<T>(window.get(), name);
    }
    QString codeDir() const { return window->paths().codeDir; }
    QStringList sample(const QString &name) const
    {
        return quill::readTextFile(codeDir() + name).lines;
    }
    void writeProgram(const QString &name, const QStringList &lines) const
    {
        quill::writeTextFile(codeDir() + name, lines);
    }

    // Open through the Code page's chooser, as a user does.
    void openProgram(const QString &name)
    {
        control<QPushButton>("btTextOpen")->click();
        auto *list = control<QListWidget>("lstBasfiles");
        const QList<QListWidgetItem *> found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->setCurrentItem(found.front());
        control<QPushButton>("btTextOk")->click();
        ASSERT_EQ(control<QLineEdit>("edtFile")->text(), name);
    }

    QWebEngineView *web() const { return window->findChild<QWebEngineView *>("webRun"); }

    // Run, until the page has loaded in the run view.
    void run()
    {
        QUrl before = web() ? web()->url() : QUrl();
        bool loaded = false;
        QMetaObject::Connection once;
        if (web())
            once = QObject::connect(web(), &QWebEngineView::loadFinished, [&] { loaded = true; });
        control<QPushButton>("btRun")->click();
        ASSERT_TRUE(web() != nullptr);
        if (!once)
            once = QObject::connect(web(), &QWebEngineView::loadFinished, [&] { loaded = true; });
        ASSERT_TRUE(waitFor([&] { return loaded; })) << "the page did not load";
        QObject::disconnect(once);
        ASSERT_EQ(web()->url(), QUrl::fromLocalFile(window->paths().pagePath));
    }

    QVariant evaluate(const QString &script) const
    {
        QVariant result;
        bool done = false;
        web()->page()->runJavaScript(script, [&](const QVariant &value) {
            result = value;
            done = true;
        });
        waitFor([&] { return done; });
        return result;
    }
    bool pageSays(const QString &condition, int milliseconds = 20000) const
    {
        return waitFor([&] { return evaluate(condition).toBool(); }, milliseconds);
    }

    // Close: the overlay goes at once, and the blank page ends the program.
    void closeRun()
    {
        auto *overlay = control("pnlRun");
        ASSERT_TRUE(overlay->isVisible());
        // Until the blank page has finished loading, so that its load is not
        // taken for the next Run's.
        bool loaded = false;
        const QMetaObject::Connection once =
            QObject::connect(web(), &QWebEngineView::loadFinished, [&] { loaded = true; });
        control<QPushButton>("btnRunClose")->click();
        EXPECT_FALSE(overlay->isVisible()) << "still shown after Close";
        EXPECT_FALSE(window->runOverlay().state().runActive());
        const bool blank = waitFor([&] {
            return loaded && web()->url() == QUrl::fromLocalFile(window->paths().scriptDir + "blank.html");
        });
        QObject::disconnect(once);
        ASSERT_TRUE(blank);
    }

    int framesShown() const
    {
        const QRegularExpressionMatch shown =
            QRegularExpression("^(\\d+) fps$").match(control<QLabel>("lblRunFps")->text());
        return shown.hasMatch() ? shown.captured(1).toInt() : -1;
    }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(RunEndToEndTest, TheCatSampleRunsItsCatsAndBallsThenCloses)
{
    writeProgram("cat_probe", sample("cat_sample") << ExposeLocals);
    openProgram("cat_probe");
    run();
    EXPECT_TRUE(control("pnlRun")->isVisible());
    ASSERT_TRUE(pageSays("typeof window.qe === 'function'"));
    // The sprite table fills with cats (1) and balls (2), and frames advance.
    ASSERT_TRUE(pageSays("qe('t.filter(function(p){return p==1;}).length') > 0"));
    EXPECT_TRUE(evaluate("qe('t.filter(function(p){return p==2;}).length')").toInt() > 0);
    const QString first = evaluate("qe('ti[st1].value()')").toString();
    EXPECT_TRUE(first.startsWith("Cat sample:")) << first.toStdString();
    EXPECT_TRUE(pageSays(QString("qe('ti[st1].value()') !== '%1'").arg(first)));
    EXPECT_TRUE(waitFor([this] { return framesShown() > 0; }));
    // The tune loads and plays without a tap (SoundJS through Web Audio).
    EXPECT_TRUE(pageSays("snd[1] === 1"));
    EXPECT_EQ(evaluate("createjs.Sound.activePlugin instanceof createjs.WebAudioPlugin").toBool(), true)
        << evaluate("String(createjs.Sound.activePlugin) + ' ' + createjs.WebAudioPlugin._isFileXHRSupported() + ' ' + createjs.WebAudioPlugin.isSupported() + ' ' + location.protocol + ' ' + JSON.stringify(snd)").toString().toStdString();
    // The counter lives in the view, never in the page file.
    const QString page = quill::readTextFile(window->paths().pagePath).lines.join('\n');
    EXPECT_FALSE(page.contains("quill-frames"));
    EXPECT_FALSE(control("btnRunError")->isVisible()) << control<QPushButton>("btnRunError")->text().toStdString();

    closeRun();
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

// A program that never lets go (a busy init, a chain of alerts) is closed
// at once, the code page is back, and the next Run works.
TEST_F(RunEndToEndTest, CloseWorksWhateverTheProgramDoes)
{
    struct Case {
        const char *name;
        QStringList code;
    };
    const std::vector<Case> cases = {
        {"busy init", {"function init(){ while(true){} }"}},
        {"a chain of alerts", {"function init(){ setTimeout(function(){ while(true){ alert('again'); } }, 10); }"}},
    };
    writeProgram("fine", {"function init(){ window.fine = 1; }"});
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeProgram("stuck", c.code);
        openProgram("stuck");
        control<QPushButton>("btRun")->click();
        auto *overlay = control("pnlRun");
        ASSERT_TRUE(overlay->isVisible());
        // Close is tapped once the program is busy or asks; a page's question
        // waits in an event loop of its own, which the tap reaches as an event.
        qint64 closeTook = -1;
        QTimer::singleShot(1500, [&] {
            QElapsedTimer clock;
            clock.start();
            control<QPushButton>("btnRunClose")->click();
            closeTook = clock.elapsed();
        });
        ASSERT_TRUE(waitFor([&] { return closeTook >= 0; }));
        EXPECT_LT(closeTook, 500);
        EXPECT_FALSE(overlay->isVisible());
        EXPECT_TRUE(control("pntProg")->isVisible());

        openProgram("fine");
        run();
        ASSERT_TRUE(pageSays("window.fine === 1"));
        closeRun();
    }
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

TEST_F(RunEndToEndTest, TheThreeDSampleFillsItsObjectTableAndMoves)
{
    openProgram("3d_sample");
    run();
    ASSERT_TRUE(pageSays("typeof mm === 'number' && mm > 0 && m.some(function(used){return used;})"));
    // Frames advance: the objects' places change.
    evaluate("window.q_places = JSON.stringify([mx, my, mz, mrx, mry, mrz]); 1");
    EXPECT_TRUE(pageSays("JSON.stringify([mx, my, mz, mrx, mry, mrz]) !== window.q_places"));
    EXPECT_TRUE(waitFor([this] { return framesShown() > 0; }));
    EXPECT_TRUE(evaluate("!!document.querySelector('canvas').getContext('webgl')").toBool());
    closeRun();
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

// The pad sample in the run view, played as a user plays it: keys reach the
// game, and fingers on the touch screen bring up the pad drawn over the game
// and hold its buttons, two at once.
TEST_F(RunEndToEndTest, ThePadSampleHearsKeysAndFingersOnThePadDrawnOverIt)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    writeProgram("pad_probe", sample("pad_sample") << ExposeLocals);
    openProgram("pad_probe");
    run();
    ASSERT_TRUE(pageSays("typeof window.qe === 'function' && qe('tm') > 0"));
    // (On the test's display the window may be no longer active by now.)
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_TRUE(waitFor([&] { return web()->hasFocus(); })) << "the game has the keys";
    QWidget *page = QApplication::focusWidget();

    QTest::keyPress(page, Qt::Key_Right);
    EXPECT_TRUE(pageSays("pad(1) === 1 && key('ArrowRight') === 1"));
    EXPECT_TRUE(pageSays("qe('tx[cat]') > 60")) << "the cat walks right";
    QTest::keyRelease(page, Qt::Key_Right);
    EXPECT_TRUE(pageSays("pad(1) === 0 && key('ArrowRight') === 0"));
    // Letters and shortcuts the game does not keep for itself still never
    // reach the code behind the run view.
    const QStringList code = window->program().lines();
    QTest::keyClick(page, Qt::Key_Z);
    EXPECT_TRUE(pageSays("qe('th[cat]') > 0")) << "Z is A on the pad: the cat jumps";
    QTest::keyClick(page, Qt::Key_Q);
    QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
    pause(300);
    EXPECT_EQ(window->program().lines(), code);
    EXPECT_EQ(evaluate("document.getElementById('quill-pad')").isNull(), true) << "no pad before a touch";

    // The first touch is the game's and brings the pad up.
    quill::testsupport::Fingers fingers(window.get());
    fingers.tap(web(), QPoint(web()->width() / 2, web()->height() / 3));
    ASSERT_TRUE(pageSays("document.getElementById('quill-pad') !== null"));
    // Centres of the d-pad's arms and of A, in the view's pixels.
    const QVariantList at = evaluate(
        "(function(){var d=document.querySelector('#quill-pad [data-pad=dpad]').getBoundingClientRect(),"
        "a=document.querySelector('#quill-pad [data-pad=a]').getBoundingClientRect(),"
        "cx=d.left+d.width/2,cy=d.top+d.height/2,arm=d.width*0.3;"
        "return [cx+arm,cy,cx,cy-arm,a.left+a.width/2,a.top+a.height/2,devicePixelRatio];})()")
                                .toList();
    ASSERT_EQ(at.size(), 7);
    ASSERT_EQ(at[6].toDouble(), 1.0);
    const auto point = [&](int k) { return QPoint(qRound(at[k].toDouble()), qRound(at[k + 1].toDouble())); };
    const QString walked = evaluate("String(qe('tx[cat]'))").toString();

    fingers.press(1, web(), point(0)).press(2, web(), point(4)).send();
    EXPECT_TRUE(pageSays("pad(1) === 1 && pad(4) === 1 && pad(2) === 0"));
    EXPECT_TRUE(pageSays(QString("qe('tx[cat]') > %1").arg(walked))) << "the pad walks the cat";
    EXPECT_TRUE(pageSays("qe('th[cat]') > 0")) << "A makes it jump";
    fingers.move(1, web(), point(2)).send();
    EXPECT_TRUE(pageSays("pad(1) === 0 && pad(2) === 1 && pad(4) === 1")) << "the finger slid to up";
    fingers.release(1, web(), point(2)).release(2, web(), point(4)).send();
    EXPECT_TRUE(pageSays("[0,1,2,3,4,5,6].every(function(n){return pad(n) === 0;})"));
    closeRun();
    EXPECT_TRUE(control("pntProg")->hasFocus()) << "the code has the keys back";
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

TEST_F(RunEndToEndTest, InAWideWindowBothSamplesAreWholeWithoutScrollBars)
{
    window->resize(1100, 620);
    ASSERT_TRUE(waitFor([this] { return window->layout().pageWidth == 1100; }));
    const QString wholeAndNoScrollBars =
        "document.querySelector('canvas') !== null"
        " && document.documentElement.scrollHeight <= window.innerHeight"
        " && document.documentElement.scrollWidth <= window.innerWidth"
        " && Array.from(document.querySelectorAll('canvas')).every(function(c){"
        "  var r = c.getBoundingClientRect(); return r.bottom <= window.innerHeight + 0.5"
        "  && r.right <= window.innerWidth + 0.5; })";
    for (const char *name : {"3d_sample", "cat_sample"}) {
        SCOPED_TRACE(name);
        openProgram(name);
        run();
        EXPECT_TRUE(pageSays(wholeAndNoScrollBars, 5000))
            << evaluate("JSON.stringify([document.documentElement.scrollWidth,"
                        " document.documentElement.scrollHeight, innerWidth, innerHeight])")
                   .toString()
                   .toStdString();
        closeRun();
    }
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

TEST_F(RunEndToEndTest, AnErrorOnAProgramLineLeadsBackToIt)
{
    writeProgram("broken", {"function init(){", "  var a = 1;", "  notDefined(a);", "}"});
    openProgram("broken");
    run();
    auto *bar = control<QPushButton>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible(); }));
    EXPECT_EQ(bar->text(), "broken:3: Uncaught ReferenceError: notDefined is not defined");

    control<QTabWidget>("TabControl1")->setCurrentIndex(3);  // the user was elsewhere before
    bar->click();
    EXPECT_FALSE(window->runOverlay().state().runActive());
    ASSERT_TRUE(waitFor([this] { return !control("pnlRun")->isVisible(); }));
    EXPECT_EQ(control<QTabWidget>("TabControl1")->currentIndex(), 0);
    EXPECT_EQ(window->program().cursorLine(), 2);
    EXPECT_EQ(window->program().cursorColumn(), 0);
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();

    // The next Run starts with no error shown.
    writeProgram("fixed", {"function init(){}"});
    openProgram("fixed");
    run();
    pause(500);
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(RunEndToEndTest, AnErrorInAnIncludedFileNamesThatFileAndOnlyCloses)
{
    writeProgram("helper", {"var ok = 1;", "missingHelper();"});
    writeProgram("main", {"// uses the helper", "include helper", "function init(){}"});
    openProgram("main");
    window->codePage().RunKeyCommand("vv");
    window->codePage().RunKeyCommand("vv");  // the cursor stands on line 3
    const int cursor = window->program().cursorLine();
    run();
    auto *bar = control<QPushButton>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible(); }));
    EXPECT_EQ(bar->text(), "helper:2: Uncaught ReferenceError: missingHelper is not defined");
    control<QTabWidget>("TabControl1")->setCurrentIndex(2);
    bar->click();
    ASSERT_TRUE(waitFor([this] { return !control("pnlRun")->isVisible(); }));
    EXPECT_EQ(control<QTabWidget>("TabControl1")->currentIndex(), 2);
    EXPECT_EQ(window->program().cursorLine(), cursor);
}

// Stage.js reports a texture it does not know from deep inside itself; the
// bar names the user's line that asked for it, and a tap lands there.
TEST_F(RunEndToEndTest, AMissingImageIsReportedAtTheUsersLine)
{
    writeProgram("noimage", {"function init(){", "  var a = 1;", "  sett(100,100,5,1);", "}"});
    openProgram("noimage");
    run();
    auto *bar = control<QPushButton>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible(); }));
    EXPECT_EQ(bar->text(), "noimage:3: Texture not found: chr50");
    bar->click();
    ASSERT_TRUE(waitFor([this] { return !control("pnlRun")->isVisible(); }));
    EXPECT_EQ(control<QTabWidget>("TabControl1")->currentIndex(), 0);
    EXPECT_EQ(window->program().cursorLine(), 2);
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

TEST_F(RunEndToEndTest, TheConsoleShowsWhatUpdateLogsAtItsLine)
{
    writeProgram("tracer", {"var x = 0;", "function update(){", "  x++;", "  if (x <= 3) console.log(x);",
                            "}"});
    openProgram("tracer");
    run();
    auto *console = control<QListWidget>("lstRunConsole");
    EXPECT_FALSE(console->isVisible());
    control<QPushButton>("btnRunConsole")->click();
    EXPECT_TRUE(console->isVisible());
    ASSERT_TRUE(waitFor([&] { return console->count() >= 3; }));
    waitFor([] { return false; }, 300);
    QStringList lines;
    for (int row = 0; row < console->count(); ++row)
        lines << console->item(row)->text();
    EXPECT_EQ(lines, QStringList({"tracer:4: 1", "tracer:4: 2", "tracer:4: 3"}))
        << "the engine's own chatter stays out";
    EXPECT_FALSE(control("btnRunError")->isVisible());
    EXPECT_TRUE(framesShown() != 0);

    // A tap on a line of the program closes the run there.
    console->setCurrentRow(-1);
    emit console->itemClicked(console->item(1));
    ASSERT_TRUE(waitFor([this] { return !control("pnlRun")->isVisible(); }));
    EXPECT_EQ(window->program().cursorLine(), 3);
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

// The 3D page shows a top-level error in its own alert box and keeps the
// browser from reporting it; the bar shows it all the same.
TEST_F(RunEndToEndTest, AThreeDProgramsTopLevelErrorShowsTheBarAndItsAlert)
{
    writeProgram("cube", {"setcam(0,0,5,0,0,0);", "var a = missing + 1;", "function init(){}"});
    openProgram("cube");
    // The page's alert is shown in the run view itself, and answered there.
    QStringList alerts;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (control("pnlRunDialog")->isVisible()) {
            alerts << control<QLabel>("lblRunDialog")->text();
            control<QPushButton>("btnRunDialogOk")->click();
        }
    });
    closer.start(50);
    run();
    auto *bar = control<QPushButton>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible() && !alerts.isEmpty(); }));
    EXPECT_EQ(bar->text(), "cube:2: Uncaught ReferenceError: missing is not defined");
    EXPECT_TRUE(alerts.front().contains("missing is not defined")) << alerts.join('|').toStdString();
    // init() still ran, and so does the frame loop.
    EXPECT_TRUE(waitFor([this] { return framesShown() > 0; }));
    closer.stop();
}

TEST_F(RunEndToEndTest, HoldingTheBarShowsTheWholeErrorAndTheCount)
{
    writeProgram("often", {"function init(){", "  setInterval(function(){ missingEveryTime(); }, 30);", "}"});
    openProgram("often");
    run();
    auto *bar = control<quill::RunErrorBar>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible() && bar->furtherErrors() >= 2; }));
    EXPECT_EQ(bar->text(), "often:2: Uncaught ReferenceError: missingEveryTime is not defined");
    EXPECT_TRUE(bar->shownLines().last().startsWith("and ")) << bar->shownLines().join('|').toStdString();
    emit bar->held();
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_TRUE(sink.messages.front().startsWith(
        "often:2: Uncaught ReferenceError: missingEveryTime is not defined\nand "))
        << sink.messages.front().toStdString();
    EXPECT_TRUE(sink.messages.front().endsWith(" more.")) << sink.messages.front().toStdString();
}

// Texts in strings that would end the page's script element early, or hide
// its end, leave the page as it is: the program runs as written, and its
// errors and lines are told at the program's own lines.
TEST_F(RunEndToEndTest, AProgramWhoseStringsHoldScriptTagsRunsAsWritten)
{
    writeProgram("enders", {"var a = '</script><script>document.title = \"taken\"</script>';",
                            "var b = \"<!--<script>\";",
                            "function init(){",
                            "  console.log(a.length + b.length);",
                            "  notDefined();",
                            "}"});
    openProgram("enders");
    control<QPushButton>("btnRunConsole")->click();
    run();
    auto *bar = control<QPushButton>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible(); }));
    EXPECT_EQ(bar->text(), "enders:5: Uncaught ReferenceError: notDefined is not defined");
    auto *console = control<QListWidget>("lstRunConsole");
    ASSERT_TRUE(waitFor([&] { return console->count() >= 1; }));
    // Both strings whole: 50 and 12 characters.
    EXPECT_EQ(console->item(0)->text(), "enders:4: 62");
    EXPECT_EQ(evaluate("document.title").toString(), "QuillIDE - enders");
    bar->click();
    ASSERT_TRUE(waitFor([this] { return !control("pnlRun")->isVisible(); }));
    EXPECT_EQ(window->program().cursorLine(), 4);
}

// A script of the page that cannot be loaded is told in the bar, rather than
// leaving a blank view.
TEST_F(RunEndToEndTest, AScriptThePageCannotLoadIsTold)
{
    ASSERT_TRUE(QFile::remove(window->paths().scriptDir + "quillfunc.js"));
    writeProgram("plain", {"function init(){}"});
    openProgram("plain");
    run();
    auto *bar = control<QPushButton>("btnRunError");
    ASSERT_TRUE(waitFor([&] { return bar->isVisible(); }));
    EXPECT_EQ(bar->text(), "Failed to load js/quillfunc.js.");
}

// A program that fails before init never starts its frame loop: no count.
TEST_F(RunEndToEndTest, AProgramThatFailedBeforeInitShowsNoFrameCount)
{
    writeProgram("early", {"var a = missing + 1;", "function init(){}"});
    openProgram("early");
    run();
    ASSERT_TRUE(waitFor([&] { return control("btnRunError")->isVisible(); }));
    EXPECT_EQ(control<QPushButton>("btnRunError")->text(),
              "early:1: Uncaught ReferenceError: missing is not defined");
    EXPECT_FALSE(waitFor([this] { return framesShown() >= 0; }, 2500))
        << control<QLabel>("lblRunFps")->text().toStdString();
}

TEST_F(RunEndToEndTest, RunSavesChangedNamedCodeWithoutAMessageAndItStaysChanged)
{
    writeProgram("mine", {"function init(){}"});
    openProgram("mine");
    window->codePage().RunKeyCommand("/");
    window->codePage().RunKeyCommand("/");
    ASSERT_TRUE(window->program().codeModified());
    run();
    EXPECT_EQ(quill::readTextFile(codeDir() + "mine").lines, QStringList({"//function init(){}"}));
    EXPECT_TRUE(window->program().codeModified());
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
    closeRun();

    // Unnamed code runs without being saved anywhere.
    control<QPushButton>("btTextNew")->click();
    window->codePage().RunKeyCommand("x");
    const QStringList before = QDir(codeDir()).entryList(QDir::Files);
    run();
    EXPECT_EQ(QDir(codeDir()).entryList(QDir::Files), before);
}

TEST_F(RunEndToEndTest, WebOneOpensThePageInTheDesktopsBrowser)
{
    DesktopRecorder desktop;
    control<QCheckBox>("chkGfx9000")->setChecked(true);
    control<QPushButton>("btApply")->click();
    ASSERT_EQ(window->settings().value("web"), "1");
    sink.messages.clear();

    openProgram("cat_sample");
    control<QPushButton>("btRun")->click();
    EXPECT_EQ(desktop.opened, QList<QUrl>({QUrl::fromLocalFile(window->paths().pagePath)}));
    EXPECT_FALSE(control("pnlRun")->isVisible());
    EXPECT_EQ(web(), nullptr);
    EXPECT_TRUE(window->runOverlay().state().runActive());
    EXPECT_TRUE(sink.messages.isEmpty()) << sink.messages.join('|').toStdString();
}

TEST_F(RunEndToEndTest, ExportWritesTheArchiveIntoTheAppliedFolder)
{
    const QString folder = home.path() + "/games";
    QDir().mkpath(folder);
    control<QLineEdit>("edtOpenmsxdir")->setText(folder);
    control<QPushButton>("btApply")->click();
    openProgram("cat_sample");
    // A folder typed but not applied is not used.
    control<QLineEdit>("edtOpenmsxdir")->setText(home.path() + "/elsewhere");
    sink.messages.clear();

    control<QPushButton>("btExport")->click();
    EXPECT_EQ(sink.messages, QStringList({"Completed.\n" + folder + "/cat_sample.zip\n" + folder
                                          + "/cat_sample.html"}));
    EXPECT_TRUE(QFileInfo(folder + "/cat_sample.html").size() > 0);
    QProcess zipinfo;
    zipinfo.start("zipinfo", {"-1", folder + "/cat_sample.zip"});
    ASSERT_TRUE(zipinfo.waitForFinished(30000));
    EXPECT_EQ(QString::fromUtf8(zipinfo.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
              QStringList({"cat_sample.html", "img/cat.png", "img/ball.png", "audio/catbgm.ogg",
                           "js/js-sprintf-1.0.1.min.js", "js/soundjs.min.js", "img/fnt18.png",
                           "js/quillfunc.js", "js/stage.web.min.js"}));

    sink.messages.clear();
    control<QPushButton>("btTextNew")->click();
    control<QPushButton>("btExport")->click();
    EXPECT_EQ(sink.messages, QStringList({"Input file name."}));
}

// A sprite saved under a name with a blank: the Sp key writes the name as
// it is, Run loads that very picture, and both exports carry it.
TEST_F(RunEndToEndTest, ASpriteSavedUnderANameWithABlankServesTheSpKeyRunAndExport)
{
    control<QLineEdit>("edtGraFile")->setText("my cat");
    control<QPushButton>("btGraSave")->click();
    ASSERT_EQ(sink.messages, QStringList({"Saved."}));
    sink.messages.clear();

    control<QPushButton>("btTextNew")->click();
    window->codePage().RunKeyCommand("Sp");
    QListWidget *choices = window->findChild<QListWidget *>("lstSelect");
    ASSERT_NE(choices, nullptr);
    const QList<QListWidgetItem *> found = choices->findItems("my cat.png", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    emit choices->itemClicked(found.front());
    EXPECT_EQ(window->program().line(window->program().cursorLine()), "sprite(,\"my cat\",1);");
    window->codePage().RunKeyCommand("1");
    control<QLineEdit>("edtFile")->setText("named");

    run();
    // The page asks for the picture under its own name, which loads there.
    EXPECT_TRUE(quill::readTextFile(window->paths().pagePath).lines.contains(
        "Stage({image:'img/my cat.png',textures:{chr10:{x:1,y:1,width:32,height:32}}});"));
    evaluate("const probe = new Image(); probe.onload = () => window.q_width = probe.naturalWidth;"
             "probe.src = 'img/my cat.png'; 1");
    EXPECT_TRUE(pageSays("window.q_width === 34"));
    pause(300);
    EXPECT_FALSE(control("btnRunError")->isVisible()) << control<QPushButton>("btnRunError")->text().toStdString();
    closeRun();

    const QString folder = home.path() + "/games";
    QDir().mkpath(folder);
    control<QLineEdit>("edtOpenmsxdir")->setText(folder);
    control<QPushButton>("btApply")->click();
    sink.messages.clear();
    control<QPushButton>("btExport")->click();
    ASSERT_EQ(sink.messages.size(), 1);
    EXPECT_TRUE(sink.messages.front().startsWith("Completed.")) << sink.messages.front().toStdString();
    QProcess zipinfo;
    zipinfo.start("zipinfo", {"-1", folder + "/named.zip"});
    ASSERT_TRUE(zipinfo.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(zipinfo.readAllStandardOutput()).split('\n').contains("img/my cat.png"));
    QFile single(folder + "/named.html");
    ASSERT_TRUE(single.open(QIODevice::ReadOnly));
    EXPECT_TRUE(single.readAll().contains("\"img/my cat.png\":\"data:image/png;base64,"));
}

} // namespace

int main(int argc, char **argv)
{
    quill::prepareProcess();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "test_runendtoend.moc"
