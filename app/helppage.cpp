// The Help page: one read-only text box that fills the page.
#include "app/ammain.h"

#include "base/controls/controls.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScroller>

namespace {

constexpr int HelpPixelSize = 20;

// The Help memo with room left and right of its text column: on a wide page
// the lines stay short enough to read, the scroll bar at the page's edge.
class HelpMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    using QPlainTextEdit::setViewportMargins;
};

} // namespace

void TfrmMain::createHelpPage(QWidget *page)
{
    Memo1 = quill::named(new HelpMemo(page), "Memo1", QStringLiteral("Help"));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Pixels, like every measure of the pages: at 20 points a 384-pixel page
    // would hold 23 columns and wrap every reference line.
    QFont font(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
    font.setPixelSize(HelpPixelSize);
    font.setStyleHint(QFont::Monospace);
    Memo1->setFont(font);
    // The room beside the text column is the text's own white, not the page's.
    Memo1->setAutoFillBackground(true);
    Memo1->setBackgroundRole(QPalette::Base);
    // A finger drags the text instead of selecting it.
    QScroller::grabGesture(Memo1->viewport(), QScroller::TouchGesture);
}

void TfrmMain::layoutHelpPage()
{
    Memo1->setGeometry(0, 0, layout_.pageWidth, layout_.pageHeight);
    static_cast<HelpMemo *>(Memo1)->setViewportMargins(layout_.helpMargin, 0, layout_.helpMargin, 0);
}
