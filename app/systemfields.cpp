#include "app/systemfields.h"

#include "base/constants.h"
#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/wholenumber.h"
#include "app/installer.h"
#include "app/numericsettings.h"

#include <optional>

namespace quill {

namespace {

std::optional<int> boundedNumber(const QString &text, SettingBounds bounds)
{
    const std::optional<int> number = toWholeNumber(text);
    if (!number || !bounds.contains(*number))
        return std::nullopt;
    return number;
}

// Steps 1 to 7; false at the first field that fails, with the earlier steps done.
bool applySettings(const SystemFields &fields, SettingsStore &settings,
                   std::optional<int> &spriteSize)
{
    settings.setValue(QStringLiteral("exportdir"), fields.exportDir);

    const std::optional<int> width = boundedNumber(fields.width, WidthBounds);
    if (!width)
        return false;
    settings.setValue(QStringLiteral("width"), QString::number(*width));

    const std::optional<int> keyHeight = boundedNumber(fields.keyHeight, KeyHeightBounds);
    if (!keyHeight)
        return false;
    settings.setValue(QStringLiteral("keyheight"), QString::number(*keyHeight));

    // Stored as typed, so "026" stays "026". Empty is a bad number like any
    // other: without the key no layout pass could run.
    if (!boundedNumber(fields.command, CommandBounds))
        return false;
    settings.setValue(QStringLiteral("command"), fields.command);

    settings.setValue(QStringLiteral("web"),
                      fields.useWebBrowser ? QStringLiteral("1") : QStringLiteral("0"));

    spriteSize = boundedNumber(fields.spriteSize, SpriteSizeBounds);
    return spriteSize.has_value();
}

} // namespace

SystemFields loadSystemFields(const SettingsStore &settings)
{
    SystemFields fields;
    fields.exportDir = settings.value(QStringLiteral("exportdir"));
    fields.width = settings.value(QStringLiteral("width"));
    fields.keyHeight = settings.value(QStringLiteral("keyheight"));
    fields.command = settings.value(QStringLiteral("command"));
    fields.useWebBrowser = settings.value(QStringLiteral("web")) == QLatin1String("1");
    fields.spriteSize = settings.value(QStringLiteral("sprite"));
    return fields;
}

void applySystemFields(const SystemFields &fields, SettingsStore &settings, int spriteSize,
                       const SystemPageEffects &effects, MessageSink &messages)
{
    std::optional<int> newSize;
    if (!applySettings(fields, settings, newSize)) {
        messages.showMessage(QStringLiteral("Error."));
        return;
    }
    if (*newSize != spriteSize)
        effects.resizeSprite(*newSize);
    settings.setValue(QStringLiteral("sprite"), QString::number(*newSize));
    effects.layoutScreen();
    messages.showMessage(QStringLiteral("Done."));
}

void restoreDefaults(const DefaultsTarget &target, int spriteSize,
                     const SystemPageEffects &effects, MessageSink &messages)
{
    const InstallReport report = installWorkspace(target.paths, target.settings, target.keywords,
                                                  target.keyPanelWidth, target.documentsDir,
                                                  target.keepDir);
    effects.unshift();
    if (spriteSize != DefaultSpriteSize)
        effects.resizeSprite(DefaultSpriteSize);
    effects.loadSystemPage();
    effects.layoutScreen();
    if (const std::optional<QString> kept = keptFilesMessage(report))
        messages.showMessage(*kept);
    messages.showMessage(QStringLiteral("Done."));
}

} // namespace quill
