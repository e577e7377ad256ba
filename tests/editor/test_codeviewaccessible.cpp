// The code view as a screen reader reads it: its text, the cursor and the
// selection through the accessible text interface, and what changed told
// with every repaint while assistive technology listens. Runs on a desktop
// with an accessibility bus (tools/on-a11y-desktop.sh), where Qt's bridge to
// it is switched on.
#include "editor/codeview.h"

#include "editor/codebuffer.h"
#include "tests/builder/qtprint.h"
#include "tests/support/application.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QTest>

#include <memory>
#include <vector>

namespace quill {
namespace {

// What the view told assistive technology, written as text:
// "update 4 -'' +'x'", "cursor 5", "selection 2 5".
std::vector<QString> told;

void record(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextUpdated: {
        const auto *update = static_cast<QAccessibleTextUpdateEvent *>(event);
        told.push_back(QStringLiteral("update %1 -'%2' +'%3'")
                           .arg(update->changePosition())
                           .arg(update->textRemoved(), update->textInserted()));
        break;
    }
    case QAccessible::TextCaretMoved:
        told.push_back(QStringLiteral("cursor %1").arg(static_cast<QAccessibleTextCursorEvent *>(event)->cursorPosition()));
        break;
    case QAccessible::TextSelectionChanged: {
        const auto *selection = static_cast<QAccessibleTextSelectionEvent *>(event);
        told.push_back(QStringLiteral("selection %1 %2").arg(selection->selectionStart()).arg(selection->selectionEnd()));
        break;
    }
    default:
        break;
    }
}

class CodeViewAccessibleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        testsupport::ensureApplication();
    }

    void SetUp() override
    {
        buffer.loadLines({"var x;", "", "x=1;"});
        view = std::make_unique<CodeView>();
        view->setAccessibleName(QStringLiteral("Code view"));
        view->setBuffer(&buffer);
        QImage sheet(160, 160, QImage::Format_ARGB32);
        sheet.fill(Qt::gray);
        view->setFontSheet(sheet);
        view->setCellSize(10);
        view->resize(200, 100);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    void TearDown() override
    {
        QAccessible::installUpdateHandler(nullptr);
        view.reset();
    }

    // Waits for the bridge to the accessibility bus, then takes what the
    // views tell.
    static void listen()
    {
        ASSERT_TRUE(QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000))
            << "no accessibility bus: run on tools/on-a11y-desktop.sh";
        QAccessible::installUpdateHandler(&record);
    }

    QAccessibleInterface *reader() const { return QAccessible::queryAccessibleInterface(view.get()); }
    QAccessibleTextInterface *text() const { return reader()->textInterface(); }

    // Repaints and returns what the view told since the last call.
    std::vector<QString> repaint()
    {
        told.clear();
        view->repaint();
        return std::exchange(told, {});
    }

    CodeBuffer buffer;
    std::unique_ptr<CodeView> view;
};

TEST_F(CodeViewAccessibleTest, AScreenReaderReadsTheCode)
{
    QAccessibleInterface *code = reader();
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->role(), QAccessible::EditableText);
    EXPECT_EQ(code->text(QAccessible::Name), "Code view");
    EXPECT_TRUE(code->state().multiLine);
    ASSERT_NE(text(), nullptr);
    EXPECT_EQ(text()->characterCount(), 12);
    EXPECT_EQ(text()->text(0, text()->characterCount()), "var x;\n\nx=1;");
    EXPECT_EQ(code->text(QAccessible::Value), "var x;\n\nx=1;");

    buffer.setCursor(2, 2);
    EXPECT_EQ(text()->cursorPosition(), 10);
    int start = 0;
    int end = 0;
    EXPECT_EQ(text()->textAtOffset(text()->cursorPosition(), QAccessible::LineBoundary, &start, &end), "x=1;");
    EXPECT_EQ(start, 8);
    EXPECT_EQ(end, 12);
    EXPECT_EQ(text()->textAtOffset(4, QAccessible::WordBoundary, &start, &end).trimmed(), "x");
    EXPECT_EQ(text()->selectionCount(), 0);

    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(0, 4);
    buffer.setCursor(0, 5);
    EXPECT_EQ(text()->selectionCount(), 1);
    text()->selection(0, &start, &end);
    EXPECT_EQ(text()->text(start, end), "x;");

    // The cell of a character, and the character at a point.
    buffer.setScroll(0, 0);
    const QRect cell = text()->characterRect(9);
    EXPECT_EQ(cell, QRect(view->mapToGlobal(QPoint(10, 20)), QSize(10, 10)));
    EXPECT_EQ(text()->offsetAtPoint(view->mapToGlobal(QPoint(15, 25))), 9);

    // The text follows every change.
    buffer.insertText(1, 0, "y");
    EXPECT_EQ(text()->text(0, text()->characterCount()), "var x;\ny\nx=1;");
}

TEST_F(CodeViewAccessibleTest, ChangesAreToldWhileAssistiveTechnologyListens)
{
    ASSERT_NO_FATAL_FAILURE(listen());
    buffer.setCursor(0, 0);
    repaint();
    EXPECT_TRUE(repaint().empty()) << "nothing changed";

    buffer.insertText(2, 4, "2");
    buffer.setCursor(2, 5);
    EXPECT_EQ(repaint(), (std::vector<QString>{"update 12 -'' +'2'", "cursor 13"}));
    EXPECT_TRUE(repaint().empty()) << "told once";

    buffer.setCursor(0, 3);
    EXPECT_EQ(repaint(), (std::vector<QString>{"cursor 3"}));

    buffer.removeLine(1);
    EXPECT_EQ(repaint(), (std::vector<QString>{"update 7 -'\n' +''", "cursor 3"}));

    buffer.setSelectionActive(true);
    buffer.setSelectionAnchor(0, 0);
    EXPECT_EQ(repaint(), (std::vector<QString>{"selection 0 4"}));
    buffer.setSelectionActive(false);
    EXPECT_EQ(repaint(), (std::vector<QString>{"selection 3 3"}));
}

TEST_F(CodeViewAccessibleTest, AViewMadeWhileAssistiveTechnologyListensTellsOnlyChanges)
{
    ASSERT_NO_FATAL_FAILURE(listen());
    CodeBuffer other;
    other.loadLines({"abc"});
    view->setBuffer(&other);
    // The first repaint of another text is where reading starts, not a change.
    view.reset(new CodeView);
    view->setBuffer(&other);
    view->resize(100, 50);
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    EXPECT_TRUE(repaint().empty());
    other.insertText(0, 3, "d");
    EXPECT_EQ(repaint(), (std::vector<QString>{"update 3 -'' +'d'", "cursor 0"}));
}

} // namespace
} // namespace quill
