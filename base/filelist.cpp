#include "base/filelist.h"

#include "base/filename.h"
#include "base/namecompare.h"

#include <QDir>

namespace quill {

QStringList ListFiles(const QString &directory)
{
    // Without QDir::System, FIFOs, sockets, devices and broken links stay out.
    QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    names.removeIf([](const QString &name) { return hasControlCharacters(name); });
    sortNames(names);
    return names;
}

} // namespace quill
