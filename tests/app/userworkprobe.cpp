// The first session of test_userwork's kill: opens a program through the
// Code page, types on the hardware keyboard without saving, says "typed" and
// runs until it is killed.
//   userworkprobe PROGRAM TEXT
#include "app/ammain.h"

#include "app/processsetup.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <cstdio>

namespace {

class PrintedMessages : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
};

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    quill::prepareProcess();
    QApplication application(argc, argv);
    PrintedMessages messages;
    TfrmMain window(&messages);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return 3;
    QTest::mouseClick(window.findChild<QPushButton *>("btTextOpen"), Qt::LeftButton);
    auto *list = window.findChild<QListWidget *>("lstBasfiles");
    const QList<QListWidgetItem *> found = list->findItems(QString::fromLocal8Bit(argv[1]), Qt::MatchExactly);
    if (found.size() != 1)
        return 4;
    list->setCurrentItem(found.front());
    QTest::mouseClick(window.findChild<QPushButton *>("btTextOk"), Qt::LeftButton);
    for (const char *key = argv[2]; *key; ++key)
        QTest::keyClick(window.windowHandle(), *key);
    std::printf("typed\n");
    std::fflush(stdout);
    return application.exec();
}
