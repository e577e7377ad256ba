#include "app/installer.h"

#include "app/defaultsettings.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "app/starterfiles.h"
#include "base/textfile.h"
#include "base/workspace.h"

#include <QDir>

namespace quill {

QStringList defaultKeywords()
{
    // Ascending by character code; the entries with a trailing space are
    // followed by the user's own text when inserted.
    return {
        QStringLiteral("abs("),          QStringLiteral("alert("),      QStringLiteral("asc("),
        QStringLiteral("atan2("),        QStringLiteral("bgbegin();"),  QStringLiteral("bgcolor("),
        QStringLiteral("bgend();"),      QStringLiteral("box("),        QStringLiteral("break;"),
        QStringLiteral("case "),         QStringLiteral("chkm("),       QStringLiteral("chkt("),
        QStringLiteral("chr("),          QStringLiteral("circle("),     QStringLiteral("cls();"),
        QStringLiteral("cos("),          QStringLiteral("default:"),    QStringLiteral("delm("),
        QStringLiteral("else"),          QStringLiteral("for("),        QStringLiteral("function "),
        QStringLiteral("if("),           QStringLiteral("include "),    QStringLiteral("int("),
        QStringLiteral("len("),          QStringLiteral("length"),      QStringLiteral("line("),
        QStringLiteral("lower("),        QStringLiteral("maprepeat("),  QStringLiteral("mid("),
        QStringLiteral("new Array()"),   QStringLiteral("offset("),     QStringLiteral("print("),
        QStringLiteral("putc("),         QStringLiteral("rand("),       QStringLiteral("rectangle("),
        QStringLiteral("return"),        QStringLiteral("rgb("),        QStringLiteral("rnd()"),
        QStringLiteral("setcam("),       QStringLiteral("setm("),       QStringLiteral("setm12s("),
        QStringLiteral("setm4s("),       QStringLiteral("setm8s("),     QStringLiteral("setmCone("),
        QStringLiteral("setmCube("),     QStringLiteral("setmCylinder("), QStringLiteral("setmPlane("),
        QStringLiteral("setmSphere("),   QStringLiteral("setmTorus("),  QStringLiteral("setmTorusKnot("),
        QStringLiteral("setscreen("),    QStringLiteral("sett("),       QStringLiteral("settext("),
        QStringLiteral("setwait("),      QStringLiteral("sin("),        QStringLiteral("sndload("),
        QStringLiteral("sndloop("),      QStringLiteral("sndplay("),    QStringLiteral("sndstatus("),
        QStringLiteral("sndstop("),      QStringLiteral("sprintf("),    QStringLiteral("sprite("),
        QStringLiteral("sqr("),          QStringLiteral("switch("),     QStringLiteral("tan("),
        QStringLiteral("time()"),        QStringLiteral("try{"),        QStringLiteral("upper("),
        QStringLiteral("var "),          QStringLiteral("while("),
    };
}

void installWorkspace(const WorkspacePaths &paths, SettingsStore &settings,
                      QStringList &keywords, int keyPanelWidth,
                      const QString &documentsDir)
{
    // A folder that cannot be made is reported here, naming it, rather than
    // by the first file that would go into it.
    for (const QString &dir : {paths.codeDir, paths.spriteDir, paths.templateDir,
                               paths.scriptDir, paths.imageDir, paths.audioDir}) {
        if (!QDir().mkpath(dir))
            throw QuillError(QStringLiteral("Cannot create folder \"%1\".").arg(dir));
    }

    applyDefaultSettings(settings, documentsDir, keyPanelWidth);

    // Same-named files are replaced with the carried copies, edited or not;
    // every other file in these folders is left alone.
    for (const StarterFile &file : starterFiles())
        writeBinaryFile(paths.baseDir + file.directory + u'/' + file.name, starterFileBytes(file));

    keywords = defaultKeywords();
    writeTextFile(paths.keywordsPath, keywords, TextEncoding::Local8Bit);

    rescaleInstalledHeights(settings);
}

} // namespace quill
