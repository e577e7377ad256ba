#include "builder/pagegenerator.h"

#include "tests/builder/carriedscripts.h"

#include "base/messagesink.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "tests/builder/qtprint.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <utility>

using namespace quill;

namespace {

class RecordedMessages : public MessageSink {
public:
    void showMessage(const QString &text) override { shown.append(text); }
    QStringList shown;
};

const QByteArray OldPage = "old page\r\n";

// Tiny stand-ins for the real templates: the title shows which template was
// taken, and the marker after "##user##" shows where the code ends.
const QStringList MainTemplate = {"<title>QuillIDE - ##appname##</title>", "##addon##", "##user##",
                                  "<end>"};
const QStringList Template3D = {"<title>3D ##appname##</title>", "##addon##", "##user##", "<end>"};

// The five stubs as they stand in front of a code text that has no handler.
const QStringList Stubs = {"function mouseup(x,y){};", "function mousedown(x,y){};",
                           "function update(){};", "function move(i){};", "function init(){};"};

// A code text with all five handlers, so that a case shows only its own lines.
const QStringList Handlers = {"function init(){}", "function move(i){}", "function update(){}",
                              "function mousedown(x,y){}", "function mouseup(x,y){}"};

const QString SprintfTag = "<script src=\"js/js-sprintf-1.0.1.min.js\"></script>";
const QString SoundTag = "<script src=\"js/soundjs.min.js\"></script>";

class Workspace {
public:
    Workspace()
    {
        paths = WorkspacePaths::fromBaseDir(dir.path() + "/");
        QDir().mkpath(paths.codeDir);
        QDir().mkpath(paths.scriptDir);
        writeTextFile(paths.scriptDir + "tmp_main.html", MainTemplate);
        writeTextFile(paths.scriptDir + "tmp_3d.html", Template3D);
        writeBinaryFile(paths.pagePath, OldPage);
    }
    void addCodeFile(const QString &name, const QByteArray &bytes) const
    {
        writeBinaryFile(paths.codeDir + name, bytes);
    }
    QByteArray pageBytes() const
    {
        QFile file(paths.pagePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    WorkspacePaths paths;
};

struct Case {
    const char *name;
    QStringList code;
    QList<std::pair<QString, QByteArray>> codeFiles = {};
    QString fileName = "game";
    // A written page: its title line, "##addon##" line and the user code lines.
    QString title = "<title>QuillIDE - game</title>";
    QString addon = "";
    QStringList user = {};
    QStringList resources = {};
    // A page not written: the messages shown, or the error thrown.
    QStringList messages = {};
    QString error = "";
};

QStringList withHandlers(const QStringList &lines)
{
    return Handlers + lines;
}

QStringList withStubs(const QStringList &lines)
{
    return Stubs + lines;
}

QStringList tail2D(const QStringList &front)
{
    return front + QStringList{"js/quillfunc.js", "js/stage.web.min.js"};
}

QStringList tail3D(const QStringList &front)
{
    return front + QStringList{"js/quillfunc.js", "js/three.min.js"};
}

QByteArray utf16(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

const QString CatTexture = "Stage({image:'img/cat.png',textures:{chr10:{x:1,y:1,width:32,height:32},"
                           "chr11:{x:35,y:1,width:32,height:32}}});";

std::vector<Case> generatorCases()
{
    const QString accents = QString::fromUtf8("caf\xC3\xA9 \xE7\x8C\xAB");
    return {
        // Sprite lines in 2D.
        {.name = "default sheet cells",
         .code = withHandlers({"sprite(1,'cat',2);"}),
         .user = withHandlers({CatTexture}),
         .resources = tail2D({"img/cat.png"})},
        {.name = "margin adds two to the cell",
         .code = withHandlers({"sprite(0,'a',2,16,16,1)"}),
         .user = withHandlers({"Stage({image:'img/a.png',textures:{chr00:{x:1,y:1,width:16,height:16},"
                               "chr01:{x:19,y:1,width:16,height:16}}});"}),
         .resources = tail2D({"img/a.png"})},
        {.name = "no margin names the whole cell",
         .code = withHandlers({"sprite(0,'b',3,20,10)"}),
         .user = withHandlers({"Stage({image:'img/b.png',textures:{chr00:{x:0,y:0,width:20,height:10},"
                               "chr01:{x:20,y:0,width:20,height:10},chr02:{x:40,y:0,width:20,height:10}}});"}),
         .resources = tail2D({"img/b.png"})},
        {.name = "explicit zero margin",
         .code = withHandlers({"sprite(2,'c',1,8,8,0)"}),
         .user = withHandlers({"Stage({image:'img/c.png',textures:{chr20:{x:0,y:0,width:8,height:8}}});"}),
         .resources = tail2D({"img/c.png"})},
        {.name = "negative margin also widens the cell",
         .code = withHandlers({"sprite(2,'c',2,8,8,-1)"}),
         .user = withHandlers({"Stage({image:'img/c.png',textures:{chr20:{x:-1,y:-1,width:12,height:12},"
                               "chr21:{x:9,y:-1,width:12,height:12}}});"}),
         .resources = tail2D({"img/c.png"})},
        {.name = "no frames gives no entries",
         .code = withHandlers({"sprite(1,'a',0)", "sprite(1,'b',-3)"}),
         .user = withHandlers({"Stage({image:'img/a.png',textures:{}});",
                               "Stage({image:'img/b.png',textures:{}});"}),
         .resources = tail2D({"img/a.png", "img/b.png"})},
        {.name = "signed numbers convert",
         .code = withHandlers({"sprite(1,'a',+1,+4,-4)"}),
         .user = withHandlers({"Stage({image:'img/a.png',textures:{chr10:{x:0,y:0,width:4,height:-4}}});"}),
         .resources = tail2D({"img/a.png"})},
        {.name = "large cells do not overflow",
         .code = withHandlers({"sprite(1,'a',3,2000000000,1)"}),
         .user = withHandlers({"Stage({image:'img/a.png',textures:{chr10:{x:0,y:0,width:2000000000,height:1},"
                               "chr11:{x:2000000000,y:0,width:2000000000,height:1},"
                               "chr12:{x:4000000000,y:0,width:2000000000,height:1}}});"}),
         .resources = tail2D({"img/a.png"})},
        {.name = "rest of a sprite line is dropped",
         .code = withHandlers({"x=1; sprite( 1 , \"cat\" , 2 ); y=2;"}),
         .user = withHandlers({CatTexture}),
         .resources = tail2D({"img/cat.png"})},
        {.name = "sprite in a comment becomes live code",
         .code = withHandlers({"// sprite(1,'cat',2)"}),
         .user = withHandlers({CatTexture}),
         .resources = tail2D({"img/cat.png"})},
        {.name = "image 1 with eleven frames and image 11 share chr110",
         .code = withHandlers({"sprite(1,'a',11,2,2)", "sprite(11,'b',1,2,2)"}),
         .user = withHandlers({"Stage({image:'img/a.png',textures:{chr10:{x:0,y:0,width:2,height:2},"
                               "chr11:{x:2,y:0,width:2,height:2},chr12:{x:4,y:0,width:2,height:2},"
                               "chr13:{x:6,y:0,width:2,height:2},chr14:{x:8,y:0,width:2,height:2},"
                               "chr15:{x:10,y:0,width:2,height:2},chr16:{x:12,y:0,width:2,height:2},"
                               "chr17:{x:14,y:0,width:2,height:2},chr18:{x:16,y:0,width:2,height:2},"
                               "chr19:{x:18,y:0,width:2,height:2},chr110:{x:20,y:0,width:2,height:2}}});",
                               "Stage({image:'img/b.png',textures:{chr110:{x:0,y:0,width:2,height:2}}});"}),
         .resources = tail2D({"img/a.png", "img/b.png"})},
        {.name = "blank before the parenthesis hides the call",
         .code = withHandlers({"sprite (1,'cat',2);"}),
         .user = withHandlers({"sprite (1,'cat',2);"}),
         .resources = tail2D({})},
        {.name = "same image twice is listed twice",
         .code = withHandlers({"sprite(1,'cat',1)", "sprite(2,'cat',1)"}),
         .user = withHandlers({"Stage({image:'img/cat.png',textures:{chr10:{x:1,y:1,width:32,height:32}}});",
                               "Stage({image:'img/cat.png',textures:{chr20:{x:1,y:1,width:32,height:32}}});"}),
         .resources = tail2D({"img/cat.png", "img/cat.png"})},
        {.name = "names outside ASCII survive, blanks too",
         .code = withHandlers({"sprite(1,'" + accents + "',1)"}),
         .user = withHandlers({"Stage({image:'img/" + accents
                               + ".png',textures:{chr10:{x:1,y:1,width:32,height:32}}});"}),
         .resources = tail2D({"img/" + accents + ".png"})},

        // Names as written: what file names hold, escaped where the page needs it.
        {.name = "a name with blanks",
         .code = withHandlers({"sprite(1,\"my cat\",1);", "sndload(1, 'my tune', 1);"}),
         .addon = SoundTag,
         .user = withHandlers({"Stage({image:'img/my cat.png',textures:{chr10:{x:1,y:1,width:32,height:32}}});",
                               "sndload(1, 'my tune', 1);"}),
         .resources = tail2D({"img/my cat.png", "audio/my tune.ogg", "js/soundjs.min.js"})},
        {.name = "a name with quotes and a comma",
         .code = withHandlers({"sprite(1,\"it's, \\\"x\\\"\",1);"}),
         .user = withHandlers({"Stage({image:'img/it\\'s, \"x\".png',textures:{chr10:{x:1,y:1,width:32,height:32}}});"}),
         .resources = tail2D({"img/it's, \"x\".png"})},
        {.name = "a folder inside the picture folder",
         .code = withHandlers({"sprite(1,'cats/tabby',1);"}),
         .user = withHandlers({"Stage({image:'img/cats/tabby.png',textures:{chr10:{x:1,y:1,width:32,height:32}}});"}),
         .resources = tail2D({"img/cats/tabby.png"})},
        {.name = "3D lists the name as written",
         .code = withHandlers({"setcam(0,0,5);", "sprite(1,\"my cat\",1);"}),
         .title = "<title>3D game</title>",
         .user = withHandlers({"setcam(0,0,5);", "sprite(1,\"my cat\",1);"}),
         .resources = tail3D({"img/my cat.png"})},
        {.name = "a name a page would read as another file",
         .code = withHandlers({"sprite(1,'a#b',1);"}),
         .error = "Cannot use the name \"a#b\" (# ends a page's address) in: sprite(1,'a#b',1);"},
        {.name = "a sound name a page would read as another file, in 3D as well",
         .code = withHandlers({"setcam(0,0,5);", "sndload(1,\"50%\",1);"}),
         .error = "Cannot use the name \"50%\" (% in a page's address begins the code of a character) in: "
                  "sndload(1,\"50%\",1);"},
        {.name = "a name that leads out of its folder",
         .code = withHandlers({"sprite(1,'../secret',1);"}),
         .error = "Cannot use the name \"../secret\" (it leads out of the img folder) in: sprite(1,'../secret',1);"},

        // Number conversion in 2D; 3D converts nothing.
        {.name = "width without height fails in 2D",
         .code = withHandlers({"var a;", "sprite(3,'a',2,16)"}),
         .error = "Invalid number '' in: sprite(3,'a',2,16)"},
        {.name = "comment without numbers fails in 2D",
         .code = withHandlers({"// call sprite( later"}),
         .error = "Invalid number '' in: // call sprite( later"},
        {.name = "frame count that is not a number",
         .code = withHandlers({"sprite(1,'a',two)"}),
         .error = "Invalid number 'two' in: sprite(1,'a',two)"},
        {.name = "non-empty margin must convert",
         .code = withHandlers({"sprite(1,'a',1,8,8,x)"}),
         .error = "Invalid number 'x' in: sprite(1,'a',1,8,8,x)"},
        {.name = "tab is not part of a number",
         .code = withHandlers({"sprite(1,'a',\t2)"}),
         .error = "Invalid number '\t2' in: sprite(1,'a',\t2)"},
        {.name = "number beyond the integer range",
         .code = withHandlers({"sprite(1,'a',1,99999999999,8)"}),
         .error = "Invalid number '99999999999' in: sprite(1,'a',1,99999999999,8)"},
        {.name = "frame count beyond any sheet",
         .code = withHandlers({"sprite(1,'a',2000000000)"}),
         .error = "Too many frames '2000000000' in: sprite(1,'a',2000000000)"},
        {.name = "3D keeps sprite lines and lists their images",
         .code = withHandlers({"setcam(0,0,5);", "sprite(3,'a',2,16)", "sprite(1,'b',x);"}),
         .title = "<title>3D game</title>",
         .user = withHandlers({"setcam(0,0,5);", "sprite(3,'a',2,16)", "sprite(1,'b',x);"}),
         .resources = tail3D({"img/a.png", "img/b.png"})},

        // 3D selection.
        {.name = "setcam in a comment selects 3D",
         .code = withHandlers({"// no setcam( here"}),
         .title = "<title>3D game</title>",
         .user = withHandlers({"// no setcam( here"}),
         .resources = tail3D({})},
        {.name = "setcam only inside an include stays 2D",
         .code = withHandlers({"include cam", "sprite(1,'cat',2);"}),
         .codeFiles = {{"cam", "setcam(0,0,5);\r\n"}},
         .user = withHandlers({"setcam(0,0,5);", CatTexture}),
         .resources = tail2D({"img/cat.png"})},
        {.name = "setcam without parenthesis stays 2D",
         .code = withHandlers({"var setcam = 1;"}),
         .user = withHandlers({"var setcam = 1;"}),
         .resources = tail2D({})},

        // Sound lines and add-on scripts.
        {.name = "sound line lists its file and the sound library",
         .code = withHandlers({"sndload(1,'catbgm',2);"}),
         .addon = SoundTag,
         .user = withHandlers({"sndload(1,'catbgm',2);"}),
         .resources = tail2D({"audio/catbgm.ogg", "js/soundjs.min.js"})},
        {.name = "sprite and sound on one line in 2D lose the sound",
         .code = withHandlers({"sprite(1,'cat',2);sndload(1,'bgm',2);"}),
         .user = withHandlers({CatTexture}),
         .resources = tail2D({"img/cat.png"})},
        {.name = "sprite and sound on one line in 3D list both",
         .code = withHandlers({"setcam(0,0,1);", "sprite(1,'cat',2);sndload(1,'bgm',2);"}),
         .title = "<title>3D game</title>",
         .addon = SoundTag,
         .user = withHandlers({"setcam(0,0,1);", "sprite(1,'cat',2);sndload(1,'bgm',2);"}),
         .resources = tail3D({"img/cat.png", "audio/bgm.ogg", "js/soundjs.min.js"})},
        {.name = "sprintf alone lists its script and the font",
         .code = withHandlers({"var s = sprintf('%d', 1);"}),
         .addon = SprintfTag,
         .user = withHandlers({"var s = sprintf('%d', 1);"}),
         .resources = tail2D({"js/js-sprintf-1.0.1.min.js", "img/fnt18.png"})},
        {.name = "settext lists the font",
         .code = withHandlers({"settext(1,'hi');"}),
         .user = withHandlers({"settext(1,'hi');"}),
         .resources = tail2D({"img/fnt18.png"})},
        {.name = "print inside a comment lists the font",
         .code = withHandlers({"// blueprints"}),
         .user = withHandlers({"// blueprints"}),
         .resources = tail2D({"img/fnt18.png"})},
        {.name = "the cat sample's resources in order",
         .code = withHandlers({"sprite(1,\"cat\",2);", "sprite(2,\"ball\",3);", "sndload(1,\"catbgm\",2);",
                               "print(sprintf('%d',score));"}),
         .fileName = "cat",
         .title = "<title>QuillIDE - cat</title>",
         .addon = SprintfTag + SoundTag,
         .user = withHandlers({CatTexture,
                               "Stage({image:'img/ball.png',textures:{chr20:{x:1,y:1,width:32,height:32},"
                               "chr21:{x:35,y:1,width:32,height:32},chr22:{x:69,y:1,width:32,height:32}}});",
                               "sndload(1,\"catbgm\",2);", "print(sprintf('%d',score));"}),
         .resources = tail2D({"img/cat.png", "img/ball.png", "audio/catbgm.ogg", "js/js-sprintf-1.0.1.min.js",
                              "js/soundjs.min.js", "img/fnt18.png"})},

        // Handler stubs.
        {.name = "no handler gets five stubs, mouseup first",
         .code = {"var a = 1;"},
         .user = withStubs({"var a = 1;"}),
         .resources = tail2D({})},
        {.name = "empty code gets the five stubs",
         .code = {},
         .user = Stubs,
         .resources = tail2D({})},
        {.name = "only the missing stubs, in order",
         .code = {"function move(k){}", "function mouseup(x,y){}"},
         .user = {"function mousedown(x,y){};", "function update(){};", "function init(){};",
                  "function move(k){}", "function mouseup(x,y){}"},
         .resources = tail2D({})},
        {.name = "header with a blank does not count",
         .code = {"function init (){}", "function move(i){}", "function update(){}",
                  "function mousedown(x,y){}", "function mouseup(x,y){}"},
         .user = {"function init(){};", "function init (){}", "function move(i){}", "function update(){}",
                  "function mousedown(x,y){}", "function mouseup(x,y){}"},
         .resources = tail2D({})},
        {.name = "header in a comment counts",
         .code = {"// function init() function move( function update()",
                  "// function mousedown( function mouseup("},
         .user = {"// function init() function move( function update()",
                  "// function mousedown( function mouseup("},
         .resources = tail2D({})},

        // Drawing brackets, both modes.
        {.name = "drawing brackets in 2D",
         .code = withHandlers({"bgbegin(); line(0,0,9,9); bgend();"}),
         .user = withHandlers({"oGra.image(Stage.canvas(function(ctx){gctx=ctx;this.size(scx,scy); "
                               "line(0,0,9,9); }));"}),
         .resources = tail2D({})},
        {.name = "drawing brackets in 3D",
         .code = withHandlers({"setcam(0,0,1);", "bgbegin();", "bgend();bgend();"}),
         .title = "<title>3D game</title>",
         .user = withHandlers({"setcam(0,0,1);", "oGra.image(Stage.canvas(function(ctx){gctx=ctx;this.size(scx,scy);",
                               "}));}));"}),
         .resources = tail3D({})},

        // Placeholders.
        {.name = "appname in the code is the file name",
         .code = withHandlers({"document.title = '##appname##';"}),
         .fileName = "cat",
         .title = "<title>QuillIDE - cat</title>",
         .user = withHandlers({"document.title = 'cat';"}),
         .resources = tail2D({})},
        {.name = "empty file name",
         .code = withHandlers({"var n = '##appname##';"}),
         .fileName = "",
         .title = "<title>QuillIDE - </title>",
         .user = withHandlers({"var n = '';"}),
         .resources = tail2D({})},
        {.name = "addon in the code is replaced, user is not",
         .code = withHandlers({"s = sprintf('##addon##');", "u = '##user##';"}),
         .addon = SprintfTag,
         .user = withHandlers({"s = sprintf('" + SprintfTag + "');", "u = '##user##';"}),
         .resources = tail2D({"js/js-sprintf-1.0.1.min.js", "img/fnt18.png"})},

        // Includes.
        {.name = "include is replaced by the file's lines",
         .code = withHandlers({"a();", "include lib", "b();"}),
         .codeFiles = {{"lib", "x();\r\ny();\r\n"}},
         .user = withHandlers({"a();", "x();", "y();", "b();"}),
         .resources = tail2D({})},
        {.name = "included lines are rewritten like code",
         .code = withHandlers({"include lib"}),
         .codeFiles = {{"lib", "sprite(1,'cat',2);\nsndload(1,'bgm',1);\n"}},
         .addon = SoundTag,
         .user = withHandlers({CatTexture, "sndload(1,'bgm',1);"}),
         .resources = tail2D({"img/cat.png", "audio/bgm.ogg", "js/soundjs.min.js"})},
        {.name = "file beginning with an include expands both",
         .code = withHandlers({"include outer", "end();"}),
         .codeFiles = {{"outer", "include inner\r\nouter();\r\n"}, {"inner", "inner();\r\n"}},
         .user = withHandlers({"inner();", "outer();", "end();"}),
         .resources = tail2D({})},
        {.name = "nested includes at any line",
         .code = withHandlers({"include a"}),
         .codeFiles = {{"a", "a1();\ninclude b\na2();\n"}, {"b", "b1();\ninclude c\n"}, {"c", "c1();\n"}},
         .user = withHandlers({"a1();", "b1();", "c1();", "a2();"}),
         .resources = tail2D({})},
        {.name = "same file twice and a shared file are no cycle",
         .code = withHandlers({"include a", "include a", "include b"}),
         .codeFiles = {{"a", "include c\n"}, {"b", "include c\n"}, {"c", "c();\n"}},
         .user = withHandlers({"c();", "c();", "c();"}),
         .resources = tail2D({})},
        {.name = "empty include file removes the line",
         .code = withHandlers({"a();", "include empty", "b();"}),
         .codeFiles = {{"empty", ""}},
         .user = withHandlers({"a();", "b();"}),
         .resources = tail2D({})},
        {.name = "leading blank keeps the include line",
         .code = withHandlers({" include lib"}),
         .codeFiles = {{"lib", "x();\n"}},
         .user = withHandlers({" include lib"}),
         .resources = tail2D({})},
        {.name = "include needs the blank after the word",
         .code = withHandlers({"include\tlib", "includes lib"}),
         .codeFiles = {{"lib", "x();\n"}},
         .user = withHandlers({"include\tlib", "includes lib"}),
         .resources = tail2D({})},
        {.name = "quotes are part of the name",
         .code = withHandlers({"include \"lib\""}),
         .codeFiles = {{"lib", "plain();\n"}, {"\"lib\"", "quoted();\n"}},
         .user = withHandlers({"quoted();"}),
         .resources = tail2D({})},
        {.name = "blanks after the name are part of it",
         .code = withHandlers({"include lib "}),
         .codeFiles = {{"lib", "plain();\n"}, {"lib ", "padded();\n"}},
         .user = withHandlers({"padded();"}),
         .resources = tail2D({})},
        {.name = "utf-8 marked include",
         .code = withHandlers({"include u8"}),
         .codeFiles = {{"u8", "\xEF\xBB\xBFs = '" + accents.toUtf8() + "';\r\n"}},
         .user = withHandlers({"s = '" + accents + "';"}),
         .resources = tail2D({})},
        {.name = "utf-16 le marked include",
         .code = withHandlers({"include le"}),
         .codeFiles = {{"le", "\xFF\xFE" + utf16("s = '" + accents + "';\r\nt();\r", QStringConverter::Utf16LE)}},
         .user = withHandlers({"s = '" + accents + "';", "t();"}),
         .resources = tail2D({})},
        {.name = "utf-16 be marked include",
         .code = withHandlers({"include be"}),
         .codeFiles = {{"be", "\xFE\xFF" + utf16("s = '" + accents + "';\nt();", QStringConverter::Utf16BE)}},
         .user = withHandlers({"s = '" + accents + "';", "t();"}),
         .resources = tail2D({})},
        {.name = "unmarked include is utf-8",
         .code = withHandlers({"include plain"}),
         .codeFiles = {{"plain", "s = '" + accents.toUtf8() + "';\r\n"}},
         .user = withHandlers({"s = '" + accents + "';"}),
         .resources = tail2D({})},
        {.name = "missing include file",
         .code = withHandlers({"sprite(1,'cat',2);", "include nothere", "sndload(1,'bgm',1);"}),
         .resources = {"img/cat.png"},
         .messages = {"Failed to open nothere"}},
        {.name = "missing nested include names the inner file",
         .code = withHandlers({"include outer"}),
         .codeFiles = {{"outer", "include \"gone\"\n"}},
         .messages = {"Failed to open \"gone\""}},
        {.name = "include with no name",
         .code = withHandlers({"include "}),
         .messages = {"Failed to open "}},
        {.name = "file that includes itself",
         .code = withHandlers({"include self"}),
         .codeFiles = {{"self", "a();\ninclude self\n"}},
         .messages = {"Include cycle at self."}},
        {.name = "files that include each other",
         .code = withHandlers({"include a"}),
         .codeFiles = {{"a", "include b\n"}, {"b", "b();\ninclude a\nb2();\n"}},
         .messages = {"Include cycle at a."}},
        {.name = "cycle under another spelling of the name",
         .code = withHandlers({"include a"}),
         .codeFiles = {{"a", "include ./a\n"}},
         .messages = {"Include cycle at ./a."}},
    };
}

TEST(GeneratePage, Table)
{
    for (const Case &c : generatorCases()) {
        SCOPED_TRACE(c.name);
        Workspace workspace;
        ASSERT_TRUE(workspace.dir.isValid());
        for (const auto &[name, bytes] : c.codeFiles)
            workspace.addCodeFile(name, bytes);
        RecordedMessages messages;

        if (!c.error.isEmpty()) {
            try {
                generatePage(c.code, c.fileName, workspace.paths, messages);
                ADD_FAILURE() << "no error thrown";
            } catch (const QuillError &error) {
                EXPECT_EQ(error.message(), c.error);
            }
            EXPECT_EQ(workspace.pageBytes(), OldPage);
            EXPECT_EQ(messages.shown, QStringList());
            continue;
        }

        const GeneratedPage page = generatePage(c.code, c.fileName, workspace.paths, messages);
        EXPECT_EQ(messages.shown, c.messages);
        EXPECT_EQ(page.resources, c.resources);
        if (!c.messages.isEmpty()) {
            EXPECT_FALSE(page.written);
            EXPECT_EQ(workspace.pageBytes(), OldPage);
            continue;
        }

        ASSERT_TRUE(page.written);
        const QStringList expected =
            QStringList{c.title, c.addon} + c.user + QStringList{QString(), "<end>"};
        EXPECT_EQ(page.use3D, c.title.startsWith("<title>3D"));
        EXPECT_EQ(readTextFile(workspace.paths.pagePath).lines, expected);
        EXPECT_EQ(page.pageText(), expected.join('\n'));
    }
}

TEST(GeneratePage, WritesEveryLineWithCrLf)
{
    Workspace workspace;
    RecordedMessages messages;
    generatePage({"function init(){}", "function move(i){}", "function update(){}",
                  "function mousedown(x,y){}", "function mouseup(x,y){}", "", "go();"},
                 "t", workspace.paths, messages);
    EXPECT_EQ(workspace.pageBytes(),
              QByteArray("<title>QuillIDE - t</title>\r\n"
                         "\r\n"
                         "function init(){}\r\nfunction move(i){}\r\nfunction update(){}\r\n"
                         "function mousedown(x,y){}\r\nfunction mouseup(x,y){}\r\n"
                         "\r\n"
                         "go();\r\n"
                         "\r\n"
                         "<end>\r\n"));
}

struct TemplateEncodingCase {
    const char *name;
    TextEncoding encoding;
    QByteArray mark;
};

TEST(GeneratePage, WritesThePageInTheTemplatesEncoding)
{
    const std::vector<TemplateEncodingCase> cases = {
        {"no mark", TextEncoding::Local8Bit, QByteArray()},
        {"utf-8 mark", TextEncoding::Utf8Bom, QByteArray("\xEF\xBB\xBF")},
        {"utf-16 le", TextEncoding::Utf16LE, QByteArray("\xFF\xFE")},
        {"utf-16 be", TextEncoding::Utf16BE, QByteArray("\xFE\xFF")},
    };
    const QString cat = QString::fromUtf8("\xE7\x8C\xAB");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Workspace workspace;
        writeTextFile(workspace.paths.scriptDir + "tmp_main.html", MainTemplate, c.encoding);
        RecordedMessages messages;
        generatePage(withHandlers({"s = '" + cat + "';"}), "game", workspace.paths, messages);

        const QByteArray bytes = workspace.pageBytes();
        EXPECT_TRUE(bytes.startsWith(c.mark + (c.mark.isEmpty() ? QByteArray("<") : QByteArray())));
        const TextFileContent page = decodeText(bytes);
        EXPECT_EQ(page.encoding, c.encoding);
        EXPECT_TRUE(page.lines.contains("s = '" + cat + "';"));
    }
}

TEST(GeneratePage, StopsIncludeTreesThatGrowWithoutEnd)
{
    // No file includes itself, but every level doubles the one below.
    Workspace workspace;
    const int levels = 20;
    for (int level = 0; level < levels; ++level) {
        const QByteArray next = "include f" + QByteArray::number(level + 1) + "\n";
        workspace.addCodeFile("f" + QString::number(level), next + next);
    }
    workspace.addCodeFile("f" + QString::number(levels), "leaf();\n");
    RecordedMessages messages;
    const GeneratedPage page = generatePage({"include f0"}, "game", workspace.paths, messages);
    EXPECT_FALSE(page.written);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith("Too many includes at f")) << messages.shown[0].toStdString();
    EXPECT_EQ(workspace.pageBytes(), OldPage);
}

TEST(GeneratePage, IncludeFilesAreLookedUpInTheCodeDirectory)
{
    Workspace workspace;
    writeBinaryFile(workspace.paths.baseDir + "lib", "root();\n");
    RecordedMessages messages;
    const GeneratedPage page = generatePage({"include lib"}, "game", workspace.paths, messages);
    EXPECT_FALSE(page.written);
    EXPECT_EQ(messages.shown, QStringList{"Failed to open lib"});
}

TEST(GeneratePage, TemplateOrPageFileFailuresThrow)
{
    {
        SCOPED_TRACE("missing 2D template");
        Workspace workspace;
        QFile::remove(workspace.paths.scriptDir + "tmp_main.html");
        RecordedMessages messages;
        EXPECT_THROW(generatePage({"a();"}, "game", workspace.paths, messages), QuillError);
        EXPECT_EQ(workspace.pageBytes(), OldPage);
    }
    {
        SCOPED_TRACE("missing 3D template");
        Workspace workspace;
        QFile::remove(workspace.paths.scriptDir + "tmp_3d.html");
        RecordedMessages messages;
        EXPECT_THROW(generatePage({"setcam(0,0,1);"}, "game", workspace.paths, messages), QuillError);
        EXPECT_EQ(workspace.pageBytes(), OldPage);
    }
    {
        SCOPED_TRACE("page directory missing");
        Workspace workspace;
        workspace.paths.pagePath = workspace.paths.baseDir + "missing/temp.html";
        RecordedMessages messages;
        EXPECT_THROW(generatePage({"a();"}, "game", workspace.paths, messages), QuillError);
    }
}

} // namespace

namespace {

struct WholePage {
    QString text;
    qsizetype lineCount = 0;
    int userLine = -1;
};

// The page as filling the joined template whole makes it.
WholePage filledWhole(const QStringList &templateLines, const PageCode &code, const QString &appName)
{
    WholePage filled;
    for (qsizetype i = templateLines.size() - 1; i >= 0; --i) {
        if (templateLines[i].contains(QStringLiteral("##user##")))
            filled.userLine = int(i);
    }
    filled.text = templateLines.join(u'\n');
    filled.text.replace(QStringLiteral("##user##"), code.code);
    filled.text.replace(QStringLiteral("##addon##"), code.addonScripts);
    filled.text.replace(QStringLiteral("##appname##"), appName);
    filled.lineCount = splitLines(filled.text).size();
    return filled;
}

struct FillCase {
    const char *name;
    QStringList templateLines;
    QStringList code;
    QString appName;
};

} // namespace

// The usual page is put together around the code without searching it; for
// every template and code, placeholders in the code or made with it and line
// ends next to it included, the page and its line count are those of filling
// the template whole.
TEST(FillTemplate, IsTheTemplateFilledWhole)
{
    const QStringList sprites = {"sprite(1,'cat',2);", "sndload(1,'mew',1);", "print(sprintf('%d',1));"};
    const std::vector<FillCase> cases = {
        {"the usual page", MainTemplate, sprites, "game"},
        {"code at the very start", {"##user##", "<end>"}, {"var a;"}, "game"},
        {"code at the very end", {"<start>", "##user##"}, {"var a;"}, "game"},
        {"code inside a line", {"<s>##user##</s>", "x"}, {"var a;", "var b;"}, "game"},
        {"code after an empty line and before one", {"", "##user##", ""}, {"var a;"}, "game"},
        {"no code", {"<a>", "##user##", "<b>"}, {}, "game"},
        {"an empty first line of code", {"<a>", "##user##"}, {"", "var a;"}, "game"},
        {"placeholders in the code", MainTemplate, {"s = '##addon## ##appname## ##user##';"}, "game"},
        {"a placeholder finished by the code", {"x ##addon###user##", "<b>"}, {"#", "var a;"}, "game"},
        {"a placeholder begun in the code",
         {"<a>", "##user##addon##"},
         {"var a;", "s = '#"},
         "game"},
        {"a '#' on its own in the code", MainTemplate, {"c = '#ff0000';", "#"}, "game"},
        {"a CR right before the code", {"<a>\r##user##"}, {"", "var a;"}, "game"},
        {"a CR right after the code", {"<a>", "##user##\r<b>", "\r"}, {"var a;"}, "game"},
        {"a CR in a line of code", MainTemplate, {"var a;\rvar b;", "x"}, "game"},
        {"a line break in a line of code", MainTemplate, {"var a;\nvar b;"}, "game"},
        {"two places for the code", {"##user##", "<mid>", "##user##"}, {"var a;"}, "game"},
        {"no place for the code", {"<title>##appname##</title>", "##addon##"}, sprites, "game"},
        {"placeholders in the program's name", MainTemplate, sprites, "##addon####user##"},
        {"a name made of the add-ons' place", {"##app##addon##name##", "##user##"}, sprites, "game"},
        {"comparisons and tags that end nothing",
         {"<script>", "##user##", "</script>"},
         {"if (a<b && b<!c) x = '<scrip' + '<!-' + '</scr';"},
         "game"},
    };
    for (const FillCase &c : cases) {
        const PageCode code = rewriteCode(c.code, false);
        const WholePage expected = filledWhole(c.templateLines, code, c.appName);
        const FilledTemplate filled = fillTemplate(c.templateLines, code, c.appName);
        EXPECT_EQ(filled.text(), expected.text) << c.name;
        EXPECT_EQ(filled.lineCount, expected.lineCount) << c.name;
        EXPECT_EQ(filled.userLine, expected.userLine) << c.name;
    }
}

namespace {

struct EnderCase {
    const char *name;
    QStringList code;
    QString appName;
};

} // namespace

// Code (or a name) that would end its script element early is carried as
// strings by that element, on the lines it would have had: every other line
// of the page is the whole fill's, the carried script runs the whole fill's
// text of that element, and the page holds no other end of a script.
TEST(FillTemplate, CodeThatWouldEndItsScriptIsCarriedLineForLine)
{
    const QStringList templateLines = {"<title>QuillIDE - ##appname##</title>", "##addon##",
                                       "<script src=\"js/quillfunc.js\"></script>",
                                       "<script>", "var before = '##appname##';", "##user##",
                                       "var after = 2;", "</script><body></body>",
                                       "<script>var later = 3;</script>"};
    const std::vector<EnderCase> cases = {
        {"an end tag in a string", {"var s = '</script><script>document.title = 1</script>';", "f();"}, "game"},
        {"a comment opener and a start tag", {"var s = \"<!--<script>\";", "g();"}, "game"},
        {"in capitals, in a comment", {"// </SCRIPT >", "var x = 1;"}, "game"},
        {"a NUL character", {QString("var s = 'a") + QChar(0) + "';"}, "game"},
        {"a CR inside a line", {"var s = '</script>';\rvar t = 2;"}, "game"},
        {"the program's name in the script", {"var x = 1;"}, "a<!--b"},
        {"with sprintf, whose tag fills the add-ons' place", {"var s = sprintf('</script>');"}, "game"},
    };
    for (const EnderCase &c : cases) {
        SCOPED_TRACE(c.name);
        const PageCode code = rewriteCode(c.code, false);
        const WholePage whole = filledWhole(templateLines, code, c.appName);
        const FilledTemplate filled = fillTemplate(templateLines, code, c.appName);
        const QString page = filled.text();
        EXPECT_EQ(filled.lineCount, whole.lineCount);
        EXPECT_EQ(filled.userLine, whole.userLine);
        EXPECT_EQ(countLines(page), whole.lineCount);

        const std::vector<testsupport::CarriedScript> carried = testsupport::carriedScripts(page);
        ASSERT_EQ(carried.size(), 1u) << page.toStdString();
        const QString wholeStart = "<script>\nvar before";
        const qsizetype from = whole.text.indexOf(wholeStart) + QStringLiteral("<script>").size();
        const qsizetype to = whole.text.indexOf(QStringLiteral("var after = 2;\n")) + 15;
        QString expected = whole.text.mid(from, to - from);
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        EXPECT_EQ(carried[0].text, expected);
        // Its first line is the page's line after linesBefore others.
        EXPECT_EQ(carried[0].linesBefore, splitLines(page.left(carried[0].at)).size());
        // The page around it is the whole fill's, line for line.
        const QStringList pageLines = splitLines(page);
        const QStringList wholeLines = splitLines(whole.text);
        const qsizetype first = carried[0].linesBefore;
        const qsizetype last = first + countLines(page.mid(carried[0].at, carried[0].end - carried[0].at)) - 1;
        for (qsizetype i = 0; i < pageLines.size(); ++i)
            if (i < first || i > last)
                EXPECT_EQ(pageLines[i], wholeLines[i]) << "line " << i;
        EXPECT_TRUE(pageLines[last].endsWith("</script><body></body>"));
        // A comment opener is left only where the whole fill has one in text (the title).
        EXPECT_EQ(page.count(QStringLiteral("<!--")), c.appName.count(QStringLiteral("<!--")));
        EXPECT_EQ(page.count(QStringLiteral("</script"), Qt::CaseInsensitive),
                  page.count(QStringLiteral("<script"), Qt::CaseInsensitive));
    }
}

// Every name that a page's address would read otherwise, or that leaves its
// folder or is no text, stops the page with the reason; nothing is written.
TEST(ResourceNameProblem, NamesWhatCannotBeUsedAndWhy)
{
    const std::vector<std::pair<QString, QString>> refused = {
        {"a#b", "# ends a page's address"},
        {"what?", "? ends a page's address"},
        {"100%", "% in a page's address begins the code of a character"},
        {"a\\b", "a page's address reads \\ as /"},
        {"../x", "it leads out of the img folder"},
        {"a/../../x", "it leads out of the img folder"},
        {"/etc/x", "it leads out of the img folder"},
        {"a\tb", "it holds a control character"},
        {QString("a") + QChar(0x2028), "it holds a control character"},
        {QString("a") + QChar(0xd800), "it holds half of a character"},
    };
    for (const auto &[name, reason] : refused)
        EXPECT_EQ(resourceNameProblem(name, "img").value_or("usable"), reason) << name.toStdString();
    for (const QString &name : {QString("cat"), QString("my cat"), QString("it's \"x\""), QString("a,b (2)"),
                                QString("cats/tabby"), QString("..cat.."), QString::fromUtf8("caf\xC3\xA9"),
                                QString("<!--<script>"), QString("&amp;")})
        EXPECT_FALSE(resourceNameProblem(name, "img")) << name.toStdString();
}

