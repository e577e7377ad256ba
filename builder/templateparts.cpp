#include "builder/templateparts.h"

#include <algorithm>

namespace quill {

namespace {

bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool endsTagName(QChar c)
{
    return isHtmlSpace(c) || c == u'/' || c == u'>';
}

// True when a tag "<name" or "</name" (closing) opens at `at`, in any case.
bool tagAt(QStringView text, qsizetype at, QLatin1StringView name, bool closing = false)
{
    const qsizetype nameAt = at + (closing ? 2 : 1);
    const qsizetype after = nameAt + name.size();
    return after < text.size() && text[at] == u'<' && (!closing || text[at + 1] == u'/')
           && text.mid(nameAt, name.size()).compare(name, Qt::CaseInsensitive) == 0
           && endsTagName(text[after]);
}

qsizetype findEndTag(QStringView text, qsizetype from, QLatin1StringView name)
{
    for (qsizetype at = text.indexOf(u"</", from); at >= 0; at = text.indexOf(u"</", at + 2))
        if (tagAt(text, at, name, true))
            return at;
    return -1;
}

} // namespace

StartTag readStartTag(QStringView text, qsizetype from)
{
    StartTag tag;
    qsizetype i = from;
    const qsizetype n = text.size();
    for (;;) {
        while (i < n && (isHtmlSpace(text[i]) || text[i] == u'/'))
            ++i;
        if (i >= n || text[i] == u'>') {
            tag.end = std::min(i + 1, n);
            return tag;
        }
        const qsizetype nameStart = i++;
        while (i < n && !endsTagName(text[i]) && text[i] != u'=')
            ++i;
        Attribute attribute{text.mid(nameStart, i - nameStart).toString().toLower(), {}};
        while (i < n && isHtmlSpace(text[i]))
            ++i;
        if (i < n && text[i] == u'=') {
            ++i;
            while (i < n && isHtmlSpace(text[i]))
                ++i;
            if (i < n && (text[i] == u'"' || text[i] == u'\'')) {
                qsizetype close = text.indexOf(text[i], i + 1);
                if (close < 0)
                    close = n;
                attribute.value = text.mid(i + 1, close - i - 1).toString();
                i = std::min(close + 1, n);
            } else {
                const qsizetype valueStart = i;
                while (i < n && !isHtmlSpace(text[i]) && text[i] != u'>')
                    ++i;
                attribute.value = text.mid(valueStart, i - valueStart).toString();
            }
        }
        tag.attributes.push_back(std::move(attribute));
    }
}

std::vector<TemplatePart> splitTemplate(QStringView text)
{
    static const QLatin1StringView TextElements[] = {
        QLatin1StringView("style"),   QLatin1StringView("title"),   QLatin1StringView("textarea"),
        QLatin1StringView("xmp"),     QLatin1StringView("iframe"),  QLatin1StringView("noembed"),
        QLatin1StringView("noframes"), QLatin1StringView("noscript")};
    const QLatin1StringView script("script");
    std::vector<TemplatePart> parts;
    const auto add = [&](TemplatePart::Kind kind, qsizetype from, qsizetype to) {
        if (to > from)
            parts.push_back({kind, text.mid(from, to - from).toString(), {}, {}});
    };
    const qsizetype n = text.size();
    qsizetype markupFrom = 0;
    qsizetype at = 0;
    while ((at = text.indexOf(u'<', at)) >= 0) {
        if (text.mid(at, 4) == u"<!--") {
            // "<!-->" already closes the comment.
            const qsizetype close = text.indexOf(u"-->", at + 2);
            const qsizetype end = close < 0 ? n : close + 3;
            add(TemplatePart::Markup, markupFrom, at);
            add(TemplatePart::Text, at, end);
            markupFrom = at = end;
            continue;
        }
        if (tagAt(text, at, script)) {
            const StartTag tag = readStartTag(text, at + 1 + script.size());
            qsizetype contentEnd = findEndTag(text, tag.end, script);
            qsizetype end = n;
            if (contentEnd < 0) {
                contentEnd = n;
            } else {
                const qsizetype close = text.indexOf(u'>', contentEnd);
                end = close < 0 ? n : close + 1;
            }
            add(TemplatePart::Markup, markupFrom, at);
            parts.push_back({TemplatePart::Script, text.mid(tag.end, contentEnd - tag.end).toString(),
                             text.mid(at, tag.end - at).toString(),
                             text.mid(contentEnd, end - contentEnd).toString()});
            markupFrom = at = end;
            continue;
        }
        bool skipped = false;
        for (const QLatin1StringView name : TextElements) {
            if (!tagAt(text, at, name))
                continue;
            const StartTag tag = readStartTag(text, at + 1 + name.size());
            const qsizetype endTag = findEndTag(text, tag.end, name);
            const qsizetype close = endTag < 0 ? -1 : text.indexOf(u'>', endTag);
            const qsizetype end = close < 0 ? n : close + 1;
            add(TemplatePart::Markup, markupFrom, at);
            add(TemplatePart::Text, at, end);
            markupFrom = at = end;
            skipped = true;
            break;
        }
        if (!skipped)
            ++at;
    }
    add(TemplatePart::Markup, markupFrom, n);
    return parts;
}

} // namespace quill
