// The process entry: besides --help and --version (which print and exit
// without a window or a workspace) no command-line options; the one window
// runs until it closes. An error that ends start-up is shown and the process
// ends with 0.
#include "app/ammain.h"
#include "app/applicationidentity.h"
#include "app/commandline.h"
#include "app/processsetup.h"
#include "base/quillerror.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

void showStartupError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("QuillIDE"), message, QMessageBox::Ok);
    box.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Help and version need no display and no web engine: the minimal
    // platform serves them even where no window could open.
    if (quill::asksForTextOnly(argc, argv))
        qputenv("QT_QPA_PLATFORM", "minimal");
    else
        quill::prepareProcess();
    QApplication application(argc, argv);
    quill::setApplicationIdentity();

    const quill::CommandLineRequest request = quill::readCommandLine(application.arguments());
    switch (request.action) {
    case quill::CommandLineAction::Run:
        break;
    case quill::CommandLineAction::ShowVersion:
        std::printf("QuillIDE %s\n", qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    case quill::CommandLineAction::ShowHelp:
        quill::showHelp();
        return 0;
    case quill::CommandLineAction::Fail:
        std::fprintf(stderr, "QuillIDE: %s\nTry 'QuillIDE --help' for the options.\n",
                     qPrintable(request.error));
        return 1;
    }

    std::unique_ptr<TfrmMain> window;
    try {
        window = std::make_unique<TfrmMain>();
    } catch (const quill::QuillError &error) {
        showStartupError(error.message());
        return 0;
    } catch (const std::exception &error) {
        showStartupError(QString::fromLocal8Bit(error.what()));
        return 0;
    } catch (...) {
        showStartupError(QString());
        return 0;
    }
    window->show();
    application.exec();
    return 0;
}
