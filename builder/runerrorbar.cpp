#include "builder/runerrorbar.h"

#include "builder/runlog.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>

namespace quill {

namespace {

constexpr int Padding = 6;
const QColor Background(0xb0, 0x00, 0x20);
const QColor PressedBackground(0x80, 0x00, 0x18);
const QString AccessibleWhat = QStringLiteral("Run error");

} // namespace

RunErrorBar::RunErrorBar(QWidget *parent) : QPushButton(parent)
{
    setObjectName(QStringLiteral("btnRunError"));
    setAccessibleName(AccessibleWhat);
    setFocusPolicy(Qt::NoFocus);
    setFlat(true);
    hold_.setSingleShot(true);
    hold_.setInterval(HoldMilliseconds);
    connect(&hold_, &QTimer::timeout, this, [this] {
        heldDown_ = true;
        setDown(false);
        emit held();
    });
}

void RunErrorBar::showError(const QString &text, int furtherErrors)
{
    furtherErrors_ = furtherErrors;
    // A screen reader reads the error itself; what the bar is, and how many
    // errors followed, is its description.
    setAccessibleDescription(furtherErrors > 0 ? AccessibleWhat + u' ' + furtherErrorsText(furtherErrors)
                                               : AccessibleWhat);
    setText(text);
    setAccessibleName(text.isEmpty() ? AccessibleWhat : text);
    update();
}

QStringList RunErrorBar::wrapped(int width) const
{
    QTextLayout layout(text(), font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width - 2 * Padding));
        lines << text().mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

int RunErrorBar::heightForWidth(int width) const
{
    const int lines = int(wrapped(width).size()) + (furtherErrors_ > 0 ? 1 : 0);
    return std::max(MinimumHeight, lines * fontMetrics().lineSpacing() + Padding);
}

QStringList RunErrorBar::linesFor(int width, int height) const
{
    QStringList lines = wrapped(width);
    const QString count = furtherErrors_ > 0 ? furtherErrorsText(furtherErrors_) : QString();
    const int room = std::max(1, (height - Padding) / fontMetrics().lineSpacing());
    if (lines.size() + (count.isEmpty() ? 0 : 1) <= room) {
        if (!count.isEmpty())
            lines << count;
        return lines;
    }
    // Too long for the bar: as many lines as fit, the last one ending in an
    // ellipsis, and under them the count and how to read the rest.
    const QString hint = count.isEmpty() ? QStringLiteral("Hold to read all.")
                                         : count + QStringLiteral(". Hold to read all.");
    const int textLines = std::max(1, room - 1);
    lines = lines.mid(0, textLines);
    lines.last() = fontMetrics().elidedText(lines.last() + QChar(0x2026), Qt::ElideRight,
                                            width - 2 * Padding);
    if (room > 1)
        lines << hint;
    return lines;
}

QStringList RunErrorBar::shownLines() const
{
    return linesFor(width(), height());
}

void RunErrorBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), isDown() ? PressedBackground : Background);
    painter.setPen(Qt::white);
    const int lineHeight = fontMetrics().lineSpacing();
    const QStringList lines = shownLines();
    int top = std::max(0, (height() - int(lines.size()) * lineHeight) / 2);
    for (const QString &line : lines) {
        painter.drawText(QRect(Padding, top, width() - 2 * Padding, lineHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, line);
        top += lineHeight;
    }
}

void RunErrorBar::mousePressEvent(QMouseEvent *event)
{
    heldDown_ = false;
    QPushButton::mousePressEvent(event);
    if (isDown())
        hold_.start();
}

void RunErrorBar::mouseReleaseEvent(QMouseEvent *event)
{
    hold_.stop();
    if (heldDown_) {
        // A hold is not a tap as well.
        heldDown_ = false;
        event->accept();
        return;
    }
    QPushButton::mouseReleaseEvent(event);
}

} // namespace quill
