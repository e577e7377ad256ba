// Takes the README's pictures of QuillIDE: the Code page with the cat sample
// open, the cat sample running, and the pad sample running in a wide window
// with the pad drawn over it after a touch. Drives the window as a user does
// (Open, the sample, OK, Run, a finger on the screen) and saves what the
// display shows of it.
//
//   quillshots OUTDIR      (tools/make-screenshots.sh runs it on a virtual
//                           display with a scratch workspace)
#include "app/ammain.h"
#include "app/processsetup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWebEngineView>

#include <cstdio>
#include <functional>

namespace {

class PrintedMessages : public quill::MessageSink {
public:
    void showMessage(const QString &text) override
    {
        std::fprintf(stderr, "quillshots: the window said: %s\n", qPrintable(text));
    }
};

// Lets the event loop run until the condition holds or the time is up.
bool waitUntil(const std::function<bool()> &condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void settle(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}

// Opens a sample through the Code page's chooser and runs it, until its page has loaded.
bool runSample(QWidget &window, const QString &name);

template <typename T> T *control(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found) {
        std::fprintf(stderr, "quillshots: no control %s\n", name);
        std::exit(1);
    }
    return found;
}

// The window's client area as the display shows it (the web view's drawing
// included), in few colours: the pictures stay small.
bool save(const QWidget &window, const QString &path)
{
    const QRect area = window.geometry();
    const QImage shot = window.screen()
                            ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                            .toImage()
                            .convertToFormat(QImage::Format_Indexed8, Qt::AvoidDither);
    return shot.save(path, "PNG", 0);
}

bool runSample(QWidget &window, const QString &name)
{
    control<QPushButton>(window, "btTextOpen")->click();
    auto *files = control<QListWidget>(window, "lstBasfiles");
    const QList<QListWidgetItem *> sample = files->findItems(name, Qt::MatchExactly);
    if (sample.size() != 1) {
        std::fprintf(stderr, "quillshots: %s is not in the code files\n", qPrintable(name));
        return false;
    }
    files->setCurrentItem(sample.front());
    control<QPushButton>(window, "btTextOk")->click();
    settle(300);
    control<QPushButton>(window, "btRun")->click();
    auto *web = window.findChild<QWebEngineView *>(QStringLiteral("webRun"));
    bool loaded = false;
    if (web)
        QObject::connect(web, &QWebEngineView::loadFinished, [&] { loaded = true; });
    if (!web || !waitUntil([&] { return loaded; }, 30000)) {
        std::fprintf(stderr, "quillshots: %s did not load\n", qPrintable(name));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quillshots OUTDIR\n");
        return 2;
    }
    quill::prepareProcess();
    QApplication application(argc, argv);
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);

    PrintedMessages messages;
    TfrmMain window(&messages);
    window.show();
    waitUntil([&] { return window.isVisible(); }, 10000);

    control<QPushButton>(window, "btTextOpen")->click();
    auto *files = control<QListWidget>(window, "lstBasfiles");
    const QList<QListWidgetItem *> sample = files->findItems(QStringLiteral("cat_sample"), Qt::MatchExactly);
    if (sample.size() != 1) {
        std::fprintf(stderr, "quillshots: the cat sample is not in the code files\n");
        return 1;
    }
    files->setCurrentItem(sample.front());
    control<QPushButton>(window, "btTextOk")->click();
    settle(500);
    if (!save(window, out + QStringLiteral("/code-page.png")))
        return 1;

    control<QPushButton>(window, "btRun")->click();
    auto *web = window.findChild<QWebEngineView *>(QStringLiteral("webRun"));
    bool loaded = false;
    if (web)
        QObject::connect(web, &QWebEngineView::loadFinished, [&] { loaded = true; });
    if (!web || !waitUntil([&] { return loaded; }, 30000)) {
        std::fprintf(stderr, "quillshots: the cat sample did not load\n");
        return 1;
    }
    // Long enough for the cats to spread and the counter to show.
    settle(2500);
    if (!save(window, out + QStringLiteral("/running-game.png")))
        return 1;
    control<QPushButton>(window, "btnRunClose")->click();
    settle(300);

    // The pad sample in a wide window, as a phone or a handheld held
    // sideways shows it: a finger on the game brings the pad up, and a thumb
    // on its right arm walks the cat to the first balls.
    window.resize(960, 540);
    settle(500);
    if (!runSample(window, QStringLiteral("pad_sample")))
        return 1;
    settle(1000);
    QPointingDevice *screen = QTest::createTouchDevice();
    const QPoint game = web->mapTo(&window, QPoint(web->width() * 3 / 4, web->height() / 2));
    QTest::touchEvent(&window, screen).press(0, game, &window);
    QTest::touchEvent(&window, screen).release(0, game, &window);
    settle(500);
    // The d-pad's right arm, from the pad's own place on the page.
    bool placed = false;
    QPoint right;
    web->page()->runJavaScript(
        QStringLiteral("(function(){var d=document.querySelector('#quill-pad [data-pad=dpad]');"
                       "if(!d)return null;var r=d.getBoundingClientRect();"
                       "return [r.left+r.width*0.8,r.top+r.height/2];})()"),
        [&](const QVariant &value) {
            const QVariantList at = value.toList();
            if (at.size() == 2)
                right = web->mapTo(&window, QPoint(qRound(at[0].toDouble()), qRound(at[1].toDouble())));
            placed = at.size() == 2;
        });
    if (!waitUntil([&] { return placed; }, 5000)) {
        std::fprintf(stderr, "quillshots: the pad did not show\n");
        return 1;
    }
    QTest::touchEvent(&window, screen).press(1, right, &window);
    settle(1600);
    if (!save(window, out + QStringLiteral("/pad-game.png")))
        return 1;
    QTest::touchEvent(&window, screen).release(1, right, &window);
    control<QPushButton>(window, "btnRunClose")->click();
    settle(300);
    return 0;
}
