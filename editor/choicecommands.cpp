#include "editor/choicecommands.h"

#include "base/filelist.h"
#include "base/wholecharacters.h"
#include "base/textfile.h"
#include "editor/clipboardtext.h"
#include "editor/codebuffer.h"
#include "editor/completion.h"
#include "editor/editorchoices.h"
#include "editor/keyboardlayer.h"
#include "editor/spritedeclaration.h"
#include "editor/templates.h"
#include "editor/textsplice.h"
#include "editor/undostep.h"
#include "editor/wordbeforecursor.h"

#include <algorithm>

namespace quill {
namespace {

// Changes a line to `text` by the smallest edit: what both share at the
// start and at the end stays, so the undo history keeps only the difference.
void changeLine(CodeBuffer &buffer, int index, const QString &text)
{
    const QString &old = buffer.line(index);
    if (old == text)
        return;
    const qsizetype shorter = std::min(old.size(), text.size());
    qsizetype head = 0;
    while (head < shorter && old[head] == text[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && old[old.size() - 1 - tail] == text[text.size() - 1 - tail])
        ++tail;
    // Never split a pair of surrogates.
    if (splitsPair(old, head))
        --head;
    if (tail > 0 && splitsPair(old, old.size() - tail))
        --tail;
    const QString inserted = text.mid(head, text.size() - head - tail);
    buffer.removeText(index, int(head), int(old.size() - head - tail));
    buffer.insertText(index, int(head), inserted);
}

} // namespace

ChoiceCommands::ChoiceCommands(CodeBuffer &buffer, KeyboardLayer &keyboard, EditorChoices &choices)
    : buffer_(buffer), keyboard_(keyboard), choices_(choices)
{
}

void ChoiceCommands::apply(const TextSplice &splice)
{
    const int common = std::min(splice.removedCount, int(splice.insertedLines.size()));
    for (int i = 0; i < common; ++i)
        changeLine(buffer_, splice.firstLine + i, splice.insertedLines[i]);
    if (common < splice.insertedLines.size())
        buffer_.insertLines(splice.firstLine + common, splice.insertedLines.mid(common));
    if (common < splice.removedCount)
        buffer_.removeLines(splice.firstLine + common, splice.removedCount - common);
    buffer_.setCursor(splice.cursorLine, splice.cursorColumn);
}

// ---- the pick list's commands ------------------------------------------------

void ChoiceCommands::Ky()
{
    const Completion completion = completeAtCursor(buffer_.text(), buffer_.cursorLine(), buffer_.cursorColumn(),
                                                   choices_.keywords(), declaredNames_, WordLength);
    if (completion.completes)
        buffer_.InsertAtCursor(completion.insertText);
    else if (completion.offers())
        choices_.offerChoices(PickMode::Keywords, completion.choices);
}

void ChoiceCommands::Tm()
{
    const QString word = WordBeforeCursor(buffer_.line(buffer_.cursorLine()), buffer_.cursorColumn());
    const TemplateChoices templates = ChooseTemplates(ListFiles(sources_.templateDir), word);
    WordLength = templates.WordLength;
    choices_.offerChoices(PickMode::Templates, templates.items);
}

void ChoiceCommands::Sp()
{
    choices_.offerChoices(PickMode::SpriteImages, SpriteImageChoices(ListFiles(sources_.imageDir)));
}

void ChoiceCommands::Au()
{
    choices_.offerChoices(PickMode::SoundFiles, ListFiles(sources_.audioDir));
}

void ChoiceCommands::Jp()
{
    jumps_ = ListJumpTargets(buffer_.text());
    if (!jumps_.items.isEmpty())
        choices_.offerChoices(PickMode::JumpTargets, jumps_.items);
}

void ChoiceCommands::choose(PickMode mode, int index, const QString &item)
{
    const UndoStep step(buffer_);
    const int line = buffer_.cursorLine();
    const int column = buffer_.cursorColumn();
    switch (mode) {
    case PickMode::Keywords:
        buffer_.setCodeModified(true);
        buffer_.InsertAtCursor(item.mid(WordLength));
        return;
    case PickMode::Templates: {
        // Read before anything changes: a template that cannot be read
        // leaves the text as it was.
        const QStringList templateLines = readTextFile(sources_.templateDir + item).lines;
        buffer_.setCodeModified(true);
        apply(TemplateInsertion(buffer_.text(), line, column, WordLength, templateLines));
        buffer_.ScrollToCursor();
        return;
    }
    case PickMode::JumpTargets:
        if (const auto target = JumpTargetLine(jumps_.JumpLines, index, buffer_.lineCount()))
            buffer_.setCursor(*target, 0);
        buffer_.ScrollToCursor();
        keyboard_.Unshift();
        return;
    case PickMode::SpriteImages: {
        const QSize size = imageSizeOf(sources_.imageDir + item);
        buffer_.setCodeModified(true);
        apply(declarationInsertion(line, SpriteDeclaration(item, size.width(), size.height(), choices_.spriteSize()),
                                   SpriteDeclarationColumn));
        buffer_.ScrollToCursor();
        keyboard_.Unshift();
        return;
    }
    case PickMode::SoundFiles:
        buffer_.setCodeModified(true);
        apply(declarationInsertion(line, SoundDeclaration(item), SoundDeclarationColumn));
        buffer_.ScrollToCursor();
        keyboard_.Unshift();
        return;
    case PickMode::None:
    case PickMode::Palettes:
        return;
    }
}

// ---- selection and clipboard ---------------------------------------------------

void ChoiceCommands::Sl()
{
    buffer_.setSelectionActive(!buffer_.selectionActive());
    buffer_.setSelectionAnchor(buffer_.cursorLine(), buffer_.cursorColumn());
    keyboard_.Unshift();
}

namespace {

SelectionRange rangeOf(const CodeBuffer &buffer)
{
    return SelectionRange{buffer.selectionAnchorLine(), buffer.selectionAnchorColumn(), buffer.cursorLine(),
                          buffer.cursorColumn()};
}

} // namespace

void ChoiceCommands::Cp()
{
    choices_.setClipboardText(ClipboardText(SelectedLines(buffer_.text(), rangeOf(buffer_))));
    keyboard_.Unshift();
    buffer_.setSelectionActive(false);
}

void ChoiceCommands::Ct()
{
    const Cut cut = CutSelection(buffer_.text(), rangeOf(buffer_));
    if (cut.removal)
        apply(*cut.removal);
    choices_.setClipboardText(ClipboardText(cut.ClipLines));
    keyboard_.Unshift();
    buffer_.setSelectionActive(false);
}

void ChoiceCommands::Ps()
{
    const QString text = choices_.clipboardText();
    if (text.isEmpty()) {
        leaveViewAlone_ = true;
        return;
    }
    if (const auto paste = PasteInsertion(buffer_.text(), buffer_.cursorLine(), buffer_.cursorColumn(),
                                          ClipboardLines(text)))
        apply(*paste);
}

// ---- find and replace ------------------------------------------------------------

void ChoiceCommands::Fi()
{
    if (const auto change = findCommand(buffer_.text(), buffer_.cursorLine(), buffer_.cursorColumn(), search_))
        apply(*change);
}

void ChoiceCommands::Fn()
{
    if (search_.FindText.isEmpty())
        return;
    if (const auto change = findNextCommand(buffer_.text(), buffer_.cursorLine(), buffer_.cursorColumn(), search_))
        apply(*change);
}

void ChoiceCommands::Rp()
{
    for (const TextSplice &change :
         replaceCommand(buffer_.text(), buffer_.cursorLine(), buffer_.cursorColumn(), search_))
        apply(change);
}

void ChoiceCommands::Rn()
{
    if (search_.FindText.isEmpty())
        return;
    if (const auto change = replaceNextCommand(buffer_.text(), buffer_.cursorLine(), search_))
        apply(*change);
}

} // namespace quill
