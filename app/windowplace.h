#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

namespace quill {

// What the window keeps of itself from one run to the next: its client area
// in the normal state (in screen coordinates), whether it was maximised, and
// whether the on-screen keyboard was hidden. It lives in "window.ini" in the
// state folder, one name=value line each (left, top, width, height,
// maximized, keyboard), never in quillide.ini or the workspace.
//
//   WindowPlace kept = readWindowPlace(stateFolder() + WindowPlaceFile);
//   if (const auto area = placeOnScreens(*kept.geometry, screens)) ...
struct WindowPlace {
    std::optional<QRect> geometry;
    bool maximized = false;
    bool keyboardHidden = false;
    bool operator==(const WindowPlace &) const = default;
};

inline const QString WindowPlaceFile = QStringLiteral("window.ini");

// The place kept at path. A missing, unreadable or damaged file, and any
// value in it that is not what it should be, read as nothing kept for that
// value: the window then opens as on a first start. Never throws.
WindowPlace readWindowPlace(const QString &path);

// Writes the place to path through a temporary file, making its folder when
// missing; throws QuillError with the platform's message.
void writeWindowPlace(const QString &path, const WindowPlace &place);

// Where a kept client area opens on today's screens (their available
// areas): where it was when its top strip (next to the title bar) lies on
// one of them with at least 64 pixels of its width, made no larger than that
// screen (and moved to its edge where it had to shrink); nothing when it
// lies off every screen, and the window opens at the design's place instead.
std::optional<QRect> placeOnScreens(const QRect &kept, const QList<QRect> &screens);

} // namespace quill
