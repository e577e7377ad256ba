#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace quill {

// The ordered name=value list behind quillide.ini. Names match without regard
// to case and the first entry of a name counts; setting an empty value removes
// the entry; new names are appended, existing ones keep their place.
//
//   SettingsStore s;  s.setValue("width", "32");  s.value("WIDTH") == "32"
class SettingsStore {
public:
    QString value(const QString &name) const;
    // A name or value holding a line break (base/onelinetext.h) would split
    // its entry into several lines of the file: it is refused with
    // QuillError "Invalid setting NAME." and the store is left as it was.
    void setValue(const QString &name, const QString &value);

    // The entries exactly as held ("name=value"), in order.
    const QStringList &entries() const { return entries_; }
    void replaceEntries(const QStringList &entries) { entries_ = entries; }

    // load replaces the whole list by the file's lines (CR LF, LF or CR);
    // save writes every entry followed by CR LF, in UTF-8, or in Latin-1 byte
    // for byte when the file loaded was not UTF-8. Both throw QuillError.
    //
    // A file whose bytes are not text in the encoding its byte-order mark
    // names (damaged UTF-8 after the mark, UTF-16 of odd length or with half
    // a surrogate pair) could not be written back as it was, and replacement
    // characters would take the place of its bytes: such a file is kept.
    // Its lines that could be read are loaded and the others left out (their
    // names read as missing), keptFile() turns true, and save() leaves the
    // file untouched for as long as the store lives.
    void load(const QString &path);
    void save(const QString &path) const;
    bool keptFile() const { return kept_; }

    // The same for the file's bytes: what load reads, and what save writes
    // (nothing for a kept file).
    void loadBytes(const QByteArray &bytes);
    std::optional<QByteArray> fileBytes() const;

    // What the user is told once about a kept file.
    static QString keptFileMessage(const QString &path);

private:
    int indexOf(const QString &name) const;
    QStringList entries_;
    bool latin1_ = false;  // the file loaded was not UTF-8
    bool kept_ = false;    // the file loaded cannot be written back as it was
};

} // namespace quill
