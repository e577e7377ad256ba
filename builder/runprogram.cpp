#include "builder/runprogram.h"

#include "base/settingsstore.h"
#include "base/settingstable.h"
#include "builder/runviewstate.h"

namespace quill {

bool runsInBrowser(const SettingsStore &settings)
{
    return settings.value(setting::Web.name()) == QLatin1String("1");
}

std::optional<GeneratedPage> startRun(const RunSource &source, const WorkspacePaths &paths,
                                      const SettingsStore &settings, RunViewState &state,
                                      MessageSink &messages)
{
    if (!source.fileName.isEmpty() && source.codeModified)
        source.saveCode();
    GeneratedPage page = generatePage(source.codeLines, source.fileName, paths, messages);
    if (!page.written)
        return std::nullopt;
    state.started(runsInBrowser(settings));
    return page;
}

} // namespace quill
