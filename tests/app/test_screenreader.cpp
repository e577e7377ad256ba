// The window as a screen reader sees it: the accessibility tree read over a
// private accessibility bus by another process (screenreaderprobe), as a
// screen reader reads it. Runs on tools/on-a11y-desktop.sh.
#include "app/ammain.h"
#include "editor/codebuffer.h"
#include "tests/builder/qtprint.h"

#include "tests/app/windowtest.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QEventLoop>

#include <memory>

namespace {

class RecordingSink : public quill::MessageSink {
public:
    void showMessage(const QString &text) override { messages << text; }
    QStringList messages;
};

// One object as the probe prints it.
struct Shown {
    QString role, name, description, text, caretLine;
};

class ScreenReaderTest : public quill::testsupport::WindowTest {
protected:
    void SetUp() override
    {
        useFreshWorkspace();
        window = std::make_unique<TfrmMain>(&sink);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000))
            << "no accessibility bus: run on tools/on-a11y-desktop.sh";
    }

    void TearDown() override { window.reset(); }

    template <typename Control = QWidget> Control *control(const char *name)
    {
        return controlNamed<Control>(window.get(), name);
    }

    // What shows on the screen, read by the probe while this process
    // answers it.
    std::vector<Shown> readScreen()
    {
        QApplication::processEvents();
        QProcess probe;
        probe.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        probe.start(QStringLiteral(QUILL_BINARY_DIR "/tests/app/screenreaderprobe"),
                    {QString::number(QCoreApplication::applicationPid())});
        // The event loop runs without pause: every question of the probe is
        // answered here.
        QEventLoop answering;
        QObject::connect(&probe, &QProcess::finished, &answering, &QEventLoop::quit);
        QTimer::singleShot(60000, &answering, &QEventLoop::quit);
        if (probe.state() != QProcess::NotRunning)
            answering.exec();
        EXPECT_EQ(probe.state(), QProcess::NotRunning);
        EXPECT_EQ(probe.exitCode(), 0);
        std::vector<Shown> shown;
        const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        for (const QString &line : lines) {
            const QStringList parts = line.trimmed().split(u'|');
            if (parts.size() == 5)
                shown.push_back({parts[0], parts[1], parts[2], parts[3], parts[4]});
        }
        EXPECT_FALSE(shown.empty());
        return shown;
    }

    static const Shown *named(const std::vector<Shown> &shown, const QString &name)
    {
        for (const Shown &object : shown)
            if (object.name == name)
                return &object;
        return nullptr;
    }

    // Types into the control that has the focus; on a busy display server
    // the focus may come a moment after the click that gave it.
    void typeText(const QString &text)
    {
        ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, 5000))
            << "nothing has the focus to type into";
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(QApplication::focusWidget(), &release);
        }
    }

    RecordingSink sink;
    std::unique_ptr<TfrmMain> window;
};

TEST_F(ScreenReaderTest, TheCodeIsReadAsTextWithTheLineAtTheCursor)
{
    const int cell = window->layout().cellSize;
    QTest::mouseClick(control("pntProg"), Qt::LeftButton, {}, QPoint(cell / 2, 3 * cell + cell / 2));
    typeText("var x=1;");
    ASSERT_EQ(window->program().line(3), "var x=1;");

    const std::vector<Shown> shown = readScreen();
    const Shown *code = named(shown, "Code view");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->role, "text");
    EXPECT_EQ(code->text, window->program().lines().join("\\n"));
    EXPECT_EQ(QString(code->caretLine).remove("\\n"), "var x=1;");
    // The keys are read by what they type.
    EXPECT_NE(named(shown, "Space"), nullptr);
    EXPECT_NE(named(shown, "&"), nullptr);
}

TEST_F(ScreenReaderTest, CountersAndChangingCaptionsAreReadAsTheyShow)
{
    control<QTabWidget>("TabControl1")->setCurrentIndex(1);
    QTest::mouseClick(control("btGraAdd"), Qt::LeftButton);
    QTest::mouseClick(control("btGraAdd"), Qt::LeftButton);
    QTest::mouseClick(control("btGraBack"), Qt::LeftButton);
    auto *pen = control<QPushButton>("btGraPaint");
    auto *direction = control<QPushButton>("btGraShiftR");
    QTest::mouseClick(pen, Qt::LeftButton);
    QTest::mouseClick(direction, Qt::LeftButton);
    ASSERT_NE(pen->text(), "Pn");
    ASSERT_NE(direction->text(), "U");

    const std::vector<Shown> shown = readScreen();
    const Shown *cel = named(shown, "2/3");
    ASSERT_NE(cel, nullptr) << "the cel counter reads its value";
    EXPECT_EQ(cel->role, "label");
    EXPECT_EQ(cel->description, "Cel");
    EXPECT_EQ(named(shown, "Cel"), nullptr);
    EXPECT_NE(named(shown, pen->text()), nullptr) << pen->text().toStdString();
    EXPECT_NE(named(shown, direction->text()), nullptr) << direction->text().toStdString();
    EXPECT_EQ(named(shown, "Pn"), nullptr);
    EXPECT_EQ(named(shown, "U"), nullptr);
}

} // namespace
