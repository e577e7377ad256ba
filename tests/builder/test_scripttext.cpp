// Script text that stays inside its element in any HTML page.
#include "builder/scripttext.h"

#include "base/textfile.h"
#include "tests/builder/carriedscripts.h"
#include "tests/builder/qtprint.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <gtest/gtest.h>

#include <vector>

using namespace quill;

namespace {

struct LiteralCase {
    const char *name;
    QString text;
};

TEST(ScriptLiteral, HoldsTheTextExactlyAndNothingAnHtmlParserSeesAsMarkup)
{
    const std::vector<LiteralCase> cases = {
        {"empty", ""},
        {"plain", "abc"},
        {"tags", "</script><!--<script>"},
        {"quotes and backslash", "\"'\\"},
        {"control characters", QString("\t\r\n") + QChar(1) + QChar(0x1f) + QChar(0)},
        {"line separators", QString(QChar(0x2028)) + QChar(0x2029)},
        {"pair and lone surrogates", QString::fromUtf8("\xf0\x9f\x90\x88") + QChar(0xdc00) + "x" + QChar(0xd800)},
    };
    for (const LiteralCase &c : cases) {
        const QString literal = scriptLiteral(c.text);
        EXPECT_FALSE(literal.contains(u'<')) << c.name;
        EXPECT_FALSE(literal.contains(u'\n') || literal.contains(u'\r')) << c.name;
        for (const QChar ch : literal)
            EXPECT_GE(ch.unicode(), 0x20) << c.name;
        // JSON's strings are JavaScript's: the parser gives back the text.
        const QJsonDocument parsed = QJsonDocument::fromJson("[" + literal.toUtf8() + "]");
        ASSERT_TRUE(parsed.isArray()) << c.name;
        if (!QStringView(c.text).contains(QChar(0xd800)) && !QStringView(c.text).contains(QChar(0xdc00)))
            EXPECT_EQ(parsed.array().at(0).toString(), c.text) << c.name;
    }
    EXPECT_EQ(scriptLiteral(QString(QChar(0xd800))), "\"\\ud800\"");
    EXPECT_EQ(scriptLiteral(QString::fromUtf8("\xf0\x9f\x90\x88")), QString::fromUtf8("\"\xf0\x9f\x90\x88\""));
}

struct StaysCase {
    const char *name;
    QByteArray text;
    bool stays;
};

TEST(StaysInScript, RefusesWhatCouldEndOrEscapeTheElement)
{
    const std::vector<StaysCase> cases = {
        {"plain code", "if(a<b&&c>d)x();", true},
        {"a tag name only", "var s='<script>'; var e='</scrip';", true},
        {"end tag", "'</script>'", false},
        {"end tag in capitals", "'</SCRIPT>'", false},
        {"end tag in mixed case, at the very end", "x</sCrIpT", false},
        {"comment opener", "a<!--b", false},
        {"NUL", QByteArray("a\0b", 3), false},
        {"comment closer alone", "a-->b", true},
    };
    for (const StaysCase &c : cases) {
        EXPECT_EQ(staysInScript(QByteArrayView(c.text)), c.stays) << c.name;
        EXPECT_EQ(staysInScript(QString::fromLatin1(c.text)), c.stays) << c.name;
    }
}

// A carried script holds its text exactly, line for line, behind nothing an
// HTML parser takes for markup: one end tag, its own, and no comment opener.
TEST(CarriedScript, HoldsTheTextOnAsManyLinesAndEndsOnlyAtItsOwnTag)
{
    const std::vector<LiteralCase> cases = {
        {"empty", ""},
        {"one line", "var s='</script>';"},
        {"lines with every kind of end", "a();\r\nvar s='<!--<script>';\rb();\nc();"},
        {"line ends at both ends", "\n\nx='</SCRIPT >';\n\n"},
        {"a NUL and a tab", QString("s='a") + QChar(0) + "\t</script';"},
    };
    for (const LiteralCase &c : cases) {
        const QString element = carriedScript(c.text, {{"type", "text/javascript"}}, 41);
        const std::vector<testsupport::CarriedScript> read = testsupport::carriedScripts(element);
        ASSERT_EQ(read.size(), 1u) << c.name;
        QString expected = c.text;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        EXPECT_EQ(read[0].text, expected) << c.name;
        EXPECT_EQ(read[0].linesBefore, 41) << c.name;
        EXPECT_EQ(read[0].attributes.value("type").toString(), "text/javascript") << c.name;
        EXPECT_EQ(read[0].at, 0) << c.name;
        EXPECT_EQ(read[0].end, element.size()) << c.name;
        // The text's line ends, as many in the element.
        EXPECT_EQ(element.count(u'\n'), expected.count(u'\n')) << c.name;
        EXPECT_FALSE(element.contains(u'\r')) << c.name;
        EXPECT_EQ(element.indexOf(QStringLiteral("</script"), 0, Qt::CaseInsensitive),
                  element.size() - QStringLiteral("</script>").size())
            << c.name;
        EXPECT_FALSE(element.contains(QStringLiteral("<!--"))) << c.name;
        EXPECT_FALSE(element.contains(QChar(0))) << c.name;
    }
}

} // namespace
