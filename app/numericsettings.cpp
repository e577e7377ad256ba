#include "app/numericsettings.h"

#include "app/defaultsettings.h"
#include "app/messagesink.h"
#include "app/settingsstore.h"

#include <algorithm>
#include <climits>

namespace quill {

namespace {

constexpr int DefaultSpriteSize = 16;
constexpr int LargestSpriteSize = 127;  // the largest sprite the editor handles

void repair(SettingsStore &settings, const QString &key, int defaultValue, MessageSink &messages)
{
    messages.showMessage(QStringLiteral("Invalid setting %1.").arg(key));
    settings.setValue(key, QString::number(defaultValue));
}

void repairPositive(SettingsStore &settings, const QString &key, int defaultValue,
                    MessageSink &messages)
{
    const std::optional<int> value = toWholeNumber(settings.value(key));
    if (!value || *value <= 0)
        repair(settings, key, defaultValue, messages);
}

} // namespace

std::optional<int> toWholeNumber(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // The magnitude may reach INT_MAX + 1 so that INT_MIN converts too.
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

void repairNumericSettings(SettingsStore &settings, int keyPanelWidth, MessageSink &messages)
{
    repairPositive(settings, QStringLiteral("width"), 32, messages);
    repairPositive(settings, QStringLiteral("keyheight"),
                   std::max(1, installedKeyHeight(keyPanelWidth)), messages);
    repairPositive(settings, QStringLiteral("command"), 26, messages);

    const QString sprite = settings.value(QStringLiteral("sprite"));
    if (sprite.isEmpty())
        return;
    const std::optional<int> spriteSize = toWholeNumber(sprite);
    if (!spriteSize || *spriteSize < 1 || *spriteSize > LargestSpriteSize)
        repair(settings, QStringLiteral("sprite"), DefaultSpriteSize, messages);
}

} // namespace quill
