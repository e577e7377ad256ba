#include "sprite/previewanimation.h"

namespace quill {

void PreviewAnimation::toggle(int celCount)
{
    playing_ = !playing_ && celCount > 0;
    frame_ = 0;
}

void PreviewAnimation::tick(int celCount)
{
    if (playing_ && celCount > 0)
        frame_ = (frame_ + 1) % celCount;
}

} // namespace quill
