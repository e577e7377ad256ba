#include "app/numericsettings.h"

#include "base/messagesink.h"
#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "base/wholenumber.h"

#include <algorithm>

namespace quill {

void repairNumericSettings(SettingsStore &settings, int keyPanelWidth, MessageSink &messages)
{
    // In the order start-up reports them.
    for (const SettingSpec *spec : {&setting::Width, &setting::KeyHeight, &setting::Command, &setting::Sprite}) {
        if (spec->missingMeansDefault && settings.value(spec->name()).isEmpty())
            continue;
        if (settingNumber(settings, *spec))
            continue;
        messages.showMessage(QStringLiteral("Invalid setting %1.").arg(spec->name()));
        // A default outside the range (a key height for a huge key panel)
        // is held to it.
        const int repaired = toWholeNumber(defaultValue(*spec, QString(), keyPanelWidth)).value_or(spec->smallest);
        settings.setValue(spec->name(), QString::number(std::clamp(repaired, spec->smallest, spec->largest)));
    }
}

} // namespace quill
