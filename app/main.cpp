// The process entry: no command-line options; the one window runs until it
// closes. An error that ends start-up is shown and the process ends with 0.
#include "app/ammain.h"
#include "app/processsetup.h"
#include "app/base/quillerror.h"

#include <QApplication>
#include <QMessageBox>

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
    quill::prepareProcess();
    QApplication application(argc, argv);

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
