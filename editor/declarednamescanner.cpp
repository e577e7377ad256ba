#include "editor/declarednamescanner.h"

#include <array>

namespace quill {
namespace {

bool isReserved(QStringView word)
{
    static constexpr QStringView Words[] = {
        u"arguments", u"async",  u"await",    u"break",      u"case",   u"catch",    u"class",
        u"const",     u"continue", u"debugger", u"default",  u"delete", u"do",       u"else",
        u"export",    u"extends", u"false",    u"finally",    u"for",    u"function", u"if",
        u"import",    u"in",     u"instanceof", u"let",      u"new",    u"null",     u"of",
        u"return",    u"super",  u"switch",   u"this",       u"throw",  u"true",     u"try",
        u"typeof",    u"undefined", u"var",   u"void",       u"while",  u"with",     u"yield",
    };
    for (const QStringView reserved : Words) {
        if (word.size() == reserved.size() && word == reserved)
            return true;
    }
    return false;
}

bool sameWord(QStringView text, const char16_t (&word)[], qsizetype length)
{
    if (text.size() != length)
        return false;
    for (qsizetype i = 0; i < length; ++i) {
        if (text[i].unicode() != word[i])
            return false;
    }
    return true;
}

Keyword keywordOf(QStringView word)
{
    switch (word.front().unicode()) {
    case u'v': return sameWord(word, u"var", 3) ? Keyword::Var : Keyword::None;
    case u'l': return sameWord(word, u"let", 3) ? Keyword::Let : Keyword::None;
    case u'c':
        return sameWord(word, u"const", 5) ? Keyword::Const
            : sameWord(word, u"catch", 5)  ? Keyword::Catch
                                           : Keyword::None;
    case u'f': return sameWord(word, u"function", 8) ? Keyword::Function : Keyword::None;
    case u'r': return sameWord(word, u"return", 6) ? Keyword::Return : Keyword::None;
    case u't': return sameWord(word, u"typeof", 6) ? Keyword::Typeof : Keyword::None;
    default: return Keyword::None;
    }
}

// Character classes of ASCII for the scanner's inner loops.
enum CharClass : unsigned char { Other = 0, Start = 1, Digit = 2 };

constexpr std::array<unsigned char, 128> asciiClasses()
{
    std::array<unsigned char, 128> classes{};
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = Start;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[c] = Start;
    classes['_'] = Start;
    classes['$'] = Start;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = Digit;
    return classes;
}

constexpr std::array<unsigned char, 128> AsciiClasses = asciiClasses();

inline bool isIdentifierStart(QChar c)
{
    const char16_t code = c.unicode();
    return code < 128 ? AsciiClasses[code] == Start : c.isLetter();
}

inline bool isIdentifierPart(QChar c)
{
    const char16_t code = c.unicode();
    return code < 128 ? AsciiClasses[code] != Other : c.isLetterOrNumber();
}

inline bool isOperatorEnd(QChar c)
{
    switch (c.unicode()) {
    case u'=': case u'+': case u'-': case u'*': case u'/': case u'%': case u'&': case u'|':
    case u'^': case u'!': case u'~': case u'?': case u':': case u'<': case u'>': case u'.': case u',':
        return true;
    default:
        return false;
    }
}

inline bool isBracket(char16_t c)
{
    return c == u'(' || c == u')' || c == u'[' || c == u']' || c == u'{' || c == u'}';
}

bool isCloser(const Token &token)
{
    return token.is(u')') || token.is(u']') || token.is(u'}');
}

qsizetype closingQuote(QStringView line, qsizetype from, char16_t quote)
{
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line[i] == u'\\')
            ++i;
        else if (line[i] == quote)
            return i;
    }
    return -1;
}

qsizetype regexEnd(QStringView line, qsizetype from)
{
    bool inClass = false;
    for (qsizetype i = from; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == u'\\') {
            ++i;
        } else if (c == u'[') {
            inClass = true;
        } else if (c == u']') {
            inClass = false;
        } else if (c == u'/' && !inClass) {
            qsizetype end = i + 1;
            while (end < line.size() && isIdentifierPart(line[end]))
                ++end;
            return end;
        }
    }
    return line.size();
}

using Declaration = ScanState::Declaration;
using FunctionHead = ScanState::FunctionHead;

// One line's scan: a tokenizer and a small parser that follows only what
// declares names. While no declaration, function head or parameter list is
// open, the parser sees only keywords, brackets and arrows; every other
// token just passes.
class LineScanner {
public:
    LineScanner(QStringView line, int lineIndex, ScanState &state, std::vector<FoundName> &found)
        : line_(line), lineIndex_(lineIndex), s_(state), found_(found)
    {
    }

    void run();

private:
    bool idle() const
    {
        return s_.declaration == Declaration::None && s_.function == FunctionHead::None
            && (s_.parameterLists.empty() || s_.parameterLists.back().depth != int(s_.levels.size()));
    }

    bool regexMayStart() const
    {
        switch (s_.lastKind) {
        case TokenKind::Value: return false;
        case TokenKind::Identifier: return s_.lastKeyword == Keyword::Return || s_.lastKeyword == Keyword::Typeof;
        case TokenKind::Punct: return s_.lastFront != u')' && s_.lastFront != u']';
        default: return true;
        }
    }

    void push(TokenKind kind, qsizetype start, qsizetype end);
    void parse(const Token &token);
    void endOfLine();
    void record(QStringView name, int line, int start);
    void record(const Token &token) { record(token.text, token.line, token.start); }
    void record(const PendingName &name) { record(name.text, name.line, name.start); }
    void declaration(const Token &token, int depth);
    void pattern(const Token &token, int depth);
    void functionHead(const Token &token);
    void parameters(const Token &token);
    void brackets(const Token &token);
    void arrowParameters(qsizetype closingColumn);

    static PendingName pendingOf(const Token &token) { return {token.text.toString(), token.line, token.start}; }

    QStringView line_;
    int lineIndex_;
    ScanState &s_;
    std::vector<FoundName> &found_;
    Token lastInLine_;  // the last token of this line, if any
};

void LineScanner::run()
{
    const qsizetype size = line_.size();
    qsizetype i = 0;

    if (s_.inBlockComment) {
        const qsizetype close = line_.indexOf(QStringView(u"*/"));
        if (close < 0)
            return endOfLine();
        s_.inBlockComment = false;
        i = close + 2;
    } else if (s_.inTemplate) {
        const qsizetype close = closingQuote(line_, 0, u'`');
        if (close < 0)
            return endOfLine();
        s_.inTemplate = false;
        push(TokenKind::Value, 0, close + 1);
        i = close + 1;
    }

    while (i < size) {
        const QChar c = line_[i];
        const char16_t code = c.unicode();
        const char16_t next = i + 1 < size ? line_[i + 1].unicode() : 0;
        if (code == u' ' || code == u'\t') {
            ++i;
        } else if (isIdentifierStart(c)) {
            qsizetype end = i + 1;
            while (end < size && isIdentifierPart(line_[end]))
                ++end;
            push(TokenKind::Identifier, i, end);
            i = end;
        } else if (code >= u'0' && code <= u'9') {
            qsizetype end = i + 1;
            while (end < size && (isIdentifierPart(line_[end]) || line_[end] == u'.'))
                ++end;
            push(TokenKind::Value, i, end);
            i = end;
        } else if (code == u'/' && next == u'/') {
            break;
        } else if (code == u'/' && next == u'*') {
            const qsizetype close = line_.indexOf(QStringView(u"*/"), i + 2);
            if (close < 0) {
                s_.inBlockComment = true;
                break;
            }
            i = close + 2;
        } else if (code == u'/' && regexMayStart()) {
            const qsizetype end = regexEnd(line_, i + 1);
            push(TokenKind::Value, i, end);
            i = end;
        } else if (code == u'"' || code == u'\'') {
            const qsizetype close = closingQuote(line_, i + 1, code);
            const qsizetype end = close < 0 ? size : close + 1;
            push(TokenKind::Value, i, end);
            i = end;
        } else if (code == u'`') {
            const qsizetype close = closingQuote(line_, i + 1, u'`');
            if (close < 0) {
                s_.inTemplate = true;
                push(TokenKind::Value, i, size);
                break;
            }
            push(TokenKind::Value, i, close + 1);
            i = close + 1;
        } else if (code == u'=' && next == u'>') {
            push(TokenKind::Arrow, i, i + 2);
            i += 2;
        } else if (next == u'=' && code != u',' && code != u'.' && code != u'?' && code != u':'
                   && code != u'~' && isOperatorEnd(c)) {
            qsizetype end = i + 2;
            while (end < size && line_[end] == u'=')
                ++end;
            push(TokenKind::Operator, i, end);
            i = end;
        } else {
            push(TokenKind::Punct, i, i + 1);
            ++i;
        }
    }
    endOfLine();
}

void LineScanner::push(TokenKind kind, qsizetype start, qsizetype end)
{
    const QStringView text(line_.data() + start, end - start);
    const Keyword keyword = kind == TokenKind::Identifier ? keywordOf(text) : Keyword::None;
    if (keyword != Keyword::None || kind == TokenKind::Arrow
        || (kind == TokenKind::Punct && isBracket(text.front().unicode())) || !idle())
        parse(Token{kind, keyword, text, lineIndex_, int(start)});
    // Field by field: this runs for every token of the text.
    lastInLine_.kind = kind;
    lastInLine_.keyword = keyword;
    lastInLine_.text = text;
    lastInLine_.start = int(start);
    s_.lastKind = kind;
    s_.lastKeyword = keyword;
    s_.lastFront = text.front().unicode();
}

void LineScanner::parse(const Token &token)
{
    const int depth = int(s_.levels.size());
    declaration(token, depth);
    functionHead(token);
    // Arrow functions: "x =>" and "(a, b) =>" on one line.
    if (token.kind == TokenKind::Arrow && lastInLine_.kind == TokenKind::Identifier)
        record(lastInLine_.text, lineIndex_, lastInLine_.start);
    else if (token.kind == TokenKind::Arrow && lastInLine_.is(u')'))
        arrowParameters(lastInLine_.start);
    parameters(token);
    brackets(token);
}

void LineScanner::record(QStringView name, int line, int start)
{
    if (!isReserved(name))
        found_.push_back(FoundName{name.toString(), line, start});
}

// A declaration's initializer ends with its line unless the line breaks
// inside brackets or after an operator.
void LineScanner::endOfLine()
{
    if (s_.declaration == Declaration::Initializer && int(s_.levels.size()) == s_.declarationDepth) {
        const bool continues = (s_.lastKind == TokenKind::Punct && isOperatorEnd(QChar(s_.lastFront)))
            || s_.lastKind == TokenKind::Operator;
        if (!continues)
            s_.declaration = Declaration::None;
    }
}

void LineScanner::declaration(const Token &token, int depth)
{
    if (token.keyword == Keyword::Var || token.keyword == Keyword::Let || token.keyword == Keyword::Const) {
        s_.declaration = Declaration::ExpectBinding;
        s_.declarationDepth = depth;
        return;
    }
    switch (s_.declaration) {
    case Declaration::None:
        return;
    case Declaration::ExpectBinding:
        if (depth != s_.declarationDepth) {
            s_.declaration = Declaration::None;
        } else if (token.kind == TokenKind::Identifier && !isReserved(token.text)) {
            record(token);
            s_.declaration = Declaration::AfterBinding;
        } else if (token.is(u'{') || token.is(u'[')) {
            s_.declaration = Declaration::Pattern;
            s_.patternHasPending = false;
            s_.defaultDepth = -1;
        } else {
            s_.declaration = Declaration::None;
        }
        return;
    case Declaration::AfterBinding:
        if (depth == s_.declarationDepth && token.is(u','))
            s_.declaration = Declaration::ExpectBinding;
        else if (depth == s_.declarationDepth && token.is(u'='))
            s_.declaration = Declaration::Initializer;
        else
            s_.declaration = Declaration::None;
        return;
    case Declaration::Initializer:
        if (depth == s_.declarationDepth && token.is(u','))
            s_.declaration = Declaration::ExpectBinding;
        else if (depth == s_.declarationDepth && (token.is(u';') || isCloser(token)))
            s_.declaration = Declaration::None;
        return;
    case Declaration::Pattern:
        pattern(token, depth);
        return;
    }
}

// Inside [a, b] or {x, y: z, w = 1}: a name is bound when it stands before
// ",", "=" or the closing bracket; a name before ":" is a key.
void LineScanner::pattern(const Token &token, int depth)
{
    if (s_.patternHasPending) {
        s_.patternHasPending = false;
        if (token.is(u',') || token.is(u'=') || token.is(u'}') || token.is(u']'))
            record(s_.patternPending);
    }
    if (s_.defaultDepth >= 0) {
        if (depth < s_.defaultDepth || (depth == s_.defaultDepth && (token.is(u',') || isCloser(token))))
            s_.defaultDepth = -1;
        else
            return;
    }
    if (token.is(u'=')) {
        s_.defaultDepth = depth;
        return;
    }
    if (token.kind == TokenKind::Identifier) {
        s_.patternPending = pendingOf(token);
        s_.patternHasPending = true;
        return;
    }
    if (isCloser(token) && depth == s_.declarationDepth + 1)
        s_.declaration = Declaration::AfterBinding;
}

// function name(...), function (...), function* name(...), catch (...)
void LineScanner::functionHead(const Token &token)
{
    if (token.keyword == Keyword::Function || token.keyword == Keyword::Catch) {
        s_.function = FunctionHead::AfterKeyword;
        return;
    }
    switch (s_.function) {
    case FunctionHead::None:
        return;
    case FunctionHead::AfterKeyword:
        if (token.is(u'*')) {
            return;
        } else if (token.kind == TokenKind::Identifier && s_.lastKeyword != Keyword::Catch) {
            record(token);
            s_.function = FunctionHead::ExpectParameters;
        } else if (token.is(u'(')) {
            s_.openParameters = true;
            s_.function = FunctionHead::None;
        } else {
            s_.function = FunctionHead::None;
        }
        return;
    case FunctionHead::ExpectParameters:
        s_.openParameters = token.is(u'(');
        s_.function = FunctionHead::None;
        return;
    }
}

// Inside a parameter list: a name that stands alone before ",", ")" or
// "=" (a default) is a parameter; "..." keeps the place after a separator.
void LineScanner::parameters(const Token &token)
{
    if (s_.parameterLists.empty() || s_.parameterLists.back().depth != int(s_.levels.size()))
        return;
    ScanState::ParameterList &list = s_.parameterLists.back();
    if (list.hasPending) {
        list.hasPending = false;
        if (token.is(u',') || token.is(u')') || token.is(u'='))
            record(list.pending);
    }
    if (token.kind == TokenKind::Identifier && list.afterSeparator) {
        list.pending = pendingOf(token);
        list.hasPending = true;
    }
    list.afterSeparator = token.is(u',') || (token.is(u'.') && list.afterSeparator);
}

void LineScanner::brackets(const Token &token)
{
    if (token.kind != TokenKind::Punct)
        return;
    const char16_t c = token.text.front().unicode();
    if (c == u'(' || c == u'[' || c == u'{') {
        s_.levels.push_back(c);
        if (c == u'(' && s_.openParameters)
            s_.parameterLists.push_back(ScanState::ParameterList{int(s_.levels.size())});
        s_.openParameters = false;
        return;
    }
    const char16_t open = c == u')' ? u'(' : c == u']' ? u'[' : c == u'}' ? u'{' : 0;
    if (!open)
        return;
    // An unmatched closer closes nothing; a missing closer is skipped over.
    const auto level = s_.levels.rfind(open);
    if (level == std::u16string::npos)
        return;
    s_.levels.resize(level);
    while (!s_.parameterLists.empty() && s_.parameterLists.back().depth > int(level))
        s_.parameterLists.pop_back();
}

// The simple names of the parenthesised group that ends at closingColumn,
// read back on this line: "(a, b = 1, ...rest) =>" gives a, b and rest.
void LineScanner::arrowParameters(qsizetype closingColumn)
{
    int depth = 0;
    qsizetype i = closingColumn - 1;
    qsizetype nameEnd = -1;   // the end of a name that may stand alone
    bool standsAlone = true;  // what follows the name is ",", ")" or "="
    std::vector<FoundName> names;
    for (; i >= 0; --i) {
        const QChar c = line_[i];
        if (isIdentifierPart(c)) {
            if (nameEnd < 0)
                nameEnd = i + 1;
            continue;
        }
        if (nameEnd >= 0) {
            const qsizetype start = i + 1;
            qsizetype before = i;
            while (before >= 0 && (line_[before] == u' ' || line_[before] == u'\t' || line_[before] == u'.'))
                --before;
            const bool afterSeparator = before >= 0 && (line_[before] == u',' || line_[before] == u'(');
            const QStringView name = line_.mid(start, nameEnd - start);
            if (depth == 0 && standsAlone && afterSeparator && isIdentifierStart(line_[start]) && !isReserved(name))
                names.push_back(FoundName{name.toString(), lineIndex_, int(start)});
            nameEnd = -1;
        }
        if (c == u' ' || c == u'\t')
            continue;
        if (c == u')' || c == u']' || c == u'}') {
            ++depth;
        } else if (c == u'(' || c == u'[' || c == u'{') {
            if (depth == 0)
                break;
            --depth;
        }
        if (depth == 0)
            standsAlone = c == u',' || c == u'=';
    }
    if (i < 0)
        return;  // the group began on an earlier line
    found_.insert(found_.end(), std::make_move_iterator(names.rbegin()), std::make_move_iterator(names.rend()));
}

} // namespace

bool ScanState::settled() const
{
    if (patternHasPending)
        return false;
    for (const ParameterList &list : parameterLists) {
        if (list.hasPending)
            return false;
    }
    return true;
}

bool ScanState::operator==(const ScanState &other) const
{
    if (parameterLists.size() != other.parameterLists.size())
        return false;
    for (size_t i = 0; i < parameterLists.size(); ++i) {
        const ParameterList &mine = parameterLists[i];
        const ParameterList &theirs = other.parameterLists[i];
        if (mine.depth != theirs.depth || mine.afterSeparator != theirs.afterSeparator
            || mine.hasPending != theirs.hasPending)
            return false;
    }
    return inBlockComment == other.inBlockComment && inTemplate == other.inTemplate
        && lastKind == other.lastKind && lastKeyword == other.lastKeyword && lastFront == other.lastFront
        && levels == other.levels && openParameters == other.openParameters && function == other.function
        && declaration == other.declaration && declarationDepth == other.declarationDepth
        && patternHasPending == other.patternHasPending && defaultDepth == other.defaultDepth;
}

void scanDeclarations(QStringView line, int lineIndex, ScanState &state, std::vector<FoundName> &found)
{
    LineScanner(line, lineIndex, state, found).run();
}

} // namespace quill
