#include "base/settingsstore.h"

#include "base/onelinetext.h"
#include "base/quillerror.h"
#include "base/textfile.h"

#include <optional>

namespace quill {

namespace {

// The name of an entry is everything before its first "="; an entry without
// "=" has no name and never matches (it is kept and saved as it stands).
std::optional<QStringView> entryName(const QString &entry)
{
    const qsizetype separator = entry.indexOf(u'=');
    if (separator < 0)
        return std::nullopt;
    return QStringView(entry).left(separator);
}

} // namespace

int SettingsStore::indexOf(const QString &name) const
{
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const std::optional<QStringView> entry = entryName(entries_[i]);
        if (entry && entry->compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

QString SettingsStore::value(const QString &name) const
{
    const int index = indexOf(name);
    if (index < 0)
        return QString();
    const QString &entry = entries_[index];
    const qsizetype separator = entry.indexOf(u'=');
    return separator < 0 ? QString() : entry.mid(separator + 1);
}

void SettingsStore::setValue(const QString &name, const QString &value)
{
    if (holdsLineBreak(name) || holdsLineBreak(value))
        throw QuillError(QStringLiteral("Invalid setting %1.").arg(withoutLineBreaks(name)));
    const int index = indexOf(name);
    if (value.isEmpty()) {
        if (index >= 0)
            entries_.removeAt(index);
        return;
    }
    // The entry takes the name as written by this call, in the old entry's place.
    const QString entry = name + u'=' + value;
    if (index >= 0)
        entries_[index] = entry;
    else
        entries_.append(entry);
}

void SettingsStore::load(const QString &path)
{
    loadBytes(readBinaryFile(path));
}

void SettingsStore::loadBytes(const QByteArray &bytes)
{
    const TextFileContent content = decodeText(bytes);
    entries_ = content.lines;
    latin1_ = content.encoding == TextEncoding::Latin1;
    kept_ = content.malformed;
    // The lines the damage reached hold replacement characters; a setting
    // that could not be read is left out rather than read wrongly.
    if (kept_)
        entries_.removeIf([](const QString &entry) { return entry.contains(QChar::ReplacementCharacter); });
}

QString SettingsStore::keptFileMessage(const QString &path)
{
    return QStringLiteral("Settings file kept as it was: %1 cannot be read as text.").arg(path);
}

void SettingsStore::save(const QString &path) const
{
    if (const std::optional<QByteArray> bytes = fileBytes())
        writeBinaryFile(path, *bytes);
}

std::optional<QByteArray> SettingsStore::fileBytes() const
{
    if (kept_)
        return std::nullopt;
    // Always plain text without a byte-order mark, whatever the file had. An
    // older 8-bit file goes back as it came, so a path in it keeps its bytes;
    // once it holds a character Latin-1 cannot store, it becomes UTF-8.
    // A U+FEFF at the very start would read back as a mark and be lost: then
    // alone the file gets a mark, after which the character is kept.
    const bool keepLatin1 = latin1_ && canEncode(entries_, TextEncoding::Latin1);
    const bool startsWithMarkCharacter = !entries_.isEmpty() && entries_.first().startsWith(QChar(0xFEFF));
    return encodeText(entries_, keepLatin1                ? TextEncoding::Latin1
                                : startsWithMarkCharacter ? TextEncoding::Utf8Bom
                                                          : TextEncoding::Local8Bit);
}

} // namespace quill
