#include "editor/declarednamescanner.h"

#include <array>
#include <type_traits>

namespace quill {
namespace {

// A line's characters: 16-bit ones, or bytes that each hold one Latin-1
// character (a file's bytes not yet decoded). The scan is the same for both.
template <typename Char>
struct Chars {
    const Char *chars = nullptr;
    qsizetype length = 0;

    qsizetype size() const { return length; }
    bool isEmpty() const { return length == 0; }
    char16_t operator[](qsizetype i) const { return char16_t(std::make_unsigned_t<Char>(chars[i])); }
    char16_t front() const { return (*this)[0]; }
    Chars mid(qsizetype start, qsizetype count) const { return {chars + start, count}; }
    // The first "*/" at or after from, or -1.
    qsizetype commentEnd(qsizetype from) const
    {
        for (qsizetype i = from; i + 1 < length; ++i)
            if (chars[i] == '*' && chars[i + 1] == '/')
                return i;
        return -1;
    }
    QString toString() const
    {
        if constexpr (sizeof(Char) == 1)
            return QString::fromLatin1(chars, length);
        else
            return QString(reinterpret_cast<const QChar *>(chars), length);
    }
    bool operator==(QStringView word) const
    {
        if (word.size() != length)
            return false;
        for (qsizetype i = 0; i < length; ++i)
            if ((*this)[i] != word[i].unicode())
                return false;
        return true;
    }
};

template <typename Char>
bool isReserved(Chars<Char> word)
{
    static constexpr QStringView Words[] = {
        u"arguments", u"async",  u"await",    u"break",      u"case",   u"catch",    u"class",
        u"const",     u"continue", u"debugger", u"default",  u"delete", u"do",       u"else",
        u"export",    u"extends", u"false",    u"finally",    u"for",    u"function", u"if",
        u"import",    u"in",     u"instanceof", u"let",      u"new",    u"null",     u"of",
        u"return",    u"super",  u"switch",   u"this",       u"throw",  u"true",     u"try",
        u"typeof",    u"undefined", u"var",   u"void",       u"while",  u"with",     u"yield",
    };
    // Every reserved word begins with a lower-case letter.
    if (word.front() < u'a' || word.front() > u'z')
        return false;
    for (const QStringView reserved : Words) {
        if (word.size() == reserved.size() && word == reserved)
            return true;
    }
    return false;
}

template <typename Char>
bool sameWord(Chars<Char> text, const char16_t (&word)[], qsizetype length)
{
    if (text.size() != length)
        return false;
    for (qsizetype i = 0; i < length; ++i) {
        if (text[i] != word[i])
            return false;
    }
    return true;
}

template <typename Char>
Keyword keywordOf(Chars<Char> word)
{
    switch (word.front()) {
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
enum CharClass : unsigned char { Other = 0, Letter = 1, Digit = 2 };

constexpr std::array<unsigned char, 128> asciiClasses()
{
    std::array<unsigned char, 128> classes{};
    for (int c = 'a'; c <= 'z'; ++c)
        classes[c] = Letter;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[c] = Letter;
    classes['_'] = Letter;
    classes['$'] = Letter;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] = Digit;
    return classes;
}

constexpr std::array<unsigned char, 128> AsciiClasses = asciiClasses();

inline bool isIdentifierStart(char16_t code)
{
    return code < 128 ? AsciiClasses[code] == Letter : QChar(code).isLetter();
}

inline bool isIdentifierPart(char16_t code)
{
    return code < 128 ? AsciiClasses[code] != Other : QChar(code).isLetterOrNumber();
}

// How a token begins, by its first ASCII character: the scanner's first choice.
enum class Start : unsigned char { Punct, Space, Identifier, Digit, Slash, Quote, Backtick, Equals, Operator };

constexpr std::array<Start, 128> tokenStarts()
{
    std::array<Start, 128> starts{};
    for (int c = 0; c < 128; ++c) {
        if (AsciiClasses[c] == Letter)
            starts[c] = Start::Identifier;
        else if (AsciiClasses[c] == Digit)
            starts[c] = Start::Digit;
    }
    starts[' '] = starts['\t'] = Start::Space;
    starts['/'] = Start::Slash;
    starts['"'] = starts['\''] = Start::Quote;
    starts['`'] = Start::Backtick;
    starts['='] = Start::Equals;
    // The characters that make an operator with a following "=" (not , . ? : ~).
    for (const char c : {'+', '-', '*', '%', '&', '|', '^', '!', '<', '>'})
        starts[c] = Start::Operator;
    return starts;
}

constexpr std::array<Start, 128> Starts = tokenStarts();

inline bool isOperatorEnd(char16_t c)
{
    switch (c) {
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

// A token of the line being scanned.
template <typename Char>
struct Token {
    TokenKind kind = TokenKind::None;
    Keyword keyword = Keyword::None;
    Chars<Char> text;
    int line = 0;
    int start = 0;

    bool is(char16_t c) const { return kind == TokenKind::Punct && text.front() == c; }
};

template <typename Char>
bool isCloser(const Token<Char> &token)
{
    return token.is(u')') || token.is(u']') || token.is(u'}');
}

template <typename Char>
qsizetype closingQuote(Chars<Char> line, qsizetype from, char16_t quote)
{
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line[i] == u'\\')
            ++i;
        else if (line[i] == quote)
            return i;
    }
    return -1;
}

template <typename Char>
qsizetype regexEnd(Chars<Char> line, qsizetype from)
{
    bool inClass = false;
    for (qsizetype i = from; i < line.size(); ++i) {
        const char16_t c = line[i];
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
template <typename Char>
class DeclarationLineScanner {
public:
    DeclarationLineScanner(Chars<Char> line, int lineIndex, ScanState &state, std::vector<FoundName> &found)
        : line_(line), lineIndex_(lineIndex), s_(state), found_(found), lastKind_(state.lastKind),
          lastKeyword_(state.lastKeyword), lastFront_(state.lastFront)
    {
        updateIdle();
    }

    void run();

private:
    // Only the parser changes what this depends on.
    void updateIdle()
    {
        idle_ = s_.declaration == Declaration::None && s_.function == FunctionHead::None
            && (s_.parameterLists.empty() || s_.parameterLists.back().depth != int(s_.levels.size()));
    }

    bool regexMayStart() const
    {
        switch (lastKind_) {
        case TokenKind::Value: return false;
        case TokenKind::Identifier: return lastKeyword_ == Keyword::Return || lastKeyword_ == Keyword::Typeof;
        case TokenKind::Punct: return lastFront_ != u')' && lastFront_ != u']';
        default: return true;
        }
    }

    void push(TokenKind kind, qsizetype start, qsizetype end);
    qsizetype operatorOrPunct(qsizetype i, char16_t next);
    // Out of line: most tokens only pass.
    [[gnu::noinline]] void parseToken(TokenKind kind, Keyword keyword, Chars<Char> text, qsizetype start);
    void parse(const Token<Char> &token);
    void endOfLine();
    void record(Chars<Char> name, int line, int start)
    {
        if (!isReserved(name))
            found_.push_back(FoundName{name.toString(), line, start});
    }
    void record(const Token<Char> &token) { record(token.text, token.line, token.start); }
    void record(const PendingName &name)
    {
        if (!isReserved(Chars<char16_t>{reinterpret_cast<const char16_t *>(name.text.utf16()), name.text.size()}))
            found_.push_back(FoundName{name.text, name.line, name.start});
    }
    void declaration(const Token<Char> &token, int depth);
    void pattern(const Token<Char> &token, int depth);
    void functionHead(const Token<Char> &token);
    void parameters(const Token<Char> &token);
    void brackets(const Token<Char> &token);
    void arrowParameters(qsizetype closingColumn);

    static PendingName pendingOf(const Token<Char> &token) { return {token.text.toString(), token.line, token.start}; }

    Chars<Char> line_;
    int lineIndex_;
    ScanState &s_;
    std::vector<FoundName> &found_;
    Token<Char> lastInLine_;  // the last token of this line, if any
    // The state's last token, kept here while the line is read.
    TokenKind lastKind_;
    Keyword lastKeyword_;
    char16_t lastFront_;
    bool idle_ = true;  // nothing open that a passing token could change
};

template <typename Char>
void DeclarationLineScanner<Char>::run()
{
    const qsizetype size = line_.size();
    qsizetype i = 0;

    if (s_.inBlockComment) {
        const qsizetype close = line_.commentEnd(0);
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
        const char16_t code = line_[i];
        const char16_t next = i + 1 < size ? line_[i + 1] : 0;
        const Start start = code < 128 ? Starts[code] : isIdentifierStart(code) ? Start::Identifier : Start::Punct;
        switch (start) {
        case Start::Space:
            // Indentation comes in runs.
            for (++i; i < size && (line_[i] == u' ' || line_[i] == u'\t');)
                ++i;
            continue;
        case Start::Identifier: {
            qsizetype end = i + 1;
            while (end < size && isIdentifierPart(line_[end]))
                ++end;
            push(TokenKind::Identifier, i, end);
            i = end;
            continue;
        }
        case Start::Digit: {
            qsizetype end = i + 1;
            while (end < size && (isIdentifierPart(line_[end]) || line_[end] == u'.'))
                ++end;
            push(TokenKind::Value, i, end);
            i = end;
            continue;
        }
        case Start::Slash:
            if (next == u'/')
                break;
            if (next == u'*') {
                const qsizetype close = line_.commentEnd(i + 2);
                if (close < 0) {
                    s_.inBlockComment = true;
                    break;
                }
                i = close + 2;
                continue;
            }
            if (regexMayStart()) {
                const qsizetype end = regexEnd(line_, i + 1);
                push(TokenKind::Value, i, end);
                i = end;
                continue;
            }
            i = operatorOrPunct(i, next);
            continue;
        case Start::Quote: {
            const qsizetype close = closingQuote(line_, i + 1, code);
            const qsizetype end = close < 0 ? size : close + 1;
            push(TokenKind::Value, i, end);
            i = end;
            continue;
        }
        case Start::Backtick: {
            const qsizetype close = closingQuote(line_, i + 1, u'`');
            if (close < 0) {
                s_.inTemplate = true;
                push(TokenKind::Value, i, size);
                break;
            }
            push(TokenKind::Value, i, close + 1);
            i = close + 1;
            continue;
        }
        case Start::Equals:
            if (next == u'>') {
                push(TokenKind::Arrow, i, i + 2);
                i += 2;
                continue;
            }
            i = operatorOrPunct(i, next);
            continue;
        case Start::Operator:
            i = operatorOrPunct(i, next);
            continue;
        case Start::Punct:
            push(TokenKind::Punct, i, i + 1);
            ++i;
            continue;
        }
        break;  // the rest of the line is a comment, a comment left open or a template left open
    }
    endOfLine();
}

// An operator that ends in "=" ("+=", "==", "!==", ...), or else the one character.
template <typename Char>
inline qsizetype DeclarationLineScanner<Char>::operatorOrPunct(qsizetype i, char16_t next)
{
    if (next != u'=') {
        push(TokenKind::Punct, i, i + 1);
        return i + 1;
    }
    qsizetype end = i + 2;
    while (end < line_.size() && line_[end] == u'=')
        ++end;
    push(TokenKind::Operator, i, end);
    return end;
}

template <typename Char>
inline void DeclarationLineScanner<Char>::push(TokenKind kind, qsizetype start, qsizetype end)
{
    const Chars<Char> text = line_.mid(start, end - start);
    const Keyword keyword = kind == TokenKind::Identifier ? keywordOf(text) : Keyword::None;
    if (keyword != Keyword::None || kind == TokenKind::Arrow
        || (kind == TokenKind::Punct && isBracket(text.front())) || !idle_)
        parseToken(kind, keyword, text, start);
    // Field by field: this runs for every token of the text.
    lastInLine_.kind = kind;
    lastInLine_.keyword = keyword;
    lastInLine_.text = text;
    lastInLine_.start = int(start);
    lastKind_ = kind;
    lastKeyword_ = keyword;
    lastFront_ = text.front();
}

template <typename Char>
void DeclarationLineScanner<Char>::parseToken(TokenKind kind, Keyword keyword, Chars<Char> text, qsizetype start)
{
    parse(Token<Char>{kind, keyword, text, lineIndex_, int(start)});
    updateIdle();
}

template <typename Char>
void DeclarationLineScanner<Char>::parse(const Token<Char> &token)
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

// A declaration's initializer ends with its line unless the line breaks
// inside brackets or after an operator.
template <typename Char>
void DeclarationLineScanner<Char>::endOfLine()
{
    s_.lastKind = lastKind_;
    s_.lastKeyword = lastKeyword_;
    s_.lastFront = lastFront_;
    if (s_.declaration == Declaration::Initializer && int(s_.levels.size()) == s_.declarationDepth) {
        const bool continues = (s_.lastKind == TokenKind::Punct && isOperatorEnd(s_.lastFront))
            || s_.lastKind == TokenKind::Operator;
        if (!continues)
            s_.declaration = Declaration::None;
    }
}

template <typename Char>
void DeclarationLineScanner<Char>::declaration(const Token<Char> &token, int depth)
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
template <typename Char>
void DeclarationLineScanner<Char>::pattern(const Token<Char> &token, int depth)
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
template <typename Char>
void DeclarationLineScanner<Char>::functionHead(const Token<Char> &token)
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
        } else if (token.kind == TokenKind::Identifier && lastKeyword_ != Keyword::Catch) {
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
template <typename Char>
void DeclarationLineScanner<Char>::parameters(const Token<Char> &token)
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

template <typename Char>
void DeclarationLineScanner<Char>::brackets(const Token<Char> &token)
{
    if (token.kind != TokenKind::Punct)
        return;
    const char16_t c = token.text.front();
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
template <typename Char>
void DeclarationLineScanner<Char>::arrowParameters(qsizetype closingColumn)
{
    int depth = 0;
    qsizetype i = closingColumn - 1;
    qsizetype nameEnd = -1;   // the end of a name that may stand alone
    bool standsAlone = true;  // what follows the name is ",", ")" or "="
    std::vector<FoundName> names;
    for (; i >= 0; --i) {
        const char16_t c = line_[i];
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
            const Chars<Char> name = line_.mid(start, nameEnd - start);
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
    DeclarationLineScanner<char16_t>({line.utf16(), line.size()}, lineIndex, state, found).run();
}

void scanDeclarations(QLatin1StringView line, int lineIndex, ScanState &state, std::vector<FoundName> &found)
{
    DeclarationLineScanner<char>({line.data(), line.size()}, lineIndex, state, found).run();
}

} // namespace quill
