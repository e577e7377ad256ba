// layoutprobe: starts the main window in a fresh workspace and prints, page
// by page, where every named control lies in the window's logical pixels,
// with the device pixel ratio, the client area and the code cell first. Run
// by test_highdpi under different QT_SCALE_FACTOR values; with a folder
// argument it also saves each page as the screen shows it, in device pixels,
// and with a size in device pixels after it the window takes that size.
//
//   layoutprobe [screenshot folder [device width device height]]
#include "app/ammain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTabWidget>
#include <QTextStream>

#include <cstdio>

namespace {

class StderrSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
};

void settle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    StderrSink sink;
    TfrmMain window(&sink);
    window.show();
    settle(300);
    if (argc > 3) {
        const double ratio = window.devicePixelRatioF();
        window.resize(static_cast<int>(QString::fromLocal8Bit(argv[2]).toInt() / ratio),
                      static_cast<int>(QString::fromLocal8Bit(argv[3]).toInt() / ratio));
        settle(300);
    }

    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("TabControl1"));
    if (!pages) {
        std::fprintf(stderr, "no TabControl1\n");
        return 1;
    }
    QTextStream out(stdout);
    out << "ratio " << window.devicePixelRatioF() << '\n';
    out << "client " << window.width() << ' ' << window.height() << '\n';
    out << "cell " << window.layout().cellSize << '\n';
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        settle(100);
        for (const QWidget *control : window.findChildren<QWidget *>()) {
            if (control->objectName().isEmpty() || !control->isVisible())
                continue;
            const QPoint at = control->mapTo(&window, QPoint(0, 0));
            out << "page " << page << ' ' << control->objectName() << ' ' << at.x() << ' ' << at.y() << ' '
                << control->width() << ' ' << control->height() << '\n';
        }
        if (argc > 1) {
            const QPixmap shot = window.grab();
            out << "shot " << page << ' ' << shot.width() << ' ' << shot.height() << ' '
                << shot.devicePixelRatio() << '\n';
            shot.save(QStringLiteral("%1/page%2.png").arg(QString::fromLocal8Bit(argv[1])).arg(page));
        }
    }
    return 0;
}
