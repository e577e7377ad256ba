// A page template split as an HTML parser sees it.
#include "builder/templateparts.h"

#include "tests/builder/qtprint.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <vector>

using namespace quill;

namespace {

// A part as "kind:text" (a script as "script:start|content|end").
QStringList described(const std::vector<TemplatePart> &parts)
{
    QStringList out;
    for (const TemplatePart &part : parts) {
        switch (part.kind) {
        case TemplatePart::Markup: out.append("markup:" + part.text); break;
        case TemplatePart::Text: out.append("text:" + part.text); break;
        case TemplatePart::Script:
            out.append("script:" + part.startTag + "|" + part.text + "|" + part.endTag);
            break;
        }
    }
    return out;
}

struct SplitCase {
    const char *name;
    QString templateText;
    QStringList parts;
};

TEST(TemplateParts, SplitsWhereAnHtmlParserSeesElements)
{
    const std::vector<SplitCase> cases = {
        {"markup only", "<html><p>x</p></html>", {"markup:<html><p>x</p></html>"}},
        {"a script between markup", "<head><script src=\"a.js\"></script></head>",
         {"markup:<head>", "script:<script src=\"a.js\">||</script>", "markup:</head>"}},
        {"a script ends at its first end tag, in any case, with blanks",
         "<SCRIPT>a<b;'<p>'</Script >x",
         {"script:<SCRIPT>|a<b;'<p>'|</Script >", "markup:x"}},
        {"a name that only begins like script is no script", "<scripts>x</scripts>",
         {"markup:<scripts>x</scripts>"}},
        {"a quoted '>' stays in the tag", "<script data-x='a>b'>c</script>",
         {"script:<script data-x='a>b'>|c|</script>"}},
        {"a script in a comment is text", "<!-- <script>x</script> -->y",
         {"text:<!-- <script>x</script> -->", "markup:y"}},
        {"the shortest comment", "<!-->y", {"text:<!-->", "markup:y"}},
        {"a script tag in the title is text", "<title><script>x</script></title>",
         {"text:<title><script>x</script></title>"}},
        {"style and textarea hold text", "<style>a<script></style><textarea></script></textarea>",
         {"text:<style>a<script></style>", "text:<textarea></script></textarea>"}},
        {"a script never closed runs to the end", "<script>x", {"script:<script>|x|"}},
    };
    for (const SplitCase &c : cases)
        EXPECT_EQ(described(splitTemplate(c.templateText)), c.parts) << c.name;
}

struct AttributeCase {
    const char *name;
    QString tag;
    std::vector<std::pair<QString, QString>> attributes;
};

TEST(TemplateParts, ReadsAttributesAsAnHtmlParserDoes)
{
    const std::vector<AttributeCase> cases = {
        {"none", "<script>", {}},
        {"double, single and no quotes", "<script src=\"a.js\" type='t' id=x>",
         {{"src", "a.js"}, {"type", "t"}, {"id", "x"}}},
        {"names in lower case, blanks around =", "<script SRC = \"a.js\">", {{"src", "a.js"}}},
        {"a bare attribute and a self-closing slash", "<script async/>", {{"async", ""}}},
    };
    for (const AttributeCase &c : cases) {
        const StartTag tag = readStartTag(c.tag, 7);
        std::vector<std::pair<QString, QString>> read;
        for (const Attribute &attribute : tag.attributes)
            read.emplace_back(attribute.name, attribute.value);
        EXPECT_EQ(read, c.attributes) << c.name;
        EXPECT_EQ(tag.end, c.tag.size()) << c.name;
    }
}

} // namespace
