#pragma once

#include <QString>
#include <QStringList>

namespace quill {

// The ordered name=value list behind quillide.ini. Names match without regard
// to case and the first entry of a name counts; setting an empty value removes
// the entry; new names are appended, existing ones keep their place.
//
//   SettingsStore s;  s.setValue("width", "32");  s.value("WIDTH") == "32"
class SettingsStore {
public:
    QString value(const QString &name) const;
    void setValue(const QString &name, const QString &value);

    // The entries exactly as held ("name=value"), in order.
    const QStringList &entries() const { return entries_; }
    void replaceEntries(const QStringList &entries) { entries_ = entries; }

    // load replaces the whole list by the file's lines (CR LF, LF or CR);
    // save writes every entry followed by CR LF, in UTF-8, or in Latin-1 byte
    // for byte when the file loaded was not UTF-8. Both throw QuillError.
    void load(const QString &path);
    void save(const QString &path) const;

private:
    int indexOf(const QString &name) const;
    QStringList entries_;
    bool latin1_ = false;  // the file loaded was not UTF-8
};

} // namespace quill
