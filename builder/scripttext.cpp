#include "builder/scripttext.h"

#include "base/textfile.h"
#include "base/wholecharacters.h"

#include <cstring>

namespace quill {

QString scriptLiteral(QStringView text)
{
    static const char Hex[] = "0123456789abcdef";
    QString literal;
    literal.reserve(text.size() + text.size() / 8 + 2);
    literal += u'"';
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool escaped = c < 0x20 || c == u'"' || c == u'\\' || c == u'<' || c == 0x2028
                             || c == 0x2029 || (QChar(c).isSurrogate() && isLoneSurrogate(text, i));
        if (!escaped)
            continue;
        literal += text.mid(from, i - from);
        from = i + 1;
        switch (c) {
        case u'"': literal += QLatin1StringView("\\\""); break;
        case u'\\': literal += QLatin1StringView("\\\\"); break;
        case u'\n': literal += QLatin1StringView("\\n"); break;
        case u'\r': literal += QLatin1StringView("\\r"); break;
        case u'\t': literal += QLatin1StringView("\\t"); break;
        default:
            literal += QLatin1StringView("\\u");
            for (int shift = 12; shift >= 0; shift -= 4)
                literal += QLatin1Char(Hex[(c >> shift) & 0xf]);
        }
    }
    literal += text.mid(from);
    literal += u'"';
    return literal;
}

bool staysInScript(QStringView text)
{
    return !text.contains(u"</script", Qt::CaseInsensitive) && !text.contains(u"<!--")
           && !text.contains(QChar(0));
}

bool staysInScript(QByteArrayView bytes)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    if (size > 0 && std::memchr(data, 0, size_t(size)))
        return false;
    const QByteArrayView closing("/script");
    for (qsizetype at = bytes.indexOf('<'); at >= 0; at = bytes.indexOf('<', at + 1)) {
        const QByteArrayView rest = bytes.sliced(at + 1);
        if (rest.startsWith("!--"))
            return false;
        if (rest.size() >= closing.size()
            && rest.first(closing.size()).compare(closing, Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

namespace {

// Runs the lines l as one script right after the element it stands in,
// with k line ends in front of them, so that its lines are counted as the
// page counts them, under the page's own address (without the fragment, as
// the page's scripts are named), with the attributes a.
const char CarrierStart[] =
    "<script>(function(k,l,a){var t='',s=document.createElement('script'),h=document.currentScript,i,n;"
    "for(;k>0;k--)t+='\\n';for(i=0;i<l.length;i++)t+=(i?'\\n':'')+l[i];"
    "for(n in a)s.setAttribute(n,a[n]);"
    "s.text=t+'\\n//# sourceURL='+location.href.split('#')[0];"
    "h.parentNode.insertBefore(s,h.nextSibling);})(";

} // namespace

QString carriedScript(QStringView text, const std::vector<Attribute> &attributes, qsizetype linesBefore)
{
    QStringList lines = splitLines(text);
    if (text.isEmpty() || text.back() == u'\n' || text.back() == u'\r')
        lines.append(QString());
    QString element = QLatin1StringView(CarrierStart) + QString::number(linesBefore) + QStringLiteral(",[");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            element += QStringLiteral(",\n");
        element += scriptLiteral(lines[i]);
    }
    element += QStringLiteral("],{");
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (i > 0)
            element += u',';
        element += scriptLiteral(attributes[i].name) + u':' + scriptLiteral(attributes[i].value);
    }
    return element + QStringLiteral("});</script>");
}

} // namespace quill
