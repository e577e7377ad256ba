#include "app/helppage.h"

#include "base/controls/controls.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QScroller>

namespace quill {

// The Help memo with room left and right of its text column: on a wide page
// the lines stay short enough to read, the scroll bar at the page's edge.
class HelpPage::HelpMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;
    using QPlainTextEdit::setViewportMargins;
};

HelpPage::HelpPage(QWidget *parent) : QWidget(parent)
{
    named(this, "TabItem3", QStringLiteral("Help page"));
    Memo1 = named(new HelpMemo(this), "Memo1", QStringLiteral("Help"));
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

QPlainTextEdit *HelpPage::memo() const
{
    return Memo1;
}

void HelpPage::showHelp(const QString &text)
{
    Memo1->setPlainText(text);
}

void HelpPage::layoutPage(const LayoutResult &layout)
{
    Memo1->setGeometry(0, 0, layout.pageWidth, layout.pageHeight);
    Memo1->setViewportMargins(layout.helpMargin, 0, layout.helpMargin, 0);
}

} // namespace quill
