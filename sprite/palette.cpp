#include "sprite/palette.h"

#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"

#include <algorithm>

namespace quill {

std::uint32_t HexToInt(QStringView text)
{
    std::uint32_t value = 0;
    for (const QChar c : text) {
        int digit;
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            digit = u - u'0';
        else if (u >= u'a' && u <= u'f')
            digit = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            digit = u - u'A' + 10;
        else
            throw QuillError(QStringLiteral("Invalid palette."));
        value = value * 16 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

Palette decodePalette(const QString &value)
{
    Palette palette{};
    for (int i = 0; i < PaletteSize; ++i) {
        const QStringView group = QStringView(value).mid(std::min<qsizetype>(6 * i, value.size()), 6);
        palette[i] = 0xFF000000u + (HexToInt(group) & 0xFFFFFFu);
    }
    // The digits after the sixteenth group count too: a stray character
    // anywhere marks the value as damaged.
    HexToInt(QStringView(value).mid(std::min<qsizetype>(6 * PaletteSize, value.size())));
    return palette;
}

void ApplyPalette(const SettingsStore &settings, Palette &palette)
{
    const QString name = settings.value(setting::PaletteInUse.name());
    palette = decodePalette(settings.value(QStringLiteral("plt") + name));
}

QStringList paletteNames(const SettingsStore &settings)
{
    QStringList names;
    for (const QString &entry : settings.entries()) {
        const qsizetype equals = entry.indexOf(u'=');
        if (entry.startsWith(QLatin1String("plt")) && equals >= 3)
            names.append(entry.mid(3, equals - 3));
    }
    return names;
}

int swatchAt(double x, int swatchSize)
{
    if (swatchSize < 1 || x < 0)
        return 0;
    return static_cast<int>(std::min<double>(x / swatchSize, HighestColorIndex));
}

} // namespace quill
