#include "builder/singlepage.h"

#include "base/textfile.h"
#include "builder/scripttext.h"
#include "builder/templateparts.h"

#include <QSet>
#include <QStringEncoder>

#include <vector>

namespace quill {

namespace {

const QString UserMark = QStringLiteral("##user##");
const QString AddonMark = QStringLiteral("##addon##");
const QString AppNameMark = QStringLiteral("##appname##");

// Defines _quillpage before the page's first script: the resources by the
// paths the page names them with (the table closes the script, so it can be
// written one resource at a time), and hook(), called after
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

// The placeholders filled in the generator's order: the code, then the
// add-on tags (also where the code wrote "##addon##"), then the name.
QString filled(QString text, const PageParts &parts)
{
    text.replace(UserMark, parts.code.code);
    text.replace(AddonMark, parts.code.addonScripts);
    text.replace(AppNameMark, parts.appName);
    return text;
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
        out_.text(carriedScript(text, attributes));
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

} // namespace

void writeSinglePage(const PageParts &parts, const QStringList &resources,
                     const ResourceReader &read, const PageWriter &write)
{
    SinglePageWriter(parts, resources, read, write).write();
}

} // namespace quill
