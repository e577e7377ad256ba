#pragma once

// The processes a process has started, read from /proc: for tests that check
// which helper processes exist (the web engine's renderer, GPU and zygote
// processes are children or grandchildren of the program).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <sys/types.h>

namespace quill::testsupport {

struct ProcessEntry {
    pid_t pid;
    pid_t parent;
    QString name;  // the kernel's command name, at most 15 characters
};

inline QList<ProcessEntry> runningProcesses()
{
    QList<ProcessEntry> processes;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;  // ended meanwhile
        // "pid (name) state ppid ...": the name may hold blanks and brackets.
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('(');
        const qsizetype close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QList<QByteArray> rest = line.mid(close + 2).split(' ');
        if (rest.size() < 2)
            continue;
        processes.append({pid, static_cast<pid_t>(rest[1].toInt()),
                          QString::fromLocal8Bit(line.mid(open + 1, close - open - 1))});
    }
    return processes;
}

// The names of every process below `root` (children, their children ...).
inline QStringList descendantNames(pid_t root)
{
    const QList<ProcessEntry> all = runningProcesses();
    QList<pid_t> below{root};
    QStringList names;
    for (qsizetype i = 0; i < below.size(); ++i)
        for (const ProcessEntry &process : all)
            if (process.parent == below[i] && !below.contains(process.pid)) {
                below.append(process.pid);
                names.append(process.name);
            }
    return names;
}

// The web engine's helper processes below `root`.
inline int webEngineProcesses(pid_t root)
{
    int count = 0;
    for (const QString &name : descendantNames(root))
        if (name.startsWith(QStringLiteral("QtWebEngineProc")))
            ++count;
    return count;
}

} // namespace quill::testsupport
