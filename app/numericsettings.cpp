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
    for (const Setting *entry : {&setting::Width, &setting::KeyHeight, &setting::Command, &setting::Sprite}) {
        if (entry->missingMeansDefault && settings.value(entry->name()).isEmpty())
            continue;
        if (settingNumber(settings, *entry))
            continue;
        messages.showMessage(QStringLiteral("Invalid setting %1.").arg(entry->name()));
        // A default outside the range (a key height for a huge key panel)
        // is held to it.
        const int repaired = toWholeNumber(defaultValue(*entry, QString(), keyPanelWidth)).value_or(entry->smallest);
        settings.setValue(entry->name(), QString::number(std::clamp(repaired, entry->smallest, entry->largest)));
    }
}

} // namespace quill
