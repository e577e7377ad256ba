// Start-up probe: a bare window with one label, quitting on its first paint.
// Built twice: with Widgets only, and with WebEngineWidgets linked as well
// (QUILL_PROBE_WEBENGINE), which is the floor that the program's own
// libraries set.
#include "firstpaint.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#ifdef QUILL_PROBE_WEBENGINE
#include <QWebEngineProfile>
#endif

int main(int argc, char *argv[])
{
#ifdef QUILL_PROBE_WEBENGINE
    // A reference that the linker cannot drop, so the library loads at start.
    static auto *volatile keepWebEngine = &QWebEngineProfile::defaultProfile;
    (void)keepWebEngine;
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
