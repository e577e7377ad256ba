#include "app/numericsettings.h"

#include "base/constants.h"
#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/wholenumber.h"
#include "app/defaultsettings.h"

#include <algorithm>

namespace quill {

namespace {

void repairBounded(SettingsStore &settings, const QString &key, SettingBounds bounds,
                   int defaultValue, MessageSink &messages)
{
    if (boundedSetting(settings, key, bounds))
        return;
    messages.showMessage(QStringLiteral("Invalid setting %1.").arg(key));
    settings.setValue(key, QString::number(defaultValue));
}

} // namespace

std::optional<int> boundedSetting(const SettingsStore &settings, const QString &key,
                                  SettingBounds bounds)
{
    const std::optional<int> value = toWholeNumber(settings.value(key));
    if (!value || !bounds.contains(*value))
        return std::nullopt;
    return value;
}

void repairNumericSettings(SettingsStore &settings, int keyPanelWidth, MessageSink &messages)
{
    repairBounded(settings, QStringLiteral("width"), WidthBounds, 32, messages);
    repairBounded(settings, QStringLiteral("keyheight"), KeyHeightBounds,
                  std::clamp(installedKeyHeight(keyPanelWidth), KeyHeightBounds.smallest,
                             KeyHeightBounds.largest),
                  messages);
    repairBounded(settings, QStringLiteral("command"), CommandBounds, 26, messages);
    if (!settings.value(QStringLiteral("sprite")).isEmpty())
        repairBounded(settings, QStringLiteral("sprite"), SpriteSizeBounds, DefaultSpriteSize,
                      messages);
}

} // namespace quill
