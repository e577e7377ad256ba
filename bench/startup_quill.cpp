// Start-up probe: the process entry's steps up to the main window's first
// paint. With --save the window is closed instead, which writes quillide.ini
// and so prepares a workspace for ordinary starts.
#include "app/ammain.h"
#include "app/processsetup.h"
#include "firstpaint.h"

#include <QApplication>
#include <cstring>

int main(int argc, char *argv[])
{
    const bool save = argc > 1 && std::strcmp(argv[1], "--save") == 0;
    quill::prepareProcess();
    QApplication application(argc, argv);
    TfrmMain window;
    QuitOnFirstPaint probe(&window, save);
    window.show();
    application.exec();
    return 0;
}
