#pragma once

#include <QString>
#include <QLatin1StringView>
#include <QStringView>

#include <string>
#include <vector>

namespace quill {

// The scanner behind DeclaredNames and DeclaredNameIndex: reads a program
// line by line and reports the names it declares. Everything it carries
// from one line to the next is in ScanState, so a scan can stop after any
// line and go on later from a saved state.

enum class TokenKind : unsigned char {
    None,
    Identifier,
    Value,     // a number, string, template literal or regular expression
    Operator,  // a compound operator such as "==" or "+=": never a binding "="
    Arrow,     // "=>"
    Punct,     // one character
};

// The few words the parser acts on, told apart once per identifier.
enum class Keyword : unsigned char { None, Var, Let, Const, Function, Catch, Return, Typeof };


// A name read before the token that decides whether it is declared (a
// parameter before "," or ")"); it may wait across a line break.
struct PendingName {
    QString text;
    int line = 0;
    int start = 0;
};

struct ScanState {
    enum class Declaration : unsigned char { None, ExpectBinding, AfterBinding, Initializer, Pattern };
    enum class FunctionHead : unsigned char { None, AfterKeyword, ExpectParameters };

    struct ParameterList {
        int depth = 0;  // the bracket depth inside the list
        bool afterSeparator = true;
        bool hasPending = false;
        PendingName pending;
    };

    bool inBlockComment = false;
    bool inTemplate = false;
    TokenKind lastKind = TokenKind::None;  // the last token read
    Keyword lastKeyword = Keyword::None;
    char16_t lastFront = 0;
    std::u16string levels;  // the open brackets, innermost last
    std::vector<ParameterList> parameterLists;
    bool openParameters = false;  // the next "(" opens a parameter list
    FunctionHead function = FunctionHead::None;
    Declaration declaration = Declaration::None;
    int declarationDepth = 0;
    bool patternHasPending = false;
    PendingName patternPending;
    int defaultDepth = -1;

    // Nothing read so far waits for a later token to be declared: from two
    // settled states that compare equal, the same lines scan the same.
    bool settled() const;
    // Compares everything but the waiting names (see settled).
    bool operator==(const ScanState &other) const;
};

// A declared name and where it stands.
struct FoundName {
    QString name;
    int line = 0;
    int start = 0;
};

// Scans one line (its index in the text is lineIndex), going on from
// `state`, and appends to `found` the names whose declaration the line
// completes. Reserved words are never reported. A line of Latin-1 bytes
// scans exactly as the same characters decoded.
void scanDeclarations(QStringView line, int lineIndex, ScanState &state, std::vector<FoundName> &found);
void scanDeclarations(QLatin1StringView line, int lineIndex, ScanState &state, std::vector<FoundName> &found);

} // namespace quill
