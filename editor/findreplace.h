#pragma once

#include "editor/codetext.h"

#include "editor/textsplice.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace quill {

// The editor's search, asked for inside the text: the user types
// {find text}replace text just before the cursor and presses Fi or Rp; Fn
// and Rn repeat the last search. Searches never wrap to the start of the
// text and report nothing. Comparisons are exact and case-sensitive.

// FindText and ReplaceText, kept for the whole run. Every Fi and Rp
// replaces both, also when its request is malformed.
struct SearchState {
    QString FindText;
    QString ReplaceText;
};

// The outcome of taking a request out of the line before the cursor.
struct FindRequest {
    bool valid = false;    // a "}" was found before the cursor
    QString FindText;      // between "{" (or the line start) and "}"
    QString ReplaceText;   // after "}"; the whole text before the cursor when not valid
    QString line;          // the line without the request (unchanged when not valid)
    int cursorColumn = 0;  // where the request started (unchanged when not valid)
};

// Reads a request ending just before cursorColumn:
//   "foo {bar}|"   -> valid, FindText "bar", line "foo ", column 4
//   "abc}x|"       -> valid, FindText "abc", ReplaceText "x", line "", column 0
//   "abc|"         -> not valid, FindText "", ReplaceText "abc"
FindRequest ParseFindRequest(const QString &line, int cursorColumn);

struct TextMatch {
    int line = 0;
    int column = 0;
};

// The next place for the cursor: the first line from cursorLine on whose
// FIRST occurrence of findText lies after the cursor (on the cursor line) or
// anywhere (on a later line). A later occurrence on a line whose first one
// lies at or before the cursor is passed over. An empty findText occurs
// nowhere. Costs one scan of the lines from the cursor to the match.
std::optional<TextMatch> FindNext(const CodeText &lines, int cursorLine, int cursorColumn,
                                  const QString &findText);

// The next line from cursorLine on (the column plays no part) that holds
// findText, with every occurrence replaced left to right; the cursor goes to
// where the first occurrence began. One line per call, so a replacement that
// contains findText replaces the same line again on the next call.
std::optional<TextSplice> ReplaceNext(const CodeText &lines, int cursorLine,
                                      const QString &findText, const QString &replaceText);

// The commands as whole steps on plain data. No value: the text and the
// cursor stay as they are. Fi and Rp update the state even then.
std::optional<TextSplice> findCommand(const CodeText &lines, int cursorLine, int cursorColumn,
                                      SearchState &state);     // "Fi"
// "Rp" changes the request's line and the replaced one, which may lie far
// apart: the splices are applied in order as one step, the last one's
// cursor counting. None: nothing changes.
std::vector<TextSplice> replaceCommand(const CodeText &lines, int cursorLine, int cursorColumn,
                                       SearchState &state);
std::optional<TextSplice> findNextCommand(const CodeText &lines, int cursorLine, int cursorColumn,
                                          const SearchState &state);  // "Fn"
std::optional<TextSplice> replaceNextCommand(const CodeText &lines, int cursorLine,
                                             const SearchState &state);  // "Rn"

} // namespace quill
