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

// The panel runs on the test's clock, so that every repeat falls at a known
// time however busy the machine is. A screen reports a held finger again
// and again as it trembles on the glass; each report gives the repeats due
// by its time (the panel's own timer would give the same ones).
TEST_F(KeyPanelTest, EachHeldKeyRepeatsOnItsOwn)
{
    qint64 now = 0;
    panel->setClock([&now] { return now; });
    const QPoint aAt = key("a")->rect().center();
    const QPoint bAt = key("b")->rect().center();
    int tremble = 0;
    // At `time` the screen reports both fingers where they are held.
    const auto reportAt = [&](qint64 time, bool bDown = true) {
        now = time;
        const QPoint shift(++tremble % 2, 0);
        fingers->move(0, key("a"), aAt + shift);
        if (bDown)
            fingers->move(1, key("b"), bAt + shift);
        fingers->send();
    };

    fingers->press(0, key("a"), aAt).send();
    now = 300;
    fingers->press(1, key("b"), bAt).send();
    reportAt(599);
    EXPECT_EQ(typed, "") << "nothing repeats before 600 ms";
    EXPECT_TRUE(key("a")->touchDown());
    EXPECT_TRUE(key("b")->touchDown());

    struct Step {
        qint64 time;
        QString typed;
    };
    // a repeats at 600, 700, 800 ...; b, 300 ms later, at 900, 1000 ...; at
    // the same moment the key that went down first goes first.
    const std::vector<Step> steps = {
        {600, "a"}, {700, "aa"}, {800, "aaa"}, {900, "aaaab"}, {1000, "aaaabab"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.time);
        reportAt(step.time);
        EXPECT_EQ(typed, step.typed);
    }

    // A lift types once more; the other key goes on on its own time.
    now = 1050;
    fingers->release(0, key("a"), aAt).send();
    EXPECT_EQ(typed, "aaaababa");
    EXPECT_FALSE(key("a")->touchDown());
    now = 1100;
    fingers->move(1, key("b"), bAt).send();
    EXPECT_EQ(typed, "aaaababab");
    now = 1300;
    fingers->move(1, key("b"), bAt + QPoint(1, 0)).send();
    EXPECT_EQ(typed, "aaaabababb") << "a late report makes up no missed repeat";
    now = 1350;
    fingers->release(1, key("b"), bAt).send();
    EXPECT_EQ(typed, "aaaabababbb");
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
