#pragma once

class QAbstractItemView;

namespace quill {

// Lets a finger use the list as on a touch screen: a drag scrolls it with
// momentum, a tap clicks the item under the finger and a second tap on it
// soon after double-clicks it. A drag never presses, selects or clicks an
// item, a tap on a list that is still gliding only stops it, and only the
// first finger on the list counts. The mouse and the wheel work as before.
// The one set-up of every list of the window (both file choosers and the
// pick list).
void scrollByFinger(QAbstractItemView *list);

} // namespace quill
