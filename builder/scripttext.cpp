#include "builder/scripttext.h"

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

} // namespace quill
