#include "sprite/spriteeditor.h"

#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "sprite/floodfill.h"
#include "sprite/replacecolor.h"

#include <algorithm>

namespace quill {

QString penKindCaption(PenKind kind)
{
    switch (kind) {
    case PenKind::Pen: return QStringLiteral("Pn");
    case PenKind::Fill: return QStringLiteral("Fl");
    case PenKind::Replace: return QStringLiteral("Rp");
    }
    return {};
}

std::optional<CelPoint> canvasCellAt(QPointF position, int zoom, int size)
{
    const double edge = static_cast<double>(zoom) * size;
    if (!(position.x() > 0 && position.x() < edge && position.y() > 0 && position.y() < edge))
        return std::nullopt;
    return CelPoint{static_cast<int>(position.x() / zoom), static_cast<int>(position.y() / zoom)};
}

void SpriteEditor::ApplyPalette(const SettingsStore &settings)
{
    quill::ApplyPalette(settings, palette_);
}

void SpriteEditor::choosePalette(SettingsStore &settings, const QString &name)
{
    palette_ = decodePalette(settings.value(QStringLiteral("plt") + name));
    settings.setValue(setting::PaletteInUse.name(), name);
}

void SpriteEditor::selectColor(int index)
{
    selectedColor_ = std::clamp(index, 0, PaletteSize - 1);
}

void SpriteEditor::cyclePenKind()
{
    penKind_ = static_cast<PenKind>((static_cast<int>(penKind_) + 1) % 3);
}

void SpriteEditor::cycleShiftDirection()
{
    shiftDirection_ = nextShiftDirection(shiftDirection_);
}

bool SpriteEditor::tap(int x, int y)
{
    const int size = document_.spriteSize();
    if (x < 0 || y < 0 || x >= size || y >= size)
        return false;
    const auto color = static_cast<std::uint8_t>(selectedColor_);
    document_.TakeUndoSnapshot();
    const PenKind kind = penKind_;
    penKind_ = PenKind::Pen;
    switch (kind) {
    case PenKind::Pen:
        if (document_.pixel(x, y) == color)
            return false;
        document_.setPixel(x, y, color);
        return true;
    case PenKind::Fill:
        return document_.editCurrentCel(
            [&](CelPixels cel) { return FloodFill(cel, size, x, y, color) > 0; });
    case PenKind::Replace:
        return document_.editCurrentCel([&](CelPixels cel) { return ReplaceColor(cel, size, x, y, color); });
    }
    return false;
}

bool SpriteEditor::drag(int x, int y)
{
    const int size = document_.spriteSize();
    if (penKind_ != PenKind::Pen || x < 0 || y < 0 || x >= size || y >= size)
        return false;
    const auto color = static_cast<std::uint8_t>(selectedColor_);
    if (document_.pixel(x, y) == color)
        return false;
    document_.setPixel(x, y, color);
    return true;
}

void SpriteEditor::rotate()
{
    RotateCel(document_.currentCelPixels(), document_.WorkCel(), document_.spriteSize());
    document_.CommitWorkCel();
}

void SpriteEditor::mirrorLeftRight()
{
    MirrorLeftRight(document_.currentCelPixels(), document_.WorkCel(), document_.spriteSize());
    document_.CommitWorkCel();
}

void SpriteEditor::mirrorTopBottom()
{
    MirrorTopBottom(document_.currentCelPixels(), document_.WorkCel(), document_.spriteSize());
    document_.CommitWorkCel();
}

void SpriteEditor::shift()
{
    ShiftCel(document_.currentCelPixels(), document_.WorkCel(), document_.spriteSize(), shiftDirection_);
    document_.CommitWorkCel();
}

} // namespace quill
