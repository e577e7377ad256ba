// Start-up probe: a bare window with one label, quitting on its first paint.
// Built twice: with Widgets only, and as the program's baseline
// (QUILL_PROBE_SAME_LIBRARIES): the libraries the program links, loaded at
// start as the program loads them, and the shared GL context attribute that
// the web engine needs and the program sets; no web engine object is made.
#include "firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#ifdef QUILL_PROBE_SAME_LIBRARIES
#include <QWebEngineView>
#include <zip.h>
#endif

int main(int argc, char *argv[])
{
#ifdef QUILL_PROBE_SAME_LIBRARIES
    // References that the linker cannot drop, so the libraries load at start
    // as they do for the program; nothing of them runs.
    static auto *volatile keepWebEngine = &QWebEngineView::staticMetaObject;
    static auto *volatile keepZip = &zip_open;
    (void)keepWebEngine;
    (void)keepZip;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
    QApplication application(argc, argv);
    QWidget window;
    window.resize(384, 567);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("QuillIDE")));
    QuitOnFirstPaint probe(&window);
    window.show();
    application.exec();
    return 0;
}
