#pragma once

#include <QString>
#include <QStringList>

namespace quill {

// The names of the plain files directly inside a folder, in the one order of
// names (sortNames), for the file lists of both editors and the pick list.
// Regular files only, hidden ones included: no folders, and no symbolic
// links, devices, FIFOs or sockets, which could lead out of the folder or
// never end when read. Names holding a control character (a line break
// above all) are left out: a list item or an inserted declaration holds one
// line. A folder that does not exist lists nothing.
//
//   ListFiles(paths.codeDir);   // {"cat_sample", "sample3d"}
QStringList ListFiles(const QString &directory);

} // namespace quill
