#include "builder/runviewstate.h"

namespace quill {

void RunViewState::started(bool inBrowser)
{
    runActive_ = true;
    if (!inBrowser)
        overlay_ = OverlayState::Running;
}

bool RunViewState::close()
{
    runActive_ = false;
    if (overlay_ == OverlayState::Hidden)
        return false;
    overlay_ = OverlayState::Hidden;
    return true;
}

} // namespace quill
