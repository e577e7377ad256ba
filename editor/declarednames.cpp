#include "editor/declarednames.h"

#include "editor/declarednamescanner.h"

#include <QSet>

#include <algorithm>
#include <vector>

namespace quill {
namespace {

// Picks the names a query asks for from the declarations, given in text order.
class NameCollector {
public:
    explicit NameCollector(const NameQuery &query) : query_(query) {}

    void add(const QString &name, int line, int start)
    {
        if (!name.startsWith(query_.prefix))
            return;
        if (line == query_.cursorLine && start < query_.cursorColumn
            && query_.cursorColumn <= start + name.size())
            return;
        if (seen_.contains(name))
            return;
        seen_.insert(name);
        names_.append(name);
    }

    QStringList names() const { return names_; }

private:
    const NameQuery &query_;
    QSet<QString> seen_;
    QStringList names_;
};

// Two lines are the same when they share their text: the index holds a
// copy of each line, so shared text cannot have changed in between.
bool sameLine(const QString &text, const QString &indexed)
{
    return text.constData() == indexed.constData() && text.size() == indexed.size();
}

// A checkpoint (the scan's state before the line) every so many lines
// bounds the lines scanned again around a change.
constexpr int CheckpointSpacing = 64;

} // namespace

QStringList DeclaredNames(const CodeText &lines, const NameQuery &query)
{
    NameCollector collector(query);
    ScanState state;
    std::vector<FoundName> found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        found.clear();
        scanDeclarations(lines[i], int(i), state, found);
        for (const FoundName &name : found)
            collector.add(name.name, name.line, name.start);
    }
    return collector.names();
}

struct DeclaredNameIndex::Data {
    struct Declared {
        QString name;
        int lineOffset = 0;  // the name's line relative to the line that completed it
        int start = 0;
    };
    struct Extra {
        std::vector<Declared> declared;
        std::unique_ptr<ScanState> checkpoint;  // the state before the line
    };
    struct Line {
        QString text;
        std::unique_ptr<Extra> extra;  // none for most lines

        const ScanState *checkpoint() const { return extra ? extra->checkpoint.get() : nullptr; }
    };

    void update(const CodeText &text);

    std::vector<Line> lines;
    int scanned = 0;
};

void DeclaredNameIndex::Data::update(const CodeText &text)
{
    const int newCount = int(text.size());
    const int oldCount = int(lines.size());
    const int common = std::min(newCount, oldCount);
    int prefix = 0;
    while (prefix < common && sameLine(text[prefix], lines[prefix].text))
        ++prefix;
    scanned = 0;
    if (prefix == newCount && newCount == oldCount)
        return;
    int suffix = 0;
    while (suffix < common - prefix && sameLine(text[newCount - 1 - suffix], lines[oldCount - 1 - suffix].text))
        ++suffix;

    // Go back to the last checkpoint at or before the first changed line.
    int start = std::max(std::min(prefix, oldCount - 1), 0);
    while (start > 0 && !lines[start].checkpoint())
        --start;
    ScanState state = start < oldCount && lines[start].checkpoint() ? *lines[start].checkpoint() : ScanState();

    // Scan until a checkpoint of the unchanged end finds the scan where it stood.
    const int shift = newCount - oldCount;
    int resume = oldCount;  // the first old line kept after the scanned ones
    std::vector<Line> scannedLines;
    std::vector<FoundName> found;
    int sinceCheckpoint = CheckpointSpacing;
    int line = start;
    for (; line < newCount; ++line) {
        if (line >= newCount - suffix) {
            const ScanState *before = lines[line - shift].checkpoint();
            if (before && state.settled() && *before == state) {
                resume = line - shift;
                break;
            }
        }
        Line scannedLine{text[line], nullptr};
        if (sinceCheckpoint == CheckpointSpacing) {
            scannedLine.extra = std::make_unique<Extra>();
            scannedLine.extra->checkpoint = std::make_unique<ScanState>(state);
            sinceCheckpoint = 0;
        }
        ++sinceCheckpoint;
        found.clear();
        scanDeclarations(text[line], line, state, found);
        if (!found.empty()) {
            if (!scannedLine.extra)
                scannedLine.extra = std::make_unique<Extra>();
            for (FoundName &name : found)
                scannedLine.extra->declared.push_back(Declared{std::move(name.name), name.line - line, name.start});
        }
        scannedLines.push_back(std::move(scannedLine));
    }
    scanned = line - start;

    const auto first = lines.begin() + start;
    const auto kept = std::move(scannedLines.begin(), scannedLines.begin() + std::min(int(scannedLines.size()), resume - start), first);
    if (int(scannedLines.size()) > resume - start)
        lines.insert(kept, std::make_move_iterator(scannedLines.begin() + (resume - start)),
                     std::make_move_iterator(scannedLines.end()));
    else
        lines.erase(kept, lines.begin() + resume);
}

DeclaredNameIndex::DeclaredNameIndex() : data_(std::make_unique<Data>()) {}

DeclaredNameIndex::~DeclaredNameIndex() = default;

QStringList DeclaredNameIndex::names(const CodeText &lines, const NameQuery &query)
{
    data_->update(lines);
    NameCollector collector(query);
    for (size_t i = 0; i < data_->lines.size(); ++i) {
        const Data::Line &line = data_->lines[i];
        if (!line.extra)
            continue;
        for (const Data::Declared &name : line.extra->declared)
            collector.add(name.name, int(i) + name.lineOffset, name.start);
    }
    return collector.names();
}

int DeclaredNameIndex::scannedLines() const
{
    return data_->scanned;
}

} // namespace quill
