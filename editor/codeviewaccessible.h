#pragma once

#include "editor/readertext.h"

#include <QAccessibleWidget>

#include <memory>

namespace quill {

class CodeText;
class CodeView;

// What assistive technology reads of the code view: an editable text whose
// text is the whole program (lines joined by "\n"), with the cursor and the
// selection, so that a screen reader reads the line at the cursor. Assistive
// technology reads only: the code changes through the keys, so setting the
// cursor or the selection from outside does nothing.
class CodeViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit CodeViewAccessible(CodeView *view);

    // The factory that QAccessible asks for every object.
    static QAccessibleInterface *create(const QString &className, QObject *object);

    void *interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text which) const override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int *startOffset,
                         int *endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    CodeView *view() const;
    // The reader of the text as it is now (remade when the text changed).
    const ReaderText *reader() const;

    mutable std::unique_ptr<ReaderText> reader_;
    mutable quint64 readerRevision_ = 0;
    mutable const CodeText *readerText_ = nullptr;
};

} // namespace quill
