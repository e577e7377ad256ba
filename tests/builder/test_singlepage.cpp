// The self-contained page: the generated page with its scripts written in,
// its images and sounds as data URLs, and no program text able to end a
// script element early.
#include "builder/singlepage.h"

#include "app/installer.h"
#include "base/messagesink.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "builder/scripttext.h"
#include "tests/builder/carriedscripts.h"
#include "tests/builder/qtprint.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quill;

namespace {

class RecordedMessages : public MessageSink {
public:
    void showMessage(const QString &text) override { shown.append(text); }
    QStringList shown;
};

const QByteArray Hook = "<script>_quillpage.hook();</script>";

// A carried script element as the page holds it: its lines end with CR LF.
QByteArray carried(const QString &text, const std::vector<Attribute> &attributes = {})
{
    return carriedScript(text, attributes).replace(u'\n', QStringLiteral("\r\n")).toUtf8();
}

// Resources from memory; every read is counted.
struct Files {
    QMap<QString, QByteArray> bytes;
    QStringList reads;
    ResourceReader reader()
    {
        return [this](const QString &resource) {
            reads.append(resource);
            if (!bytes.contains(resource))
                throw QuillError(QStringLiteral("Cannot open file \"%1\". No such file or directory")
                                     .arg(resource));
            return bytes.value(resource);
        };
    }
};

QByteArray singlePage(const PageParts &parts, const QStringList &resources, Files &files)
{
    QByteArray page;
    writeSinglePage(parts, resources, files.reader(),
                    [&](QByteArrayView bytes) { page.append(bytes); });
    return page;
}

// The prelude: from the first script start to the end of the resource table.
qsizetype preludeStart(const QByteArray &page)
{
    return page.indexOf("<script>\nvar _quillpage=");
}

QByteArray withoutPrelude(const QByteArray &page)
{
    const qsizetype start = preludeStart(page);
    if (start < 0)
        return page;
    const QByteArray end = "});\n</script>";
    const qsizetype close = page.indexOf(end, start);
    return page.left(start) + page.mid(close + end.size());
}

// The text that the first carried script element from `from` on runs.
QString runText(const QByteArray &page, qsizetype from = 0)
{
    const QString text = QString::fromUtf8(page);
    for (const testsupport::CarriedScript &script : testsupport::carriedScripts(text))
        if (script.at >= from)
            return script.linesBefore < 0 ? QStringLiteral("<not carried: %1>").arg(script.text) : script.text;
    return QStringLiteral("<no run>");
}

PageParts parts(const QStringList &templateLines, const QString &code,
                const QStringList &addonResources = {}, const QString &appName = "game")
{
    PageParts parts;
    parts.templateLines = templateLines;
    parts.code.code = code;
    for (const QString &script : addonResources)
        parts.code.addonScripts += "<script src=\"" + script + "\"></script>";
    parts.code.addonResources = addonResources;
    parts.appName = appName;
    return parts;
}

const QStringList Template = {"<html><head><title>T ##appname##</title>",
                              "<script src=\"js/engine.js\"></script>",
                              "##addon##",
                              "<script>",
                              "##user##",
                              "</script></head><body></body></html>"};

TEST(SinglePage, ScriptsGoInByteForByteAndEverythingElseIsTheGeneratedPage)
{
    Files files;
    files.bytes["js/engine.js"] = "var engine=1;\r\n// ends without a line end";
    files.bytes["js/sound.js"] = "var sound=\"\xc3\xa9\";\n";
    files.bytes["img/cat.png"] = QByteArray("\x89PNG\r\n\x1a\n\0\xff", 10);
    files.bytes["audio/tune.ogg"] = "OggS tune";
    const PageParts page = parts(Template, "f();\n", {"js/sound.js"});
    const QStringList resources = {"img/cat.png", "audio/tune.ogg", "js/sound.js", "js/engine.js"};

    const QByteArray single = singlePage(page, resources, files);

    const QByteArray expected =
        "<html><head><title>T game</title>\r\n"
        "<script>var engine=1;\r\n// ends without a line end</script>" + Hook + "\r\n"
        "<script>var sound=\"\xc3\xa9\";\n</script>" + Hook + "\r\n"
        "<script>\r\nf();\r\n\r\n</script></head><body></body></html>\r\n";
    EXPECT_EQ(withoutPrelude(single), expected);
    EXPECT_EQ(preludeStart(single), single.indexOf("<script>"));
    // Images and sounds in the table, once each, in the page's order; the
    // scripts written into the page are not in it again.
    const QByteArray table = single.left(single.indexOf("});\n</script>") + 1).mid(preludeStart(single));
    EXPECT_TRUE(table.contains("\"img/cat.png\":\"data:image/png;base64,"
                               + files.bytes["img/cat.png"].toBase64() + "\",\n"
                               "\"audio/tune.ogg\":\"data:audio/ogg;base64,"
                               + files.bytes["audio/tune.ogg"].toBase64() + "\"\n"))
        << table.toStdString();
    EXPECT_FALSE(table.contains("js/engine.js"));
    EXPECT_FALSE(table.contains("js/sound.js"));
    EXPECT_EQ(files.reads, QStringList({"img/cat.png", "audio/tune.ogg", "js/engine.js", "js/sound.js"}));
}

struct TemplateCase {
    const char *name;
    QStringList templateLines;
    QString code;
    QStringList resources;
    QByteArray expected;  // the page without the prelude
};

TEST(SinglePage, OnlyTheTemplatesOwnScriptElementsAreCarried)
{
    Files files;
    files.bytes["js/a.js"] = "A();";
    files.bytes["js/b.js"] = "B();";
    const std::vector<TemplateCase> cases = {
        {"a script in a comment stays commented out",
         {"<!-- <script src=\"js/a.js\"></script> -->", "<script src=\"js/b.js\"></script>"},
         "", {"js/a.js", "js/b.js"},
         "<!-- <script src=\"js/a.js\"></script> -->\r\n<script>B();</script>" + Hook + "\r\n"},
        {"a tag in the title is text",
         {"<title><script src=\"js/a.js\"></script></title>", "<script src=\"js/b.js\"></script>"},
         "", {"js/a.js", "js/b.js"},
         "<title><script src=\"js/a.js\"></script></title>\r\n<script>B();</script>" + Hook + "\r\n"},
        {"tags in any case, quoted and unquoted values, other attributes kept",
         {"<SCRIPT type=text/javascript SRC='js/a.js'></SCRIPT>"}, "", {"js/a.js"},
         "<script type=\"text/javascript\">A();</script>" + Hook + "\r\n"},
        {"a script that is no resource keeps loading at run time",
         {"<script src=\"js/other.js\"></script>", "<script src=\"js/a.js\"></script>"}, "",
         {"js/a.js"},
         "<script src=\"js/other.js\"></script>\r\n<script>A();</script>" + Hook + "\r\n"},
        {"##addon## written in the code is the tags as text",
         {"<script>", "##user##", "</script>"}, "var s='##addon##';\n", {"js/a.js"},
         carried("\nvar s='<script src=\"js/a.js\"></script>';\n\n") + "\r\n"},
        {"##appname## in a script and in markup",
         {"<p>##appname##</p><script>var n='##appname##';</script>"}, "", {},
         "<p>game</p><script>var n='game';</script>\r\n"},
        {"a template ending in a line end keeps one line end",
         {"<script>x();</script>", ""}, "", {}, "<script>x();</script>\r\n"},
        {"line ends from the code become CR LF",
         {"<script>##user##</script>"}, "a();\nb();\n", {}, "<script>a();\r\nb();\r\n</script>\r\n"},
    };
    for (const TemplateCase &c : cases) {
        PageParts page = parts(c.templateLines, c.code, {});
        page.code.addonScripts = "<script src=\"js/a.js\"></script>";
        const QByteArray single = singlePage(page, c.resources, files);
        EXPECT_EQ(withoutPrelude(single), c.expected) << c.name;
        EXPECT_GE(preludeStart(single), 0) << c.name;
    }
}

struct EscapeCase {
    const char *name;
    QString code;
};

// Program texts that would end an inline script early, or open an HTML
// comment that swallows the end tag: each is carried as a string and comes
// back exactly; the page then holds no "</script" but at the ends of its
// own elements and no "<!--" at all.
TEST(SinglePage, NoProgramTextLeavesItsScriptElement)
{
    const std::vector<EscapeCase> cases = {
        {"in a string", "var s='</script><script>alert(1)</script>';"},
        {"in a comment", "// </script>\nvar ok=1;"},
        {"in a block comment", "/* </SCRIPT > */ var ok=1;"},
        {"in a regex literal", "var r=/<\\/script>|<\\/script/i, s=/</script>/;"},
        {"in a template literal", "var t=`</script\t>${1}`;"},
        {"an HTML comment opener then a script tag", "var a=1<!--b;\nvar s='<script>';"},
        {"a NUL character", QString("var s='a") + QChar(0) + "b';"},
        {"not ASCII", QString::fromUtf8("var s='g\xc3\xa4t\xc3\xa9 \xf0\x9f\x90\x88 </script>';")},
    };
    for (const EscapeCase &c : cases) {
        Files files;
        const QByteArray single = singlePage(parts({"<script>##user##</script>"}, c.code), {}, files);
        EXPECT_EQ(runText(single), c.code) << c.name;
        const QByteArray lower = single.toLower();
        const qsizetype ends = lower.count("</script");
        EXPECT_EQ(ends, lower.count("<script")) << c.name << ": " << single.toStdString();
        EXPECT_FALSE(single.contains("<!--")) << c.name;
        EXPECT_FALSE(single.contains('\0')) << c.name;
    }
}

TEST(SinglePage, AScriptFileThatWouldEndItsElementIsCarriedAsAString)
{
    Files files;
    files.bytes["js/a.js"] = "document.write('</script>');";
    const QByteArray single =
        singlePage(parts({"<script src=\"js/a.js\" id=\"e\"></script>"}, ""), {"js/a.js"}, files);
    EXPECT_EQ(withoutPrelude(single),
              carried("document.write('</script>');", {{"id", "e"}}) + Hook + "\r\n");
    EXPECT_EQ(runText(single), "document.write('</script>');");
}

TEST(SinglePage, TheTemplatesEncodingIsKept)
{
    Files files;
    files.bytes["js/a.js"] = "A('\xc3\xa9');";
    PageParts page = parts({"<p>\u00e9</p><script src=\"js/a.js\"></script>"}, "");

    page.encoding = TextEncoding::Utf8Bom;
    QByteArray single = singlePage(page, {"js/a.js"}, files);
    EXPECT_TRUE(single.startsWith("\xef\xbb\xbf<p>\xc3\xa9</p>")) << single.toStdString();
    EXPECT_TRUE(single.contains("<script>A('\xc3\xa9');</script>"));

    // A UTF-16 page takes the script as text, in its own encoding.
    page.encoding = TextEncoding::Utf16LE;
    single = singlePage(page, {"js/a.js"}, files);
    ASSERT_TRUE(single.startsWith("\xff\xfe"));
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(single.constData() + 2),
                                            (single.size() - 2) / 2);
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("<p>\xc3\xa9</p>"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("<script>A('\xc3\xa9');</script>"))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(QString::fromLatin1(Hook) + "\r\n")) << text.toStdString();
}

TEST(SinglePage, AResourceThatCannotBeReadStopsThePage)
{
    Files files;
    files.bytes["js/a.js"] = "A();";
    QByteArray written;
    try {
        writeSinglePage(parts({"<script src=\"js/a.js\"></script>"}, ""), {"img/gone.png", "js/a.js"},
                        files.reader(), [&](QByteArrayView bytes) { written.append(bytes); });
        FAIL() << "written without its image";
    } catch (const QuillError &error) {
        EXPECT_EQ(error.message(), "Cannot open file \"img/gone.png\". No such file or directory");
    }
    EXPECT_EQ(files.reads, QStringList({"img/gone.png"}));
}

// The supplied samples: the page is temp.html again once every carried
// script is put back as its tag and the prelude is taken out.
class SampleSinglePage : public ::testing::Test {
protected:
    SampleSinglePage()
    {
        paths = WorkspacePaths::fromBaseDir(workspace.path() + "/");
        SettingsStore settings;
        QStringList keywords;
        installWorkspace(paths, settings, keywords, 384, workspace.path());
    }
    QTemporaryDir workspace;
    WorkspacePaths paths;
    RecordedMessages messages;
};

TEST_F(SampleSinglePage, IsTheGeneratedPageWithItsScriptsWrittenIn)
{
    for (const QString sample : {"cat_sample", "3d_sample"}) {
        const GeneratedPage generated =
            generatePage(readTextFile(paths.codeDir + sample).lines, "game", paths, messages);
        ASSERT_TRUE(generated.written);
        Files files;
        for (const QString &resource : generated.resources)
            files.bytes[resource] = readBinaryFile(paths.baseDir + resource);
        const QByteArray single = singlePage(generated.parts, generated.resources, files);

        QByteArray page = withoutPrelude(single);
        for (const QString &resource : generated.resources) {
            if (!resource.endsWith(".js"))
                continue;
            const QByteArray carried = "<script>" + files.bytes[resource] + "</script>" + Hook;
            EXPECT_EQ(page.count(carried), 1) << sample.toStdString() << " " << resource.toStdString();
            page.replace(carried, "<script src=\"" + resource.toUtf8() + "\"></script>");
        }
        EXPECT_EQ(page, readBinaryFile(paths.pagePath)) << sample.toStdString();

        const QByteArray table = single.mid(preludeStart(single));
        for (const QString &resource : generated.resources) {
            if (resource.endsWith(".js"))
                continue;
            EXPECT_EQ(table.count("\"" + resource.toUtf8() + "\":\"data:"), 1) << resource.toStdString();
            EXPECT_TRUE(table.contains(";base64," + files.bytes[resource].toBase64() + "\""))
                << resource.toStdString();
        }
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
