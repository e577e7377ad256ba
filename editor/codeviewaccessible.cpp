#include "editor/codeviewaccessible.h"

#include "editor/codebuffer.h"
#include "editor/codeview.h"

#include <algorithm>

namespace quill {

CodeViewAccessible::CodeViewAccessible(CodeView *view) : QAccessibleWidget(view, QAccessible::EditableText) {}

QAccessibleInterface *CodeViewAccessible::create(const QString &, QObject *object)
{
    if (auto *view = qobject_cast<CodeView *>(object))
        return new CodeViewAccessible(view);
    return nullptr;
}

CodeView *CodeViewAccessible::view() const
{
    return static_cast<CodeView *>(widget());
}

void *CodeViewAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QAccessible::State CodeViewAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    state.focusable = true;
    return state;
}

QString CodeViewAccessible::text(QAccessible::Text which) const
{
    if (which == QAccessible::Value)
        return text(0, characterCount());
    return QAccessibleWidget::text(which);
}

const ReaderText *CodeViewAccessible::reader() const
{
    const CodeBuffer *buffer = view()->buffer();
    if (!buffer)
        return nullptr;
    if (!reader_ || readerRevision_ != buffer->revision() || &buffer->text() != readerText_) {
        reader_ = std::make_unique<ReaderText>(buffer->text());
        readerRevision_ = buffer->revision();
        readerText_ = &buffer->text();
    }
    return reader_.get();
}

void CodeViewAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    const ReaderText *text = reader();
    if (!text || selectionIndex != 0)
        return;
    if (const std::optional<ReaderText::Range> range = text->selection(*view()->buffer())) {
        *startOffset = range->first;
        *endOffset = range->second;
    }
}

int CodeViewAccessible::selectionCount() const
{
    const ReaderText *text = reader();
    return text && text->selection(*view()->buffer()) ? 1 : 0;
}

int CodeViewAccessible::cursorPosition() const
{
    const ReaderText *text = reader();
    return text ? text->cursorOffset(*view()->buffer()) : 0;
}

QString CodeViewAccessible::text(int startOffset, int endOffset) const
{
    const ReaderText *text = reader();
    return text ? text->text(startOffset, endOffset) : QString();
}

QString CodeViewAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                                         int *endOffset) const
{
    // The line at the cursor is what a screen reader asks for with every
    // move; it is found without reading the whole text.
    const ReaderText *text = reader();
    if (text && boundaryType == QAccessible::LineBoundary) {
        const ReaderText::Range line = text->lineAround(offset);
        *startOffset = line.first;
        *endOffset = line.second;
        return text->text(line);
    }
    return QAccessibleTextInterface::textAtOffset(offset, boundaryType, startOffset, endOffset);
}

int CodeViewAccessible::characterCount() const
{
    const ReaderText *text = reader();
    return text ? text->characterCount() : 0;
}

QRect CodeViewAccessible::characterRect(int offset) const
{
    const ReaderText *text = reader();
    if (!text)
        return {};
    const CodeBuffer &buffer = *view()->buffer();
    const auto [line, column] = text->positionOf(offset);
    const int cell = view()->cellSize();
    const QPoint topLeft((column - buffer.leftColumn()) * cell, (line - buffer.topLine()) * cell);
    return {view()->mapToGlobal(topLeft), QSize(cell, cell)};
}

int CodeViewAccessible::offsetAtPoint(const QPoint &point) const
{
    const ReaderText *text = reader();
    if (!text)
        return -1;
    const CodeBuffer &buffer = *view()->buffer();
    const QPoint local = view()->mapFromGlobal(point);
    if (!view()->rect().contains(local))
        return -1;
    const int cell = std::max(1, view()->cellSize());
    return text->offsetOf(local.y() / cell + buffer.topLine(), local.x() / cell + buffer.leftColumn());
}

QString CodeViewAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    // One font and one colour throughout.
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

} // namespace quill
