#include "app/aboutpage.h"

#include "base/textfile.h"
#include "base/workspace.h"

namespace quill {

const std::vector<BundledEngine> &bundledEngines()
{
    static const std::vector<BundledEngine> engines = {
        {QStringLiteral("three.js"), QStringLiteral("three.min.js"), QStringLiteral("0.89.0"),
         QStringLiteral("MIT")},
        {QStringLiteral("Stage.js"), QStringLiteral("stage.web.min.js"), QStringLiteral("0.8.10"),
         QStringLiteral("MIT")},
        {QStringLiteral("SoundJS"), QStringLiteral("soundjs.min.js"), QStringLiteral("1.0.1"),
         QStringLiteral("MIT")},
        {QStringLiteral("sprintf-js"), QStringLiteral("js-sprintf-1.0.1.min.js"),
         QStringLiteral("1.0.1"), QStringLiteral("BSD-3-Clause")},
    };
    return engines;
}

QString programVersion()
{
    return QStringLiteral(QUILL_VERSION);
}

QString aboutPageText()
{
    QString rows;
    for (const BundledEngine &engine : bundledEngines())
        rows += QStringLiteral("<tr><td>%1</td><td>js/%2</td><td>%3</td><td>%4</td></tr>\n")
                    .arg(engine.name, engine.file, engine.version, engine.licence);
    return QStringLiteral(
               "<!DOCTYPE html>\n"
               "<html lang=\"en\">\n"
               "<head><meta charset=\"utf-8\"><title>About QuillIDE</title>\n"
               "<style>body{font-family:sans-serif;margin:2em;max-width:40em}"
               "td,th{padding:.2em 1em .2em 0;text-align:left}</style></head>\n"
               "<body>\n"
               "<h1>QuillIDE %1</h1>\n"
               "<p>A touch-first development environment for small JavaScript games.</p>\n"
               "<p>Licence: MIT.</p>\n"
               "<h2>Engines carried into every workspace</h2>\n"
               "<table>\n"
               "<tr><th>Engine</th><th>File</th><th>Version</th><th>Licence</th></tr>\n"
               "%2"
               "</table>\n"
               "</body>\n"
               "</html>")
        .arg(programVersion(), rows);
}

QString writeAboutPage(const WorkspacePaths &paths)
{
    const QString path = paths.baseDir + QStringLiteral("about.html");
    writeTextFile(path, aboutPageText().split(u'\n'), TextEncoding::Local8Bit);
    return path;
}

} // namespace quill
