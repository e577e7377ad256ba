#pragma once

#include "base/recoveryjournal.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace quill {

// Writes the recovery journal on a thread of its own, so that typing never
// waits for the disk. Each slot keeps only its latest request: a write
// asked for while an older one still waits replaces it, and a removal asked
// for after a write wins over it. The entry is made on the writing thread
// from what `make` captured (a cheap copy of the work, taken on the caller's
// thread). The outcome of every request is told to `done` on the thread that
// made the writer: no error, or the platform's reason.
//
//   JournalWriter writer(folder, [](const QString &slot, const std::optional<QString> &error) { ... });
//   writer.write("code", [text = buffer.text()] { return JournalEntry{{"text", text.encoded(...)}}; });
//   writer.flush();   // every request done, as at Quit
class JournalWriter {
public:
    using Done = std::function<void(const QString &slot, const std::optional<QString> &error)>;

    JournalWriter(const QString &folder, Done done, qsizetype limit = RecoveryJournal::DefaultLimit);
    // Finishes every request first.
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    void write(const QString &slot, std::function<JournalEntry()> make);
    void remove(const QString &slot);
    // Waits until every request so far is done (its outcome is told on the
    // next turn of the caller's event loop).
    void flush();

private:
    struct Request {
        std::function<JournalEntry()> make;  // empty: remove
    };
    void run();

    RecoveryJournal journal_;
    Done done_;
    QObject context_;  // lives on the making thread: `done` is called there
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::map<QString, Request> pending_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace quill
