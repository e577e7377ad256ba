#pragma once

#include "base/journalwriter.h"
#include "editor/edithistory.h"

#include <QByteArray>
#include <QString>

#include <limits>
#include <memory>
#include <optional>

class QTimer;

namespace quill {

class CodeBuffer;
class MessageSink;
class SpriteDocument;

// Keeps the unsaved code and sprite in the recovery journal, so that a kill,
// a power cut or a Quit loses at most the last moments of work, and brings
// them back at the next start. It follows the code and the sprite by the
// changes they announce and journals them a delay after a change; the
// entries are made and written on the journal's own thread from cheap
// copies, so typing never waits for the disk. A failure to write is told
// once, then nothing more until a write succeeds.
//
//   UnsavedWork work(stateFolder() + "journal/", messages);
//   if (auto recovered = work.recover(code, sprite, codeDir, spriteDir)) show(*recovered);
//   work.follow(code, sprite);            // journaled a second after each change
//   work.codeSaved(code);                 // after Save
class UnsavedWork {
public:
    // How long after a change the work is journaled, in milliseconds.
    static constexpr int DefaultDelay = 1000;

    UnsavedWork(const QString &folder, MessageSink &messages,
                qsizetype limit = RecoveryJournal::DefaultLimit);
    ~UnsavedWork();

    // What the journal kept from an earlier session: code or a sprite that
    // differs from its file (or, without a name, from a new one) goes back
    // into its editor, still unsaved, and the result is the one message
    // naming it ("Recovered unsaved changes: NAME."). Files that cannot be
    // read are set aside, and a message says where; nothing stops the start.
    std::optional<QString> recover(CodeBuffer &code, SpriteDocument &sprite, const QString &codeDir,
                                   const QString &spriteDir);

    // Journals the code when it holds unsaved changes made since it was last
    // journaled, and the same for the sprite. New work that is only a new
    // program or an empty sprite leaves the former entry in place.
    void checkpoint(const CodeBuffer &code, const SpriteDocument &sprite);
    // Checkpoints the two `delay` milliseconds after they announce a change
    // (the wait starts at the first change after a checkpoint), for as long
    // as the three live.
    void follow(const CodeBuffer &code, const SpriteDocument &sprite, int delay = DefaultDelay);
    // Checkpoints what it follows now, and waits until it is on disk.
    void keepNow();
    // The code's or the sprite's entry is removed: the work is in its file.
    void codeSaved(const CodeBuffer &code);
    void spriteSaved(const SpriteDocument &sprite);
    // Waits until everything asked of the journal is on disk.
    void flush() { writer_.flush(); }

    const QString &folder() const { return folder_; }

private:
    void told(const QString &slot, const std::optional<QString> &error);

    QString folder_;
    MessageSink &messages_;
    bool failing_ = false;
    // What was journaled last (or matches its file).
    quint64 codeRevision_ = std::numeric_limits<quint64>::max();
    FileIdentity codeIdentity_;
    QByteArray spriteBytes_;
    QString spriteName_;
    QString spriteOrigin_;
    int spriteCel_ = -1;
    const CodeBuffer *code_ = nullptr;
    const SpriteDocument *sprite_ = nullptr;
    std::unique_ptr<QTimer> timer_;
    JournalWriter writer_;  // last: its thread ends before the rest goes
};

} // namespace quill
