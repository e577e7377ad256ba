#include "app/systemfields.h"

#include "base/constants.h"
#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "app/installer.h"

#include <optional>

namespace quill {

namespace {

// Steps 1 to 7; false at the first field that fails, with the earlier steps done.
bool applySettings(const SystemFields &fields, SettingsStore &settings,
                   std::optional<int> &spriteSize)
{
    settings.setValue(setting::ExportDir.name(), fields.exportDir);

    const std::optional<int> width = wholeNumberIn(fields.width, setting::Width);
    if (!width)
        return false;
    settings.setValue(setting::Width.name(), QString::number(*width));

    const std::optional<int> keyHeight = wholeNumberIn(fields.keyHeight, setting::KeyHeight);
    if (!keyHeight)
        return false;
    settings.setValue(setting::KeyHeight.name(), QString::number(*keyHeight));

    // Stored as typed, so "026" stays "026". Empty is a bad number like any
    // other: without the key no layout pass could run.
    if (!wholeNumberIn(fields.command, setting::Command))
        return false;
    settings.setValue(setting::Command.name(), fields.command);

    settings.setValue(setting::Web.name(), fields.useWebBrowser ? QStringLiteral("1") : QStringLiteral("0"));

    spriteSize = wholeNumberIn(fields.spriteSize, setting::Sprite);
    return spriteSize.has_value();
}

} // namespace

SystemFields loadSystemFields(const SettingsStore &settings)
{
    SystemFields fields;
    fields.exportDir = settings.value(setting::ExportDir.name());
    fields.width = settings.value(setting::Width.name());
    fields.keyHeight = settings.value(setting::KeyHeight.name());
    fields.command = settings.value(setting::Command.name());
    fields.useWebBrowser = settings.value(setting::Web.name()) == QLatin1String("1");
    fields.spriteSize = settings.value(setting::Sprite.name());
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
    settings.setValue(setting::Sprite.name(), QString::number(*newSize));
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
    if (spriteSize != setting::Sprite.number)
        effects.resizeSprite(setting::Sprite.number);
    effects.loadSystemPage();
    effects.layoutScreen();
    if (const std::optional<QString> kept = keptFilesMessage(report))
        messages.showMessage(*kept);
    messages.showMessage(QStringLiteral("Done."));
}

} // namespace quill
