#include "builder/includeexpander.h"

#include <QHash>
#include <QSet>

#include <deque>

namespace quill {

namespace {

const QString IncludePrefix = QStringLiteral("include ");

// Every expansion of an include line counts, nested or not. Real programs use
// a handful; the limit stops what the cycle test cannot see: include trees
// that double at every level, or a cycle through hard links.
constexpr int MaxIncludeExpansions = 100000;

// One file of the include chain whose lines are being taken, or the user's
// code at the bottom of the chain.
struct SourceFrame {
    const QStringList *lines;
    qsizetype next = 0;
    int source = 0;
    QString identity;
};

struct CachedInclude {
    IncludeFile file;
    int source = 0;
};

} // namespace

ExpandedCode expandIncludes(const QStringList &codeLines, IncludeReader &reader,
                                           MessageSink &messages, qsizetype sizeLimit)
{
    ExpandedCode expanded;
    expanded.sources.append(QString());
    expanded.lines.reserve(codeLines.size());
    expanded.origins.reserve(std::size_t(codeLines.size()));

    // The lines are taken in order from a chain of sources: an include line
    // opens its file on top of the chain, so the file's lines come next, each
    // examined afresh (an included include line expands again), and the
    // source below continues when the file is used up. This is the same
    // order as splicing the file's lines into a list in place of the include
    // line, without moving the rest of the list on every include.
    std::vector<SourceFrame> chain;
    chain.push_back(SourceFrame{&codeLines, 0, 0, QString()});
    QSet<QString> openIncludes;
    // Include files as read, by name; a file included many times is read
    // once. A deque never moves what it holds, so frames can point into it.
    std::deque<CachedInclude> includeFiles;
    QHash<QString, qsizetype> includeIndex;
    int expansions = 0;
    qsizetype size = 0;

    while (!chain.empty()) {
        SourceFrame &frame = chain.back();
        // A file leaves the chain only once its last line has been dealt
        // with, so a last line that includes the file itself is a cycle.
        if (frame.next == frame.lines->size()) {
            openIncludes.remove(frame.identity);
            chain.pop_back();
            continue;
        }
        const qsizetype lineIndex = frame.next++;
        const QString &line = frame.lines->at(lineIndex);

        if (!line.startsWith(IncludePrefix)) {
            size += line.size() + 1;
            if (size > sizeLimit) {
                messages.showMessage(QStringLiteral("Too large: %1.")
                                         .arg(frame.source == 0 ? QStringLiteral("the page")
                                                                : expanded.sources[frame.source]));
                return expanded;
            }
            expanded.lines.append(line);
            expanded.origins.push_back({frame.source, int(lineIndex)});
            continue;
        }

        const QString name = line.mid(IncludePrefix.size());
        auto known = includeIndex.constFind(name);
        if (known == includeIndex.constEnd()) {
            std::optional<IncludeFile> file = reader.readInclude(name);
            if (!file) {
                messages.showMessage(QStringLiteral("Failed to open ") + name);
                return expanded;
            }
            const int source = int(expanded.sources.size());
            expanded.sources.append(name);
            includeFiles.push_back(CachedInclude{std::move(*file), source});
            known = includeIndex.insert(name, qsizetype(includeFiles.size()) - 1);
        }
        const CachedInclude *cached = &includeFiles[*known];
        if (openIncludes.contains(cached->file.identity)) {
            messages.showMessage(QStringLiteral("Include cycle at %1.").arg(name));
            return expanded;
        }
        if (++expansions > MaxIncludeExpansions) {
            messages.showMessage(QStringLiteral("Too many includes at %1.").arg(name));
            return expanded;
        }
        openIncludes.insert(cached->file.identity);
        chain.push_back(SourceFrame{&cached->file.lines, 0, cached->source, cached->file.identity});
    }
    expanded.complete = true;
    return expanded;
}

} // namespace quill
