#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quill {

// One piece of unsaved work as named fields of bytes ("name", "text" ...).
using JournalEntry = QMap<QByteArray, QByteArray>;

// The bytes of an entry: a fixed mark, the fields with their lengths, and a
// SHA-1 of all that. decodeJournalEntry takes only bytes that are exactly
// such a record: a file cut short anywhere, or with any byte changed,
// decodes to nothing, never to part of an entry.
QByteArray encodeJournalEntry(const JournalEntry &entry);
std::optional<JournalEntry> decodeJournalEntry(const QByteArray &bytes);

// The recovery journal: one file per slot ("code", "sprite") in a folder of
// the user's state folder, each replaced whole through a temporary file,
// fsync and a rename, so that a kill at any moment leaves either the former
// entry or the new one. The folder is bounded: when its files hold more than
// the limit, the oldest go first (a single entry above the limit is not kept
// at all, and writing it fails).
//
//   RecoveryJournal journal(stateFolder() + "journal/");
//   journal.write("code", {{"name", "game"}, {"text", bytes}});
//   for (const RecoveryJournal::Found &found : journal.read()) ...
class RecoveryJournal {
public:
    static constexpr qsizetype DefaultLimit = 64 * 1024 * 1024;

    explicit RecoveryJournal(QString folder, qsizetype limit = DefaultLimit);

    const QString &folder() const { return folder_; }
    QString pathOf(const QString &slot) const;

    // Throws QuillError with the platform's reason when the entry cannot be
    // written (the former entry of the slot then stays as it was).
    void write(const QString &slot, const JournalEntry &entry);
    // Removes the slot's entry; a missing one is nothing to remove.
    void remove(const QString &slot);

    struct Found {
        QString slot;
        JournalEntry entry;
    };
    struct Contents {
        std::vector<Found> entries;
        // Files that could not be read, each renamed aside (never trusted
        // half-way and never read again) under the name given here.
        QStringList setAside;
    };
    // Every readable entry, in slot order. Left-over temporary files of an
    // interrupted write are removed.
    Contents read();

private:
    void keepWithinLimit(const QString &written);

    QString folder_;
    qsizetype limit_;
};

} // namespace quill
