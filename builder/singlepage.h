#pragma once

#include "builder/pagegenerator.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

namespace quill {

// The bytes of one resource, by its workspace-relative path; throws
// QuillError when it cannot be read.
using ResourceReader = std::function<QByteArray(const QString &resource)>;
// Takes the page's bytes piece by piece, in order.
using PageWriter = std::function<void(QByteArrayView bytes)>;

// Writes the self-contained page: the page filled from `parts` as the page
// generator fills it, with every script element that loads one of the
// resources holding that script's text instead, and every other resource
// (images, sounds) in a table of data URLs that the engines' loaders are
// pointed at before the program runs. Nothing is fetched when it runs.
//
// Text from the template and the code keeps its characters and is written
// with CR LF line ends in the page's encoding, as the generated page is;
// script files are taken byte for byte (UTF-16 pages take them as text).
// A script whose text could end its element early ("</script", "<!--" or a
// NUL character in it) is carried as strings and run from there
// (carriedScript), so no program text can leave its script element. Resources are read one at a
// time, in the page's order; a read that throws stops the page.
void writeSinglePage(const PageParts &parts, const QStringList &resources,
                     const ResourceReader &read, const PageWriter &write);

} // namespace quill
