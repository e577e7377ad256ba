// The on-screen keys in a one-line field. Fields are written with "|" for
// the cursor and, where something is selected, "[" for the anchor:
// "ab[cd|" is the cursor after d with cd selected from c.
#include "editor/fieldkeys.h"

#include "tests/builder/qtprint.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

namespace quill {
namespace {

FieldText field(QString marked)
{
    FieldText parsed;
    parsed.cursor = int(marked.indexOf(u'|'));
    const qsizetype anchor = marked.indexOf(u'[');
    if (anchor < 0) {
        parsed.text = marked.remove(u'|');
        parsed.anchor = parsed.cursor;
        return parsed;
    }
    parsed.anchor = int(anchor);
    if (anchor < parsed.cursor)
        --parsed.cursor;
    else
        --parsed.anchor;
    parsed.text = marked.remove(u'|').remove(u'[');
    return parsed;
}

QString marked(const FieldText &text)
{
    QString shown = text.text;
    if (text.anchor != text.cursor) {
        shown.insert(std::max(text.anchor, text.cursor), text.anchor > text.cursor ? u'[' : u'|');
        shown.insert(std::min(text.anchor, text.cursor), text.anchor > text.cursor ? u'|' : u'[');
    } else {
        shown.insert(text.cursor, u'|');
    }
    return shown;
}

const QString Smile = QString::fromUtf8("\xF0\x9F\x98\x80");

TEST(FieldKeys, KeysEditOneLine)
{
    struct Case {
        const char *label;
        QString before;
        QStringList keys;
        QString after;
        FieldKey last;
    };
    const std::vector<Case> cases = {
        {"typing", "|", {"g", "a", "m", "e"}, "game|", FieldKey::Edited},
        {"typing in the middle", "ga|e", {"m"}, "gam|e", FieldKey::Edited},
        {"the ampersand key types one ampersand", "a|", {"&&"}, "a&|", FieldKey::Edited},
        {"the space bar", "a|b", {" "}, "a |b", FieldKey::Edited},
        {"a shifted letter is its caption", "|", {"Q"}, "Q|", FieldKey::Edited},
        {"typing replaces the selection", "a[bc|d", {"x"}, "ax|d", FieldKey::Edited},
        {"backspace", "abc|", {"Bs"}, "ab|", FieldKey::Edited},
        {"backspace at the start", "|abc", {"Bs"}, "|abc", FieldKey::Ignored},
        {"backspace removes the selection", "a|bc[d", {"Bs"}, "a|d", FieldKey::Edited},
        {"delete", "a|bc", {"Dl"}, "a|c", FieldKey::Edited},
        {"delete at the end", "abc|", {"Dl"}, "abc|", FieldKey::Ignored},
        {"delete removes the selection", "[ab|c", {"Dl"}, "|c", FieldKey::Edited},
        {"left and right", "ab|c", {"<-", "<-", "->"}, "a|bc", FieldKey::Moved},
        {"left at the start", "|abc", {"<-"}, "|abc", FieldKey::Ignored},
        {"right at the end", "abc|", {"->"}, "abc|", FieldKey::Ignored},
        {"left ends a selection at its start", "a[bc|d", {"<-"}, "a|bcd", FieldKey::Moved},
        {"right ends a selection at its end", "a|bc[d", {"->"}, "abc|d", FieldKey::Moved},
        {"home and end", "ab|c", {"Hm", "x", "En", "y"}, "xabcy|", FieldKey::Edited},
        {"up and down have no line to go to", "ab|c", {"^^", "vv"}, "ab|c", FieldKey::Ignored},
        {"a pair of surrogates is one character",
         "a" + Smile + "|b", {"<-", "->", "Bs"}, "a|b", FieldKey::Edited},
        {"delete before a pair", "a|" + Smile + "b", {"Dl"}, "a|b", FieldKey::Edited},
        {"the code's commands do nothing", "ab|", {"Ky", "Tm", "Ps", "Cp", "Ld", "Jp", "Wn", "Fi"}, "ab|", FieldKey::Ignored},
        {"an empty caption (a blank key)", "ab|", {""}, "ab|", FieldKey::Ignored},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        FieldText text = field(c.before);
        FieldKey last = FieldKey::Ignored;
        for (const QString &key : c.keys)
            last = applyFieldKey(text, key);
        EXPECT_EQ(marked(text), c.after);
        EXPECT_EQ(last, c.last);
    }
}

TEST(FieldKeys, NoLineBreakEverGoesIn)
{
    struct Case {
        const char *label;
        QString caption;
    };
    const std::vector<Case> cases = {
        {"carriage return", "\r"},
        {"line feed", "\n"},
        {"a caption holding a line break", "a\nb"},
        {"tab", "\t"},
        {"line separator", QString(QChar::LineSeparator)},
        {"paragraph separator", QString(QChar::ParagraphSeparator)},
        {"a lone surrogate", QString(Smile.at(0))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        FieldText text = field("ab|");
        EXPECT_EQ(applyFieldKey(text, c.caption), FieldKey::Ignored);
        EXPECT_EQ(marked(text), "ab|");
    }
    FieldText text = field("ab|c");
    EXPECT_EQ(applyFieldKey(text, "Rt"), FieldKey::GiveBack);
    EXPECT_EQ(marked(text), "ab|c");
    EXPECT_EQ(applyFieldKey(text, "Sh"), FieldKey::ToggleLayer);
    EXPECT_EQ(marked(text), "ab|c");
}

TEST(FieldKeys, ACursorOutsideTheTextIsBroughtBackFirst)
{
    FieldText text{"abc", 10, -4};
    EXPECT_EQ(applyFieldKey(text, "Bs"), FieldKey::Edited);
    EXPECT_EQ(text.text, "");
    EXPECT_EQ(text.cursor, 0);
}

} // namespace
} // namespace quill
