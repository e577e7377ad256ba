#pragma once

#include <QString>

class QWidget;

namespace quill {

struct WindowPlace;

// The window at the place kept in the file at path (app/windowplace.h): where
// it was, at the design's place (left 0, top designTop) when nothing was kept
// or the place lies off every screen, maximised when it was. Returns what
// was kept, the keyboard toggle included.
WindowPlace restoreWindowPlace(QWidget &window, const QString &path, int designTop);

// Keeps the window's place with the keyboard toggle in the file at path.
// Where the window stood is not the user's work: a state folder that cannot
// be written costs the next start its place, and no message.
void keepWindowPlace(const QWidget &window, bool keyboardHidden, const QString &path);

} // namespace quill
