// The on-screen keyboard under real fingers: touch events from a touch-screen
// device through the window system, several fingers at once.
#include "editor/keybutton.h"
#include "editor/keypanel.h"
#include "editor/keyrepeat.h"

#include "tests/support/touchscreen.h"
#include "tests/support/application.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTouchEvent>

#include <functional>
#include <memory>

namespace quill {
namespace {

using testsupport::Fingers;

class KeyPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testsupport::ensureApplication();
    }

    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(400, 300);
        other = new QPushButton(QStringLiteral("other"), window.get());
        other->setGeometry(0, 0, 400, 100);
        panel = new KeyPanel(window.get());
        panel->setGeometry(0, 100, 400, 200);
        const QStringList captions = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "Bs"};
        for (int index = 0; index < captions.size(); ++index) {
            auto *key = new KeyButton(panel);
            key->setCaption(captions[index]);
            key->setGeometry((index % 6) * 60 + 5, (index / 6) * 60 + 5, 50, 50);
            QObject::connect(key, &KeyButton::keyClicked, [this](const QString &caption) { typed += caption; });
            keys[captions[index]] = key;
        }
        QObject::connect(other, &QPushButton::clicked, [this] { otherClicked = true; });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        fingers = std::make_unique<Fingers>(window.get());
    }

    void TearDown() override
    {
        fingers.reset();
        window.reset();
    }

    KeyButton *key(const QString &caption) { return keys.at(caption); }

    QImage look(KeyButton *button) { return button->grab().toImage(); }

    // No key shows pressed, and none types any more.
    void expectAllLetGo()
    {
        for (const auto &[caption, button] : keys)
            EXPECT_FALSE(button->touchDown()) << caption.toStdString();
        const QString before = typed;
        QTest::qWait(KeyRepeat::FirstMs + 150);
        EXPECT_EQ(typed, before) << "a key went on repeating";
    }

    std::unique_ptr<QWidget> window;
    QPushButton *other = nullptr;
    KeyPanel *panel = nullptr;
    std::map<QString, KeyButton *> keys;
    std::unique_ptr<Fingers> fingers;
    QString typed;
    bool otherClicked = false;
};

TEST_F(KeyPanelTest, OneTapTypesOnce)
{
    fingers->tap(key("a"));
    EXPECT_EQ(typed, "a") << "the finger typed, and no mouse made of it typed again";
    fingers->tap(key("Bs"));
    EXPECT_EQ(typed, "aBs");
    expectAllLetGo();
}

TEST_F(KeyPanelTest, TwoThumbsTypeInTheOrderTheyWentDown)
{
    struct Case {
        const char *label;
        std::function<void()> play;
        QString typed;
    };
    const std::vector<Case> cases = {
        {"rolling over", [&] {
             fingers->press(0, key("h")).send();
             fingers->press(1, key("i")).send();
             fingers->release(0, key("h")).send();
             fingers->release(1, key("i")).send();
         }, "hi"},
        {"the second lifts first", [&] {
             fingers->press(0, key("h")).send();
             fingers->press(1, key("i")).send();
             fingers->release(1, key("i")).send();
             EXPECT_EQ(typed, "") << "i waits for h";
             fingers->release(0, key("h")).send();
         }, "hi"},
        {"both down in one event", [&] {
             fingers->press(2, key("a")).press(3, key("b")).send();
             fingers->release(2, key("a")).release(3, key("b")).send();
         }, "ab"},
        {"three fingers", [&] {
             fingers->press(4, key("c")).send();
             fingers->press(5, key("a")).send();
             fingers->release(4, key("c")).send();
             fingers->press(6, key("b")).send();
             fingers->release(6, key("b")).send();
             fingers->release(5, key("a")).send();
         }, "cab"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        typed.clear();
        c.play();
        EXPECT_EQ(typed, c.typed);
    }
    expectAllLetGo();
}

TEST_F(KeyPanelTest, EachHeldKeyRepeatsOnItsOwn)
{
    QElapsedTimer clock;
    clock.start();
    fingers->press(0, key("a")).send();
    QTest::qWait(300);
    const qint64 bDown = clock.elapsed();
    fingers->press(1, key("b")).send();
    QTest::qWait(200);
    // Timers never fire early (Qt's precise timers): nothing before 600 ms.
    if (clock.elapsed() < KeyRepeat::FirstMs)
        EXPECT_EQ(typed, "") << "repeated before 600 ms";
    while (clock.elapsed() < bDown + KeyRepeat::FirstMs + 350)
        QTest::qWait(20);
    const qsizetype as = typed.count(u'a');
    const qsizetype bs = typed.count(u'b');
    // On time, a repeats at 600, 700 ... 1200 and b at 900 ... 1200; a late
    // timer makes up nothing, so a busy machine gives fewer.
    EXPECT_GE(as, 3);
    EXPECT_GE(bs, 1);
    EXPECT_GT(as, bs) << "a went down first and repeats on its own time";
    EXPECT_TRUE(typed.startsWith(u'a'));
    EXPECT_TRUE(key("a")->touchDown());
    EXPECT_TRUE(key("b")->touchDown());

    fingers->release(0, key("a")).send();
    const qsizetype afterA = typed.count(u'a');
    // Once more for the lift, after a repeat that may have fallen due since.
    EXPECT_GE(afterA, as + 1);
    EXPECT_LE(afterA, as + 2);
    EXPECT_FALSE(key("a")->touchDown());
    QTest::qWait(350);
    EXPECT_EQ(typed.count(u'a'), afterA) << "a lifted: no more repeats";
    EXPECT_GT(typed.count(u'b'), bs) << "b still held: it goes on";
    fingers->release(1, key("b")).send();
    expectAllLetGo();
}

TEST_F(KeyPanelTest, AKeyShowsPressedWhileAFingerHoldsIt)
{
    const QImage up = look(key("c"));
    fingers->press(0, key("c")).send();
    EXPECT_TRUE(key("c")->touchDown());
    EXPECT_NE(look(key("c")), up) << "drawn pressed";
    EXPECT_FALSE(key("c")->isDown()) << "the mouse's pressed state, which repeats on its own, stays off";
    fingers->press(1, key("c")).send();
    fingers->release(0, key("c")).send();
    EXPECT_TRUE(key("c")->touchDown()) << "the second finger still holds it";
    fingers->release(1, key("c")).send();
    EXPECT_EQ(look(key("c")), up);
    EXPECT_EQ(typed, "cc");
}

TEST_F(KeyPanelTest, AFingerThatLeavesItsKeyDoesNotType)
{
    struct Case {
        const char *label;
        std::function<void()> play;
    };
    const std::vector<Case> cases = {
        {"onto another key", [&] {
             fingers->press(0, key("a")).send();
             fingers->move(0, key("b")).send();
             EXPECT_FALSE(key("a")->touchDown());
             EXPECT_FALSE(key("b")->touchDown());
             fingers->release(0, key("b")).send();
         }},
        {"off and back", [&] {
             fingers->press(0, key("a")).send();
             fingers->move(0, panel, QPoint(390, 190)).send();
             fingers->move(0, key("a")).send();
             fingers->release(0, key("a")).send();
         }},
        {"onto another control, lifting there", [&] {
             fingers->press(0, key("a")).send();
             fingers->move(0, other).send();
             fingers->release(0, other).send();
             EXPECT_FALSE(otherClicked);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        c.play();
        EXPECT_EQ(typed, "");
    }
    expectAllLetGo();
}

TEST_F(KeyPanelTest, BadInputNeverTypesTwiceOrLeavesAKeyDown)
{
    struct Case {
        const char *label;
        std::function<void()> play;
        QString typed;
    };
    const std::vector<Case> cases = {
        {"a touch cancel", [&] {
             fingers->press(0, key("a")).press(1, key("b")).send();
             QTouchEvent cancel(QEvent::TouchCancel, Fingers::device());
             QApplication::sendEvent(panel, &cancel);
             EXPECT_FALSE(key("a")->touchDown());
             // The screen sends the lifts after all.
             fingers->release(0, key("a")).release(1, key("b")).send();
         }, ""},
        {"a finger that vanishes from the screen's reports", [&] {
             fingers->press(0, key("a")).send();
             fingers->forget();
             fingers->press(1, key("b")).send();
             EXPECT_FALSE(key("a")->touchDown());
             fingers->release(1, key("b")).send();
         }, "b"},
        {"eleven fingers", [&] {
             const QStringList eleven = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"};
             for (int finger = 0; finger < eleven.size(); ++finger)
                 fingers->press(finger, key(eleven[finger]));
             fingers->send();
             EXPECT_FALSE(key("k")->touchDown()) << "the eleventh finger is no key press";
             for (int finger = 0; finger < eleven.size(); ++finger)
                 fingers->release(finger, key(eleven[finger]));
             fingers->send();
         }, "abcdefghij"},
        {"the keyboard hides under a held key", [&] {
             fingers->press(0, key("a")).send();
             panel->hide();
             EXPECT_FALSE(key("a")->touchDown());
             fingers->release(0, key("a")).send();
             panel->show();
         }, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        typed.clear();
        c.play();
        EXPECT_EQ(typed, c.typed);
        expectAllLetGo();
        fingers->forget();
    }
}

TEST_F(KeyPanelTest, TheMouseWorksAsBefore)
{
    QTest::mouseClick(key("d"), Qt::LeftButton);
    EXPECT_EQ(typed, "d");
    QTest::mousePress(key("e"), Qt::LeftButton);
    QTest::qWait(KeyRepeat::FirstMs + 250);
    QTest::mouseRelease(key("e"), Qt::LeftButton);
    EXPECT_GE(typed.count(u'e'), 3) << "repeats, and one more at the release";
    EXPECT_FALSE(key("e")->isDown());
}

TEST_F(KeyPanelTest, FloatingOverAnotherWidgetAndBack)
{
    auto *page = new QWidget(window.get());
    page->setGeometry(0, 0, 400, 300);
    panel->setParent(page);
    panel->setGeometry(0, 100, 400, 200);
    page->show();
    panel->show();

    // Floated and docked again, it is back where it was, shown.
    panel->floatOver(window.get(), QRect(0, 50, 400, 200));
    panel->dock();
    EXPECT_EQ(panel->parentWidget(), page);
    EXPECT_TRUE(panel->isVisible());

    // Floating from a page that is hidden, it shows over the window.
    page->hide();
    panel->floatOver(window.get(), QRect(0, 50, 400, 200));
    EXPECT_TRUE(panel->floating());
    EXPECT_EQ(panel->parentWidget(), window.get());
    EXPECT_TRUE(panel->isVisible());
    // What the page asks meanwhile holds when the panel comes back.
    panel->hide();
    EXPECT_TRUE(panel->isVisible());
    fingers->tap(key("f"));
    EXPECT_EQ(typed, "f");

    panel->dock();
    EXPECT_FALSE(panel->floating());
    EXPECT_EQ(panel->parentWidget(), page);
    EXPECT_EQ(panel->geometry(), QRect(0, 100, 400, 200));
    page->show();
    EXPECT_FALSE(panel->isVisible()) << "the page hid it meanwhile";
}

} // namespace
} // namespace quill
