#pragma once

#include "editor/codetext.h"

#include <QString>
#include <QStringList>

#include <memory>

namespace quill {

// Which declared names to collect.
struct NameQuery {
    QString prefix;        // only names that begin with it; every name when empty
    int cursorLine = -1;   // the identifier that ends at or contains the cursor is
    int cursorColumn = -1; // being typed, not declared, and is left out
};

// The names the program declares, for completion: function names, the
// names bound by var, let and const (destructuring included), the
// parameters of functions, arrow functions and catch clauses. Each name
// once, in the order of its first declaration. Only this text is read, not
// the files it includes. Comments, strings, template literals and regular
// expressions are skipped. One pass over the whole text.
//
//   DeclaredNames({"var score = 0, lives;", "function hit(power){"})
//       -> "score", "lives", "hit", "power"
QStringList DeclaredNames(const CodeText &lines, const NameQuery &query = {});

// The same answers as DeclaredNames for a text that changes a little
// between questions: it keeps what each block of lines declares and where
// the scan stood before it, and after an edit scans again only the blocks
// from the change until the scan is back where it stood before. Blocks are
// recognised by their stamps (CodeText::blockStamp), so the index is for one
// text and the copies made of it. Lines a file's bytes still hold are
// scanned without decoding them.
//
//   DeclaredNameIndex index;
//   index.names(CodeLines, {"sp", CursorLine, CursorColumn});
class DeclaredNameIndex {
public:
    DeclaredNameIndex();
    ~DeclaredNameIndex();
    DeclaredNameIndex(const DeclaredNameIndex &) = delete;
    DeclaredNameIndex &operator=(const DeclaredNameIndex &) = delete;

    QStringList names(const CodeText &lines, const NameQuery &query);

    // How many lines the last call scanned (whole blocks; for tests of the reuse).
    int scannedLines() const;

private:
    struct Data;
    std::unique_ptr<Data> data_;
};

} // namespace quill
