#include "editor/codeview.h"

#include "editor/codebuffer.h"
#include "editor/codeviewaccessible.h"
#include "editor/readertext.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

namespace quill {

CodeView::CodeView(QWidget *parent) : QWidget(parent)
{
    // Every pixel is painted here, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    static const bool readable = [] {
        QAccessible::installFactory(&CodeViewAccessible::create);
        return true;
    }();
    Q_UNUSED(readable);
}

CodeView::~CodeView() = default;

void CodeView::setBuffer(const CodeBuffer *buffer)
{
    if (buffer_)
        disconnect(buffer_, nullptr, this, nullptr);
    buffer_ = buffer;
    if (buffer_) {
        connect(buffer_, &CodeBuffer::contentChanged, this, qOverload<>(&QWidget::update));
        connect(buffer_, &CodeBuffer::viewChanged, this, qOverload<>(&QWidget::update));
        // A buffer that goes before the view leaves it black, not dangling.
        connect(buffer_, &QObject::destroyed, this, [this] { buffer_ = nullptr; });
    }
    update();
}

void CodeView::setFontSheet(const QImage &sheet)
{
    painter_ = std::make_unique<CodePainter>(sheet);
    update();
}

void CodeView::paintEvent(QPaintEvent *event)
{
    announceChanges();
    QPainter painter(this);
    if (!buffer_ || !painter_) {
        painter.fillRect(event->rect(), Qt::black);
        return;
    }
    painter_->paint(painter, *buffer_, cellSize_, size(), devicePixelRatioF());
}

void CodeView::announceChanges()
{
    if (!QAccessible::isActive() || !buffer_) {
        announced_.reset();
        reader_.reset();
        return;
    }
    // The text's offsets are counted again only when the text changed.
    if (!reader_ || readerBuffer_ != buffer_ || readerRevision_ != buffer_->revision()) {
        reader_ = std::make_unique<ReaderText>(buffer_->text());
        readerBuffer_ = buffer_;
        readerRevision_ = buffer_->revision();
    }
    const ReaderText &reader = *reader_;
    Announced now;
    now.buffer = buffer_;
    now.revision = buffer_->revision();
    now.cursor = reader.cursorOffset(*buffer_);
    now.selection = reader.selection(*buffer_);
    const bool sameText = announced_ && announced_->buffer == buffer_ && announced_->revision == now.revision;
    now.lines = sameText ? announced_->lines : buffer_->lines();
    if (!announced_) {
        // What was there before assistive technology listened is not news.
        announced_ = std::move(now);
        return;
    }
    if (!sameText) {
        if (const std::optional<TextChange> change = textChange(announced_->lines, now.lines)) {
            QAccessibleTextUpdateEvent event(this, change->position, change->removed, change->inserted);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (now.selection != announced_->selection) {
        // No selection is told as an empty one at the cursor.
        const ReaderText::Range selected = now.selection.value_or(ReaderText::Range{now.cursor, now.cursor});
        QAccessibleTextSelectionEvent event(this, selected.first, selected.second);
        QAccessible::updateAccessibility(&event);
    }
    if (now.cursor != announced_->cursor || !sameText) {
        QAccessibleTextCursorEvent event(this, now.cursor);
        QAccessible::updateAccessibility(&event);
    }
    announced_ = std::move(now);
}

void CodeView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    emit mousePressed(event->button(), event->modifiers(), event->position().x(), event->position().y());
}

void CodeView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons().testFlag(Qt::LeftButton))
        emit mouseDragged(event->modifiers(), event->position().x(), event->position().y());
}

void CodeView::mouseReleaseEvent(QMouseEvent *)
{
    emit mouseReleased();
}

void CodeView::wheelEvent(QWheelEvent *event)
{
    event->accept();
    emit wheelTurned(event->angleDelta(), event->modifiers());
}

bool CodeView::focusNextPrevChild(bool)
{
    return false;
}

} // namespace quill
