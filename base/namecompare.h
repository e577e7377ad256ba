#pragma once

#include <QStringList>
#include <QStringView>

namespace quill {

// The one order of names in file lists and pick lists: letters a-z count as
// A-Z, every other character by its code, and a name that is a prefix of
// another comes first.
//
//   sortNames(list);   // "1x", "a", "ab", "abc", "B", "c", "_u"
int compareNames(QStringView left, QStringView right);
bool nameLess(QStringView left, QStringView right);
void sortNames(QStringList &names);

} // namespace quill
