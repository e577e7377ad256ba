#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace quill {

// An attribute of a start tag as written; the name in lower case.
struct Attribute {
    QString name;  // lower case
    QString value;
};

// A start tag's attributes, and where the tag ends: just past its '>'.
struct StartTag {
    std::vector<Attribute> attributes;
    qsizetype end = 0;
};

// The attributes of a start tag whose name ends just before `from`, read as
// an HTML parser reads them (quoted values may hold '>').
StartTag readStartTag(QStringView text, qsizetype from);

// A piece of a page template: markup, where tags count; text, where none
// does (comments and the contents of elements such as title and style); or
// a script element.
struct TemplatePart {
    enum Kind { Markup, Text, Script } kind = Markup;
    QString text;      // the markup or text; for a script, its content
    QString startTag;  // script: as written, "<script ...>"
    QString endTag;    // script: as written, empty at the template's end
};

// Splits a page template as an HTML parser would see it: comments and the
// contents of elements such as title and style are text in which no tag
// counts, script elements end at their first end tag, all else is markup.
std::vector<TemplatePart> splitTemplate(QStringView text);

} // namespace quill
