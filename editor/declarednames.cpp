#include "editor/declarednames.h"

#include "editor/declarednamescanner.h"
#include "editor/lineblockscanner.h"


#include <algorithm>
#include <string_view>
#include <unordered_set>
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
        // The view is of the characters names_ shares, which stay put.
        const std::u16string_view key(reinterpret_cast<const char16_t *>(name.constData()), std::size_t(name.size()));
        if (seen_.contains(key))
            return;
        names_.append(name);
        seen_.insert(key);
    }

    QStringList names() const { return names_; }

private:
    const NameQuery &query_;
    std::unordered_set<std::u16string_view> seen_;
    QStringList names_;
};

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
        int line = 0;  // relative to the block's first line (less than 0 for a name that waited)
        int start = 0;
    };
    // What one block of the text declares, and the scan's state before it.
    struct Block {
        quint64 stamp = 0;
        int count = 0;
        ScanState before;
        std::vector<Declared> declared;
    };

    void update(const CodeText &text);
    static void scan(const CodeText &text, int block, ScanState &state, Block &found);

    std::vector<Block> blocks;
    ScanState end;  // the state after the last block
    int scanned = 0;
};

// Lines still held as Latin-1 bytes are scanned as they are, without
// decoding them; the scan is the same.
void DeclaredNameIndex::Data::scan(const CodeText &text, int block, ScanState &state, Block &found)
{
    const int first = text.blockFirstLine(block);
    std::vector<FoundName> names;
    const CodeText::Latin1Block bytes = text.blockLatin1(block);
    if (!bytes.bytes.isEmpty()) {
        int line = first;
        forEachLine(bytes.bytes.data(), bytes.bytes.data() + bytes.bytes.size(), bytes.crLfOnly,
                    [&](const char *chars, qsizetype size) {
                        scanDeclarations(QLatin1StringView(chars, size), line++, state, names);
                    });
    } else {
        for (int line = first; line < first + text.blockLineCount(block); ++line)
            scanDeclarations(text.at(line), line, state, names);
    }
    found.declared.reserve(names.size());
    for (FoundName &name : names)
        found.declared.push_back(Declared{std::move(name.name), name.line - first, name.start});
}

void DeclaredNameIndex::Data::update(const CodeText &text)
{
    const int newCount = text.blockCount();
    const int oldCount = int(blocks.size());
    const int common = std::min(newCount, oldCount);
    int prefix = 0;
    while (prefix < common && text.blockStamp(prefix) == blocks[prefix].stamp)
        ++prefix;
    scanned = 0;
    if (prefix == newCount && newCount == oldCount)
        return;
    int suffix = 0;
    while (suffix < common - prefix
           && text.blockStamp(newCount - 1 - suffix) == blocks[oldCount - 1 - suffix].stamp)
        ++suffix;

    // Scan from the first changed block until an unchanged block of the end
    // finds the scan where it stood before it.
    ScanState state = prefix < oldCount ? blocks[prefix].before : end;
    const int shift = newCount - oldCount;
    int resume = oldCount;  // the first old block kept after the scanned ones
    std::vector<Block> fresh;
    int block = prefix;
    for (; block < newCount; ++block) {
        if (block >= newCount - suffix) {
            const Block &kept = blocks[block - shift];
            if (state.settled() && kept.before == state) {
                resume = block - shift;
                break;
            }
        }
        Block found{text.blockStamp(block), text.blockLineCount(block), state, {}};
        scan(text, block, state, found);
        scanned += found.count;
        fresh.push_back(std::move(found));
    }
    if (block == newCount)
        end = std::move(state);
    blocks.erase(blocks.begin() + prefix, blocks.begin() + resume);
    blocks.insert(blocks.begin() + prefix, std::make_move_iterator(fresh.begin()),
                  std::make_move_iterator(fresh.end()));
}

DeclaredNameIndex::DeclaredNameIndex() : data_(std::make_unique<Data>()) {}

DeclaredNameIndex::~DeclaredNameIndex() = default;

QStringList DeclaredNameIndex::names(const CodeText &lines, const NameQuery &query)
{
    data_->update(lines);
    NameCollector collector(query);
    int first = 0;
    for (const Data::Block &block : data_->blocks) {
        for (const Data::Declared &name : block.declared)
            collector.add(name.name, first + name.line, name.start);
        first += block.count;
    }
    return collector.names();
}

int DeclaredNameIndex::scannedLines() const
{
    return data_->scanned;
}

} // namespace quill
