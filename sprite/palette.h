#pragma once

#include "sprite/celdata.h"

#include <QRgb>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace quill {

class SettingsStore;

// The 16 colours of the active palette as ARGB values (alpha FF).
using Palette = std::array<QRgb, PaletteSize>;

// The value of a text of hexadecimal digits, "0"-"9", "a"-"f" or "A"-"F";
// empty gives 0. Any other character throws QuillError "Invalid palette.".
std::uint32_t HexToInt(QStringView text);

// Decodes a "plt" value: 6 digits RRGGBB per colour for the indices 0 to 15,
// each with alpha FF; colours the value is too short for are opaque black.
// Throws QuillError "Invalid palette." for a character that is no digit.
Palette decodePalette(const QString &value);

// Decodes the palette named by the setting "palette" into `palette`. A value
// that does not decode throws and leaves `palette` as it was; a name without
// a "plt" setting gives 16 opaque blacks.
void ApplyPalette(const SettingsStore &settings, Palette &palette);

// The names of every "plt" setting, without the prefix, in settings order.
QStringList paletteNames(const SettingsStore &settings);

// The colour bar: the swatch under x, within 0 to 15 (a tap right of the
// sixteenth swatch selects 15).
int swatchAt(double x, int swatchSize);

} // namespace quill
