#pragma once

#include "sprite/celtransforms.h"
#include "sprite/palette.h"
#include "sprite/spritedocument.h"

#include <QPointF>
#include <QString>
#include <optional>

namespace quill {

class SettingsStore;

// What a canvas tap does: Pen sets one pixel (and draws while dragging),
// Fill and Replace act once and then give way to Pen again.
enum class PenKind { Pen = 0, Fill = 1, Replace = 2 };
QString penKindCaption(PenKind kind);  // "Pn", "Fl", "Rp"

// The canvas cell under a point of the canvas, for a grid of `size` cells of
// `zoom` pixels: none unless 0 < x < size x zoom and 0 < y < size x zoom.
struct CelPoint {
    int x = 0;
    int y = 0;
};
std::optional<CelPoint> canvasCellAt(QPointF position, int zoom, int size);

// The sprite editor's whole state without any display: the document, the
// palette and the pen's colour, the pen kind and the shift direction. Every
// operation says whether the canvas must be repainted; the window only turns
// events into these calls.
//
//   SpriteEditor editor(16);
//   editor.tap(3, 4);            // pen: pixel (3, 4) := SelectedColor (2)
//   editor.cyclePenKind();       // "Fl"
//   editor.tap(0, 0);            // fills, and the pen is back
class SpriteEditor {
public:
    explicit SpriteEditor(int size) : document_(size) {}

    SpriteDocument &document() { return document_; }
    const SpriteDocument &document() const { return document_; }

    const Palette &palette() const { return palette_; }
    // Decodes the palette named by "palette"; a damaged value throws and
    // keeps the current colours.
    void ApplyPalette(const SettingsStore &settings);
    // The palette choice: decodes the named palette and only then stores its
    // name as "palette".
    void choosePalette(SettingsStore &settings, const QString &name);

    int SelectedColor() const { return selectedColor_; }
    void selectColor(int index);

    PenKind penKind() const { return penKind_; }
    void cyclePenKind();

    ShiftDirection shiftDirection() const { return shiftDirection_; }
    void cycleShiftDirection();

    // A tap on pixel (x, y) of the current cel with the current pen kind:
    // takes the undo snapshot, and returns true when the cel changed.
    bool tap(int x, int y);
    // A drag over pixel (x, y) with the button held: Pen only, no snapshot.
    bool drag(int x, int y);

    void rotate();
    void mirrorLeftRight();
    void mirrorTopBottom();
    void shift();

private:
    static Palette opaqueBlack()
    {
        Palette palette;
        palette.fill(0xFF000000u);
        return palette;
    }

    SpriteDocument document_;
    Palette palette_ = opaqueBlack();
    int selectedColor_ = 2;
    PenKind penKind_ = PenKind::Pen;
    ShiftDirection shiftDirection_ = ShiftDirection::Up;
};

} // namespace quill
