#include "base/journalwriter.h"

#include "base/quillerror.h"

#include <QMetaObject>

namespace quill {

JournalWriter::JournalWriter(const QString &folder, Done done, qsizetype limit)
    : journal_(folder, limit), done_(std::move(done)), thread_([this] { run(); })
{
}

JournalWriter::~JournalWriter()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void JournalWriter::write(const QString &slot, std::function<JournalEntry()> make)
{
    {
        std::lock_guard lock(mutex_);
        pending_[slot] = Request{std::move(make)};
    }
    wake_.notify_all();
}

void JournalWriter::remove(const QString &slot)
{
    {
        std::lock_guard lock(mutex_);
        pending_[slot] = Request{};
    }
    wake_.notify_all();
}

void JournalWriter::flush()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return pending_.empty() && !busy_; });
}

void JournalWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty()) {
            if (stopping_)
                return;
            continue;
        }
        auto next = pending_.begin();
        const QString slot = next->first;
        Request request = std::move(next->second);
        pending_.erase(next);
        busy_ = true;
        lock.unlock();

        std::optional<QString> error;
        try {
            if (request.make)
                journal_.write(slot, request.make());
            else
                journal_.remove(slot);
        } catch (const QuillError &failed) {
            error = failed.message();
        } catch (const std::exception &failed) {
            error = QString::fromLocal8Bit(failed.what());
        }
        QMetaObject::invokeMethod(
            &context_, [this, slot, error] { done_(slot, error); }, Qt::QueuedConnection);

        lock.lock();
        busy_ = false;
        if (pending_.empty())
            idle_.notify_all();
    }
}

} // namespace quill
