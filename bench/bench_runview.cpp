// Run in the run view to the game's first ticker frame with every image
// loaded, against a plain QWebEngineView loading the same generated page.
// Needs a display (runview.sh runs it under Xvfb and a private session bus).
//
//   bench_runview warm PAIRS [cat|3d]   paired rounds A B A B in one process,
//                                       both views created and used once first
//   bench_runview cold run|bare [cat|3d]  one first load in a fresh process
//
// Run = generatePage of the sample + RunView::showPage, as the Run button does
// once the code is saved; bare = QWebEngineView::load of the page in the
// default profile, where SoundJS's probe for file loading finds a file, so
// that its page plays sounds the same way as in the run view. Both sides see the same event through the same probe, a
// script added to each view's script collection that runs in the page's own
// world before the page's scripts: it counts every image the page asks for
// (the src of an image element, as Stage.js and three.js load pictures) and
// every sound file (an XMLHttpRequest or an audio element for .ogg or .mp3)
// until each has loaded or failed, and wraps requestAnimationFrame, through
// which both engines run the game's ticker. In the run view it runs just
// before the view's own probe, which takes the page's console over. After
// the first ticker frame that ends with at least one image asked for and
// none outstanding, it writes the page's path to the console; once the sounds are in too it
// writes the times, on the page's clock from the start of its navigation, at
// which the last image and the last sound had loaded. The first-frame time is
// taken by this process from the load call to that message; the loading
// times come from the page. Times in milliseconds on standard output.
//
// Between rounds both views go to the blank page the way their owners do it:
// the run view through RunView::closePage, as Close does, the bare view with
// load. A round starts only when both blank pages have loaded and the event
// loop has then idled a little, long enough for their first frames, so that
// neither side is measured while the other view is still busy with its
// blank page.
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
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <algorithm>
#include <utility>
#include <cstdio>
#include <vector>

namespace {

const QString FirstFrame = QStringLiteral("\x02first-frame");
const QString Loaded = QStringLiteral("\x02loaded");

QWebEngineScript probeScript()
{
    QWebEngineScript probe;
    probe.setName(QStringLiteral("bench-first-frame"));
    probe.setInjectionPoint(QWebEngineScript::DocumentCreation);
    probe.setWorldId(QWebEngineScript::MainWorld);
    probe.setSourceCode(QStringLiteral(R"((() => {
  const log = console.log.bind(console);
  const images = { asked: 0, open: 0, last: 0 }, sounds = { asked: 0, open: 0, last: 0 };
  let framed = false, reported = false;
  const sound = (url) => /\.(ogg|mp3)(\?|$)/i.test(String(url));
  function report() {
    if (framed && !reported && sounds.open === 0) {
      reported = true;
      log('%2 ' + images.last.toFixed(1) + ' ' + (sounds.asked ? sounds.last.toFixed(1) : '-'));
    }
  }
  function watch(target, kind, events) {
    kind.asked++;
    kind.open++;
    let open = true;
    const end = () => {
      if (!open) return;
      open = false;
      kind.open--;
      kind.last = performance.now();
      report();
    };
    for (const name of events) target.addEventListener(name, end);
  }
  function hookSrc(type, kindOf, events) {
    const own = Object.getOwnPropertyDescriptor(type.prototype, 'src');
    Object.defineProperty(type.prototype, 'src', {
      configurable: true, enumerable: own.enumerable, get: own.get,
      set(value) {
        const kind = kindOf(value);
        if (kind && !this.__benchWatched) {
          this.__benchWatched = true;
          watch(this, kind, events);
        }
        own.set.call(this, value);
      },
    });
  }
  hookSrc(HTMLImageElement, () => images, ['load', 'error']);
  hookSrc(HTMLMediaElement, (url) => (sound(url) ? sounds : null), ['canplaythrough', 'error']);
  const open = XMLHttpRequest.prototype.open;
  XMLHttpRequest.prototype.open = function (method, url, ...rest) {
    if (sound(url)) watch(this, sounds, ['loadend']);
    return open.call(this, method, url, ...rest);
  };
  const raf = window.requestAnimationFrame;
  window.requestAnimationFrame = function (callback) {
    return raf.call(window, (now) => {
      callback(now);
      if (!framed && images.asked > 0 && images.open === 0) {
        framed = true;
        log('%1' + location.pathname);
        report();
      }
    });
  };
})();)")
            .arg(FirstFrame, Loaded));
    return probe;
}

// The page path in a probe message ("" for other messages).
QString framedPath(const QString &message)
{
    return message.startsWith(FirstFrame) ? message.mid(FirstFrame.size()) : QString();
}

// The last image's and the last sound's load time in a probe message, -1
// where the message is another one or the page loads no sound.
std::pair<double, double> loadTimes(const QString &message)
{
    if (!message.startsWith(Loaded))
        return {-1, -1};
    const QStringList words = message.mid(Loaded.size()).split(u' ', Qt::SkipEmptyParts);
    bool ok = false;
    const double sound = words.value(1).toDouble(&ok);
    return {words.value(0).toDouble(), ok ? sound : -1};
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
    // The last image's and the last sound's load time in the page.
    std::pair<double, double> loads{-1, -1};

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int,
                                  const QString &) override
    {
        if (const QString path = framedPath(message); !path.isEmpty())
            framed = path;
        if (const auto times = loadTimes(message); times.first >= 0)
            loads = times;
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
        // SoundJS asks for this file to learn whether the page may load
        // files; the run view answers that request itself. Here the file is
        // there, so that the bare view's page takes the same way (Web Audio)
        // rather than falling back to audio elements, which cannot play the
        // game's sounds from a file page.
        QFile soundProbe(QFileInfo(paths.pagePath).absolutePath() + "/WebAudioPluginTest.fail");
        if (!soundProbe.open(QIODevice::WriteOnly) || soundProbe.write("-") != 1)
            qFatal("cannot write %s", qPrintable(soundProbe.fileName()));
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
        runLoads = {-1, -1};
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
            // Ahead of the run view's own probe, which takes the page's
            // console over: this one keeps the console it found.
            QWebEngineScriptCollection &scripts = runView->webView()->page()->scripts();
            const QList<QWebEngineScript> own = scripts.find(QStringLiteral("quill-page-probe"));
            for (const QWebEngineScript &script : own)
                scripts.remove(script);
            scripts.insert(probeScript());
            for (const QWebEngineScript &script : own)
                scripts.insert(script);
            auto *runPage = qobject_cast<quill::RunPage *>(runView->webView()->page());
            QObject::connect(runPage, &quill::RunPage::consoleMessage,
                             [this](auto, const QString &message, int, const QString &) {
                                 if (const QString path = framedPath(message); !path.isEmpty())
                                     runFramed = path;
                                 if (const auto times = loadTimes(message); times.first >= 0)
                                     runLoads = times;
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
            barePage = getenv("BARE_OWN_PROFILE") ? new BarePage(new QWebEngineProfile(bareView), bareView) : new BarePage(bareView);
            bareView->setPage(barePage);
            bareView->setGeometry(0, quill::RunView::BarHeight, 640, 560 - quill::RunView::BarHeight);
            bareView->show();
        }
        barePage->framed.clear();
        barePage->loads = {-1, -1};
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
        runView->closePage(blank);
        bareView->load(blank);
        waitFor([&] { return runLoaded && bareLoaded; });
        QObject::disconnect(runOnce);
        QObject::disconnect(bareOnce);
        idle(SettleMs);
    }

    // The loading times of the page in the run view or the bare view, which
    // come once its sounds are in as well ({-1, -1} if they never do).
    std::pair<double, double> loads(bool inRunView)
    {
        auto &times = inRunView ? runLoads : barePage->loads;
        waitFor([&] { return times.first >= 0; }, 10000);
        return times;
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
    // The last image's and the last sound's load time in the run view's page.
    std::pair<double, double> runLoads{-1, -1};
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
    std::vector<double> runImages, bareImages, runSounds, bareSounds;
    auto measure = [&](bool inRunView) {
        bench.blankBoth();
        const double ms = inRunView ? bench.run() : bench.bare();
        const auto [images, sounds] = ms < 0 ? std::pair{-1.0, -1.0} : bench.loads(inRunView);
        (inRunView ? runImages : bareImages).push_back(images);
        (inRunView ? runSounds : bareSounds).push_back(sounds);
        return ms;
    };
    for (int pair = 0; pair < pairs; ++pair) {
        // Which goes first alternates, so neither always follows the other.
        double run = 0, bare = 0;
        if (pair % 2 == 0) {
            run = measure(true);
            bare = measure(false);
        } else {
            bare = measure(false);
            run = measure(true);
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
    // Loading, on the page's clock from the start of its navigation; a side
    // whose sounds never reported counts -1 and shows as a failure.
    const double runSound = median(runSounds), bareSound = median(bareSounds);
    std::printf("warm, loading: last image at %.1f ms in the run view against %.1f ms in the bare "
                "view (ratio %.2f); last sound at %.1f against %.1f ms (ratio %.2f); "
                "unreported %d / %d\n",
                median(runImages), median(bareImages), median(runImages) / median(bareImages),
                runSound, bareSound, bareSound > 0 ? runSound / bareSound : 0.0,
                int(std::count(runImages.begin(), runImages.end(), -1.0)),
                int(std::count(bareImages.begin(), bareImages.end(), -1.0)));
    return 0;
}
