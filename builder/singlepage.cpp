#include "builder/singlepage.h"

#include "base/textfile.h"

#include <QSet>
#include <QStringEncoder>

#include <cstring>
#include <vector>

namespace quill {

namespace {

const QString UserMark = QStringLiteral("##user##");
const QString AddonMark = QStringLiteral("##addon##");
const QString AppNameMark = QStringLiteral("##appname##");

// Defines _quillpage before the page's first script: the resources by the
// paths the page names them with (the table closes the script, so it can be
// written one resource at a time), run(), which runs a script carried as a
// string as if it stood in the page at that place, and hook(), called after
// every script written into the page, which points each engine present at
// the table once: Stage.js by its image loader, three.js by its URL modifier
// and SoundJS by the address each of its requests opens (sounds stay
// registered and reported under their paths). SoundJS refuses Web Audio on file: pages
// because it cannot read files there; it reads data URLs, so the page plays
// through Web Audio as it does when served.
const char PreludeStart[] = R"js(<script>
var _quillpage=(function(res){
var own=Object.prototype.hasOwnProperty,hooked={};
function url(path){return own.call(res,path)?res[path]:path;}
return {
url:url,
run:function(text,attributes){
var here=document.currentScript,script=document.createElement('script'),name;
for(name in attributes)script.setAttribute(name,attributes[name]);
script.text=text;
here.parentNode.insertBefore(script,here.nextSibling);
},
hook:function(){
if(!hooked.stage&&typeof Stage!=='undefined'&&Stage.config&&Stage.config('image-loader')){
hooked.stage=1;
(function(load){
Stage.config({'image-loader':function(src,loaded,failed){load(url(src),loaded,failed);}});
})(Stage.config('image-loader'));
}
if(!hooked.three&&typeof THREE!=='undefined'&&THREE.DefaultLoadingManager){
hooked.three=1;
THREE.DefaultLoadingManager.setURLModifier(url);
}
if(!hooked.sound&&typeof createjs!=='undefined'&&createjs.Sound&&createjs.XHRRequest){
hooked.sound=1;
if(createjs.WebAudioPlugin)createjs.WebAudioPlugin._isFileXHRSupported=function(){return true;};
(function(request){
var open=request._createXHR;
request._createXHR=function(item){
var src=item.src,found=url(src);
if(found===src)return open.call(this,item);
item.src=found;
try{return open.call(this,item);}finally{item.src=src;}
};
})(createjs.XHRRequest.prototype);
}
}
};
})({)js";
const char PreludeEnd[] = "\n});\n</script>";
const char HookScript[] = "<script>_quillpage.hook();</script>";

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

struct Attribute {
    QString name;  // lower case
    QString value;
};

struct StartTag {
    std::vector<Attribute> attributes;
    qsizetype end = 0;  // just past its '>'
};

// The attributes of a start tag whose name ends before `from`, read as an
// HTML parser reads them (quoted values may hold '>').
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

// Pieces of the template: markup, where an "##addon##" becomes the add-on
// scripts; text taken as it stands (comments and the contents of elements
// such as title and style, where no tag counts); and script elements.
struct TemplatePart {
    enum Kind { Markup, Text, Script } kind = Markup;
    QString text;      // the markup or text; for a script, its content
    QString startTag;  // script: as written, "<script ...>"
    QString endTag;    // script: as written, empty at the template's end
};

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

// The placeholders filled in the generator's order: the code, then the
// add-on tags (also where the code wrote "##addon##"), then the name.
QString filled(QString text, const PageParts &parts)
{
    text.replace(UserMark, parts.code.code);
    text.replace(AddonMark, parts.code.addonScripts);
    text.replace(AppNameMark, parts.appName);
    return text;
}

bool isEightBit(TextEncoding encoding)
{
    return encoding != TextEncoding::Utf16LE && encoding != TextEncoding::Utf16BE;
}

QString dataType(const QString &path)
{
    static const std::pair<QLatin1StringView, QLatin1StringView> Types[] = {
        {QLatin1StringView(".png"), QLatin1StringView("image/png")},
        {QLatin1StringView(".jpg"), QLatin1StringView("image/jpeg")},
        {QLatin1StringView(".jpeg"), QLatin1StringView("image/jpeg")},
        {QLatin1StringView(".gif"), QLatin1StringView("image/gif")},
        {QLatin1StringView(".ogg"), QLatin1StringView("audio/ogg")},
        {QLatin1StringView(".mp3"), QLatin1StringView("audio/mpeg")},
        {QLatin1StringView(".wav"), QLatin1StringView("audio/wav")},
        {QLatin1StringView(".js"), QLatin1StringView("text/javascript")},
    };
    for (const auto &[suffix, type] : Types)
        if (path.endsWith(suffix, Qt::CaseInsensitive))
            return type;
    return QStringLiteral("application/octet-stream");
}

// A script file's text, read as a text file is read.
QString scriptText(const QByteArray &bytes)
{
    return decodeText(bytes).lines.join(u'\n');
}

// The page's bytes in order. Template and program text is written with CR LF
// line ends, the last line's included, as the generated page is; markup of
// our own and script files go in as they are.
class PageOutput {
public:
    PageOutput(TextEncoding encoding, const PageWriter &write)
        : write_(write), encoder_(converterOf(encoding)), eightBit_(isEightBit(encoding))
    {
        const QByteArray mark = byteOrderMark(encoding);
        if (!mark.isEmpty())
            write_(mark);
    }

    void text(QStringView text)
    {
        if (text.isEmpty())
            return;
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c != u'\r' && c != u'\n')
                continue;
            pending_ += text.mid(from, i - from);
            pending_ += QLatin1StringView("\r\n");
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            from = i + 1;
        }
        pending_ += text.mid(from);
        const QChar last = text.back();
        lineEnded_ = last == u'\r' || last == u'\n';
        started_ = true;
        flushWhenLarge();
    }

    void own(const QString &text)
    {
        pending_ += text;
        ownWritten();
        flushWhenLarge();
    }

    // ASCII bytes of our own (the table's data URLs).
    void ascii(QByteArrayView bytes)
    {
        if (eightBit_) {
            flush();
            write_(bytes);
        } else {
            pending_ += QLatin1StringView(bytes);
        }
        ownWritten();
    }

    void script(const QByteArray &bytes)
    {
        if (eightBit_) {
            flush();
            write_(bytes);
        } else {
            pending_ += scriptText(bytes);
        }
        ownWritten();
    }

    void finish()
    {
        if (started_ && !lineEnded_)
            pending_ += QLatin1StringView("\r\n");
        flush();
    }

private:
    void ownWritten()
    {
        lineEnded_ = false;
        started_ = true;
    }

    void flushWhenLarge()
    {
        constexpr qsizetype Large = 64 * 1024;
        if (pending_.size() >= Large)
            flush();
    }

    void flush()
    {
        if (pending_.isEmpty())
            return;
        const QByteArray bytes = encoder_.encode(pending_);
        write_(bytes);
        pending_.clear();
    }

    const PageWriter &write_;
    QStringEncoder encoder_;
    bool eightBit_;
    QString pending_;
    bool lineEnded_ = false;
    bool started_ = false;
};

QString attributesArgument(const std::vector<Attribute> &attributes)
{
    if (attributes.empty())
        return {};
    QString argument = QStringLiteral(",{");
    for (const Attribute &attribute : attributes) {
        if (argument.size() > 2)
            argument += u',';
        argument += scriptLiteral(attribute.name) + u':' + scriptLiteral(attribute.value);
    }
    return argument + u'}';
}

QString startTagWith(const std::vector<Attribute> &attributes)
{
    QString tag = QStringLiteral("<script");
    for (const Attribute &attribute : attributes) {
        tag += u' ' + attribute.name;
        if (!attribute.value.isEmpty()) {
            QString value = attribute.value;
            value.replace(u'"', QLatin1StringView("&quot;"));
            tag += QStringLiteral("=\"") + value + u'"';
        }
    }
    return tag + u'>';
}

class SinglePageWriter {
public:
    SinglePageWriter(const PageParts &parts, const QStringList &resources, const ResourceReader &read,
                     const PageWriter &write)
        : parts_(parts), resources_(resources), read_(read), out_(parts.encoding, write)
    {
    }

    void write()
    {
        const std::vector<TemplatePart> pieces = splitTemplate(parts_.templateLines.join(u'\n'));
        // Filled first: which scripts the page carries decides what the
        // resource table at its top leaves out.
        std::vector<TemplatePart> page;
        page.reserve(pieces.size());
        const QSet<QString> listed(resources_.cbegin(), resources_.cend());
        for (const TemplatePart &piece : pieces) {
            TemplatePart part = piece;
            if (part.kind == TemplatePart::Markup) {
                part.text.replace(UserMark, parts_.code.code);
                if (part.text.contains(AddonMark))
                    for (const QString &script : parts_.code.addonResources)
                        if (listed.contains(script))
                            carried_.insert(script);
            } else {
                part.text = filled(part.text, parts_);
                part.startTag = filled(part.startTag, parts_);
                part.endTag = filled(part.endTag, parts_);
                if (part.kind == TemplatePart::Script) {
                    const QString src = sourceOf(part);
                    if (listed.contains(src))
                        carried_.insert(src);
                }
            }
            page.push_back(std::move(part));
        }

        for (const TemplatePart &part : page) {
            switch (part.kind) {
            case TemplatePart::Text:
                out_.text(part.text);
                break;
            case TemplatePart::Markup:
                writeMarkup(part.text);
                break;
            case TemplatePart::Script:
                writeScript(part);
                break;
            }
        }
        out_.finish();
    }

private:
    static QString sourceOf(const TemplatePart &script)
    {
        const QLatin1StringView name("<script");
        const StartTag tag = readStartTag(script.startTag, name.size());
        for (const Attribute &attribute : tag.attributes)
            if (attribute.name == u"src")
                return attribute.value;
        return {};
    }

    void writeMarkup(const QString &markup)
    {
        const QStringList pieces = markup.split(AddonMark);
        for (qsizetype k = 0; k < pieces.size(); ++k) {
            if (k > 0)
                for (const QString &script : parts_.code.addonResources)
                    writeCarriedScript(script, {});
            QString piece = pieces[k];
            piece.replace(AppNameMark, parts_.appName);
            out_.text(piece);
        }
    }

    void writeScript(const TemplatePart &part)
    {
        const StartTag tag = readStartTag(part.startTag, QLatin1StringView("<script").size());
        std::vector<Attribute> others;
        bool external = false;
        QString src;
        for (const Attribute &attribute : tag.attributes) {
            if (attribute.name != u"src") {
                others.push_back(attribute);
            } else if (!external) {
                external = true;
                src = attribute.value;
            }
        }
        if (external && carried_.contains(src)) {
            writeCarriedScript(src, others);
            return;
        }
        writePrelude();
        if (external) {
            // Left to load at run time; the browser ignores its content,
            // which is kept only when it cannot end the element early.
            out_.text(part.startTag);
            if (staysInScript(part.text))
                out_.text(part.text);
            out_.text(part.endTag);
        } else if (staysInScript(part.text)) {
            out_.text(part.startTag);
            out_.text(part.text);
            out_.text(part.endTag);
        } else {
            writeRun(part.text, tag.attributes);
        }
    }

    // A script resource written into the page, then the hook for the engine
    // it may have defined.
    void writeCarriedScript(const QString &src, const std::vector<Attribute> &attributes)
    {
        if (!carried_.contains(src)) {
            writePrelude();
            std::vector<Attribute> external = attributes;
            external.insert(external.begin(), Attribute{QStringLiteral("src"), src});
            out_.own(startTagWith(external) + QStringLiteral("</script>"));
            return;
        }
        writePrelude();
        const QByteArray bytes = read_(src);
        const bool asItIs = isEightBit(parts_.encoding) ? staysInScript(QByteArrayView(bytes))
                                                        : staysInScript(scriptText(bytes));
        if (asItIs) {
            out_.own(startTagWith(attributes));
            out_.script(bytes);
            out_.own(QStringLiteral("</script>"));
        } else {
            writeRun(scriptText(bytes), attributes);
        }
        out_.own(QLatin1StringView(HookScript));
    }

    void writeRun(const QString &text, const std::vector<Attribute> &attributes)
    {
        out_.own(QStringLiteral("<script>_quillpage.run(") + scriptLiteral(text)
                 + attributesArgument(attributes) + QStringLiteral(");</script>"));
    }

    // The resources the page does not carry as scripts, one at a time.
    void writePrelude()
    {
        if (preludeWritten_)
            return;
        preludeWritten_ = true;
        out_.own(QLatin1StringView(PreludeStart));
        QSet<QString> written;
        bool first = true;
        for (const QString &resource : resources_) {
            if (carried_.contains(resource) || written.contains(resource))
                continue;
            written.insert(resource);
            const QByteArray bytes = read_(resource);
            out_.own(QString(first ? QStringLiteral("\n") : QStringLiteral(",\n"))
                     + scriptLiteral(resource) + QStringLiteral(":\"data:") + dataType(resource)
                     + QStringLiteral(";base64,"));
            out_.ascii(bytes.toBase64());
            out_.own(QStringLiteral("\""));
            first = false;
        }
        out_.own(QLatin1StringView(PreludeEnd));
    }

    const PageParts &parts_;
    const QStringList &resources_;
    const ResourceReader &read_;
    PageOutput out_;
    QSet<QString> carried_;
    bool preludeWritten_ = false;
};

bool isLoneSurrogate(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text[i - 1].isHighSurrogate();
    return false;
}

} // namespace

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

void writeSinglePage(const PageParts &parts, const QStringList &resources,
                     const ResourceReader &read, const PageWriter &write)
{
    SinglePageWriter(parts, resources, read, write).write();
}

} // namespace quill
