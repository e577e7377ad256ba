#include "builder/runviewstate.h"

namespace quill {

void RunViewState::started(bool inBrowser)
{
    runActive_ = true;
    if (!inBrowser)
        overlay_ = RunOverlay::Running;
}

bool RunViewState::close()
{
    runActive_ = false;
    if (overlay_ == RunOverlay::Hidden)
        return false;
    overlay_ = RunOverlay::Hidden;
    return true;
}

} // namespace quill
