#pragma once

#include "sprite/celdata.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <vector>

namespace quill {

struct SpriteFileContent;

// The sprite being edited: `SpriteBuffer` in the layout of a sprite file (a
// header of width, height and cel count, then 32 cel slots of size x size
// colour indices), the current cel, the one-level undo, the cel clipboard and
// the scratch cel of the transforms. Slots at and beyond CelCount() are
// storage only. Every operation keeps header byte 2 equal to CelCount().
//
// Every change of what the document holds (its pixels, its cels, the current
// cel, the cel clipboard, its size, or the whole sprite at a switch to other
// work) announces itself with changed(); the cel buttons' operations announce
// themselves even when they are refused. Its name and its file alone change
// without it. The pixels are changed only through the document, so no change
// goes unannounced.
//
//   SpriteDocument doc(16);      // one empty cel, "1/1"
//   doc.addCel();                // "2/2", the new cel empty
//   doc.Undo();                  // "1/1" again
class SpriteDocument : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxCels = 32;
    static constexpr int HeaderSize = 3;

    explicit SpriteDocument(int size, QObject *parent = nullptr);

    // Replaces all four blocks by blocks for `size` (1 to 127), drops the
    // undo snapshot and starts a new sprite. A size outside 1 to 127 throws
    // QuillError and leaves the document as it was.
    void AllocateSpriteBuffers(int size);
    // One empty cel; every slot cleared; the undo snapshot stays.
    void NewSprite();

    // ---- switching to other work, each with a way back through Undo --------
    // Each takes a snapshot of the whole document (its size and its name
    // included) first, so that Un brings the former sprite back, at its
    // own size and under its own name.
    // The New button: an empty sprite without a name.
    void startNew();
    // A change of the sprite size: an empty sprite of `size` without a name.
    void startOver(int size);
    // OK in the file chooser: a checked file's content under `name`, which
    // is then the file the sprite came from.
    void open(const SpriteFileContent &content, const QString &name);

    // ---- the file the sprite belongs to -------------------------------------
    // The name field; the file last read or written (empty for none).
    const QString &name() const { return name_; }
    const QString &origin() const { return origin_; }
    void setName(const QString &name) { name_ = name; }
    // After Save under `name`: the sprite now belongs to that file.
    void savedAs(const QString &name);
    // Whether the sprite differs from what its file held when last read or
    // written (a sprite never saved always does).
    bool unsaved() const { return fileBytes() != savedBytes_; }
    // An empty sprite of one cel without a name: nothing worth keeping.
    bool pristine() const;
    // Takes the sprite back as the recovery journal kept it: the content,
    // the current cel, the name and the file it came from. Still unsaved.
    void recover(const SpriteFileContent &content, int currentCel, const QString &name,
                 const QString &origin);

    int spriteSize() const { return size_; }
    int CurrentCel() const { return currentCel_; }
    int CelCount() const { return celCount_; }
    // "n/N" for lblCel.
    QString celLabel() const;

    const std::vector<std::uint8_t> &SpriteBuffer() const { return buffer_; }
    ConstCelPixels currentCelPixels() const { return slot(currentCel_); }
    ConstCelPixels cel(int index) const { return slot(index); }
    std::uint8_t pixel(int x, int y) const { return currentCelPixels()[y * size_ + x]; }
    void setPixel(int x, int y, std::uint8_t color);
    // Runs edit(CelPixels) on the current cel's pixels; it returns whether
    // it changed them.
    template <typename Edit> bool editCurrentCel(Edit edit)
    {
        const bool edited = edit(slot(currentCel_));
        if (edited)
            emit changed();
        return edited;
    }

    void TakeUndoSnapshot();
    bool UndoAvailable() const { return undoAvailable_; }
    void discardUndo() { undoAvailable_ = false; }
    // Restores the last snapshot once; does nothing without one. A snapshot
    // taken by startNew, startOver or open brings back the size and the name
    // as well; the caller checks spriteSize() afterwards.
    void Undo();

    // A new empty cel at the end, made current; refused at 32 cels (the
    // snapshot is taken first in either case).
    void addCel();
    // Removes the current cel; refused, without a snapshot, at one cel.
    void deleteCel();
    void previousCel();
    void nextCel();
    void copyCel();
    void pasteCel();
    void eraseCel();
    ConstCelPixels CelClipboard() const { return clipboard_; }

    // Scratch space of the transforms; CommitWorkCel copies it over the
    // current cel.
    CelPixels WorkCel() { return work_; }
    void CommitWorkCel();

    // The bytes of the sprite file: the header and the cels in use.
    QByteArray fileBytes() const;
    // Takes a checked file's content: a file of another size reallocates the
    // buffers first (which drops the undo snapshot). Returns true when the
    // size changed.
    bool loadFile(const SpriteFileContent &content);

signals:
    void changed();

private:
    // The four blocks for `size`, the undo snapshot left alone.
    void reallocate(int size);
    void takeWholeSnapshot();
    static void checkContent(const SpriteFileContent &content);
    void takeContent(const SpriteFileContent &content);
    CelPixels slot(int index);
    ConstCelPixels slot(int index) const;
    std::size_t celBytes() const { return static_cast<std::size_t>(size_) * size_; }
    void writeHeader();

    int size_ = 0;
    int currentCel_ = 0;
    int celCount_ = 1;
    std::vector<std::uint8_t> buffer_;
    std::vector<std::uint8_t> undoBuffer_;
    int undoCurrentCel_ = 0;
    int undoCelCount_ = 1;
    int undoSize_ = 0;
    bool undoAvailable_ = false;
    // A snapshot of a switch to other work also holds the work's name.
    bool undoHasName_ = false;
    QString undoName_;
    QString undoOrigin_;
    QByteArray undoSavedBytes_;
    QString name_;
    QString origin_;
    QByteArray savedBytes_;
    std::vector<std::uint8_t> clipboard_;
    std::vector<std::uint8_t> work_;
};

} // namespace quill
