// Run in the run view to the page's first animation frame, against a bare
// QWebEngineView loading the same generated page. Needs a display (runview.sh
// runs it under Xvfb and a private session bus).
//
//   bench_runview warm PAIRS [cat|3d]   paired rounds A B A B in one process,
//                                       both views created and used once first
//   bench_runview cold run|bare [cat|3d]  one first load in a fresh process
//
// Run = generatePage of the sample + RunView::showPage, as the Run button does
// once the code is saved; bare = QWebEngineView::load of the page. The first
// frame is seen by the same probe in both: a script that the view adds to the
// page's own script collection (in a world apart from the page's), which
// writes to the console from the page's first requestAnimationFrame, with the
// path of the page; each side waits for the path of the page it loads. Times
// in milliseconds on standard output.
//
// Between rounds both views go to the blank page the way their owners do it:
// the run view through RunView::closePage, as Close does, the bare view with
// load. A round starts only when both blank pages have loaded and drawn their
// first frame and the event loop has then idled a little, so that neither
// side is measured while the other view is still busy with its blank page.
// Waiting sleeps in the event loop, as the program does, rather than spinning
// on a core the web engine needs.

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "app/installer.h"
#include "app/processsetup.h"
#include "builder/pagegenerator.h"
#include "builder/runpage.h"
#include "builder/runview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString FirstFrame = QStringLiteral("\x02first-frame");

QWebEngineScript probeScript()
{
    QWebEngineScript probe;
    probe.setName(QStringLiteral("bench-first-frame"));
    probe.setInjectionPoint(QWebEngineScript::DocumentCreation);
    probe.setWorldId(QWebEngineScript::ApplicationWorld + 1);
    probe.setSourceCode(
        QStringLiteral("requestAnimationFrame(() => console.log('%1' + location.pathname));")
            .arg(FirstFrame));
    return probe;
}

// The page path in a probe message ("" for other messages).
QString framedPath(const QString &message)
{
    return message.startsWith(FirstFrame) ? message.mid(FirstFrame.size()) : QString();
}

class DiscardedMessages : public quill::MessageSink {
public:
    void showMessage(const QString &) override {}
};

// The bare baseline: a page that only reports the probe.
class BarePage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;
    // The path of the page whose first frame came last.
    QString framed;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int,
                                  const QString &) override
    {
        if (const QString path = framedPath(message); !path.isEmpty())
            framed = path;
    }
};

template <typename Ready> bool waitFor(Ready ready, int milliseconds = 30000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;  // ends the wait at the deadline even when nothing else happens
    wake.start(milliseconds);
    while (!ready() && clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    return ready();
}

void idle(int milliseconds)
{
    waitFor([] { return false; }, milliseconds);
}

struct Bench {
    explicit Bench(const QString &sample)
    {
        paths = quill::WorkspacePaths::fromBaseDir(workspace.path() + "/");
        quill::SettingsStore settings;
        QStringList keywords;
        quill::installWorkspace(paths, settings, keywords, 384, QString());
        code = quill::readTextFile(paths.codeDir + (sample == "3d" ? "3d_sample" : "cat_sample")).lines;
        page = QUrl::fromLocalFile(paths.pagePath);
        blank = QUrl::fromLocalFile(paths.scriptDir + "blank.html");
        DiscardedMessages messages;
        quill::generatePage(code, "sample", paths, messages);
        window.setGeometry(0, 0, 640, 560);
        window.show();
        bareWindow.setGeometry(640, 0, 640, 560);
        bareWindow.show();
    }

    // Run: generation and the run view, to the first frame.
    double run()
    {
        runFramed.clear();
        QElapsedTimer clock;
        clock.start();
        DiscardedMessages messages;
        quill::generatePage(code, "sample", paths, messages);
        generation = clock.nsecsElapsed() / 1e6;
        if (!runView) {
            runView = new quill::RunView(&window);
            runView->layoutView(window.rect());
        }
        const bool first = runView->webView() == nullptr;
        runView->showPage(page, paths.baseDir);
        if (first) {
            runView->webView()->page()->scripts().insert(probeScript());
            auto *runPage = qobject_cast<quill::RunPage *>(runView->webView()->page());
            QObject::connect(runPage, &quill::RunPage::consoleMessage,
                             [this](auto, const QString &message, int, const QString &) {
                                 if (const QString path = framedPath(message); !path.isEmpty())
                                     runFramed = path;
                             });
        }
        if (!waitFor([this] { return runFramed == page.path(); }))
            return -1;
        return clock.nsecsElapsed() / 1e6;
    }

    double bare()
    {
        QElapsedTimer clock;
        clock.start();
        if (!bareView) {
            // A window of its own beside the program's, of the run view's size.
            bareView = new QWebEngineView(&bareWindow);
            barePage = new BarePage(bareView);
            bareView->setPage(barePage);
            bareView->setGeometry(0, quill::RunView::BarHeight, 640, 560 - quill::RunView::BarHeight);
            bareView->show();
        }
        barePage->framed.clear();
        const bool first = barePage->scripts().find(QStringLiteral("bench-first-frame")).isEmpty();
        bareView->load(page);
        if (first)
            barePage->scripts().insert(probeScript());
        if (!waitFor([this] { return barePage->framed == page.path(); }))
            return -1;
        return clock.nsecsElapsed() / 1e6;
    }

    void blankBoth()
    {
        bool runLoaded = false, bareLoaded = false;
        auto runOnce = QObject::connect(runView, &quill::RunView::loadFinished,
                                        [&] { runLoaded = true; });
        auto bareOnce = QObject::connect(bareView, &QWebEngineView::loadFinished,
                                         [&] { bareLoaded = true; });
        runFramed.clear();
        barePage->framed.clear();
        runView->closePage(blank);
        bareView->load(blank);
        waitFor([&] {
            return runLoaded && bareLoaded && runFramed == blank.path()
                   && barePage->framed == blank.path();
        });
        QObject::disconnect(runOnce);
        QObject::disconnect(bareOnce);
        idle(SettleMs);
    }

    static constexpr int SettleMs = 100;

    QTemporaryDir workspace;
    quill::WorkspacePaths paths;
    QStringList code;
    QUrl page;
    QUrl blank;
    QWidget window;
    QWidget bareWindow;
    quill::RunView *runView = nullptr;
    QWebEngineView *bareView = nullptr;
    BarePage *barePage = nullptr;
    // The path of the page whose first frame came last in the run view.
    QString runFramed;
    // How long the last run's generatePage took.
    double generation = 0;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    quill::prepareProcess();
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_runview warm PAIRS [cat|3d] | cold run|bare [cat|3d]\n");
        return 2;
    }
    Bench bench(args.value(3, QStringLiteral("cat")));
    if (args[1] == "cold") {
        const double ms = args[2] == "bare" ? bench.bare() : bench.run();
        std::printf("%.2f\n", ms);
        return ms < 0 ? 1 : 0;
    }

    const int pairs = args[2].toInt();
    // Both views made and used once: the warm state of a second Run.
    bench.run();
    bench.bare();
    std::vector<double> runs, bares, ratios, generations;
    for (int pair = 0; pair < pairs; ++pair) {
        // Which goes first alternates, so neither always follows the other.
        double run = 0, bare = 0;
        if (pair % 2 == 0) {
            bench.blankBoth();
            run = bench.run();
            bench.blankBoth();
            bare = bench.bare();
        } else {
            bench.blankBoth();
            bare = bench.bare();
            bench.blankBoth();
            run = bench.run();
        }
        if (run < 0 || bare < 0) {
            std::fprintf(stderr, "a load did not reach its first frame\n");
            return 1;
        }
        runs.push_back(run);
        generations.push_back(bench.generation);
        bares.push_back(bare);
        ratios.push_back(run / bare);
    }
    std::printf("warm, %d pairs: Run %.1f ms (min %.1f, max %.1f; generation %.1f ms), bare view "
                "%.1f ms (min %.1f, max %.1f), ratio of medians %.2f, median of pair ratios %.2f\n",
                pairs, median(runs), *std::min_element(runs.begin(), runs.end()),
                *std::max_element(runs.begin(), runs.end()), median(generations), median(bares),
                *std::min_element(bares.begin(), bares.end()),
                *std::max_element(bares.begin(), bares.end()), median(runs) / median(bares),
                median(ratios));
    return 0;
}
