#pragma once

#include <QIcon>
#include <QString>

namespace quill {

// The name under which desktops know the program: its desktop entry, icon
// and AppStream metadata are all named after it.
QString applicationId();

// The application icon in every size the program carries.
QIcon applicationIcon();

// Gives the application its name, version, desktop file name and window
// icon, so that task bars and docks show the icon and group the window with
// its desktop entry. Call once, right after the application object exists.
void setApplicationIdentity();

} // namespace quill
