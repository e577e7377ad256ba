// quillpage: installs a workspace and generates pages from code files without
// the window, for the page tests and for checking pages by hand.
//
//   quillpage install WORKSPACE_DIR
//   quillpage generate WORKSPACE_DIR CODEFILE [NAME]
//   quillpage export WORKSPACE_DIR CODEFILE NAME EXPORT_DIR
//   quillpage sprite WORKSPACE_DIR SPRITEFILE NAME
//
// generate prints the page's resource paths on stdout, one per line; export
// generates the page and packs it with its resources into EXPORT_DIR/NAME.zip
// and writes the self-contained EXPORT_DIR/NAME.html beside it, as the Export
// button does, and prints the archive's path and the page's, one per line.
// sprite opens a sprite file and saves it under NAME as the Sprite page's Open
// and Save do, in the workspace's palette: the sprite file into sprfiles/ and
// its sheet into img/NAME.png, whose path it prints. Messages and
// errors go to stderr. Exit status 0 when the page was written, 1 when it
// was not or an error was raised, 2 for a wrong command line.

#include "app/installer.h"
#include "app/layoutscreen.h"
#include "base/messagesink.h"
#include "base/quillerror.h"
#include "base/settingsstore.h"
#include "base/textfile.h"
#include "base/workspace.h"
#include "builder/exportprogram.h"
#include "builder/pagegenerator.h"
#include "sprite/palette.h"
#include "sprite/spritedocument.h"
#include "sprite/spritefile.h"
#include "sprite/spritestorage.h"

#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <optional>

namespace {

// The key panel of the design's page, which the installation scales the key height for.
constexpr int InstalledKeyPanelWidth = quill::DesignClientWidth;

class StderrMessages : public quill::MessageSink {
public:
    void showMessage(const QString &text) override
    {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
};

quill::WorkspacePaths workspaceAt(QString dir)
{
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return quill::WorkspacePaths::fromBaseDir(dir);
}

int install(const QString &dir)
{
    const quill::WorkspacePaths paths = workspaceAt(dir);
    quill::SettingsStore settings;
    QStringList keywords;
    quill::installWorkspace(paths, settings, keywords, InstalledKeyPanelWidth, QString());
    settings.save(paths.settingsPath);
    return 0;
}

int generate(const QString &dir, const QString &codeFile, const std::optional<QString> &name)
{
    const quill::WorkspacePaths paths = workspaceAt(dir);
    const QStringList code = quill::readTextFile(codeFile).lines;
    const QString fileName = name ? *name : QFileInfo(codeFile).fileName();
    StderrMessages messages;
    const quill::GeneratedPage page = quill::generatePage(code, fileName, paths, messages);
    if (!page.written)
        return 1;
    for (const QString &resource : page.resources)
        std::printf("%s\n", resource.toLocal8Bit().constData());
    return 0;
}

int exportArchive(const QString &dir, const QString &codeFile, const QString &name,
                  const QString &exportDir)
{
    const quill::WorkspacePaths paths = workspaceAt(dir);
    const QStringList code = quill::readTextFile(codeFile).lines;
    StderrMessages messages;
    const quill::GeneratedPage page = quill::generatePage(code, name, paths, messages);
    if (!page.written)
        return 1;
    const quill::ExportedFiles files = quill::exportProgram(
        {name, paths.pagePath, page.resources, paths.baseDir, exportDir, QString(), page.parts});
    std::printf("%s\n%s\n", files.archive.toLocal8Bit().constData(),
                files.page.toLocal8Bit().constData());
    return 0;
}

int saveSprite(const QString &dir, const QString &spriteFile, const QString &name)
{
    const quill::WorkspacePaths paths = workspaceAt(dir);
    quill::SettingsStore settings;
    settings.load(paths.settingsPath);
    quill::Palette palette{};
    quill::ApplyPalette(settings, palette);
    const quill::SpriteFileContent content = quill::readSpriteFile(spriteFile, spriteFile);
    quill::SpriteDocument document(content.size);
    document.loadFile(content);
    quill::saveSprite(document, palette, paths.spriteDir, paths.imageDir, name);
    std::printf("%s\n", (paths.imageDir + name + QStringLiteral(".png")).toLocal8Bit().constData());
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: quillpage install WORKSPACE_DIR\n"
                         "       quillpage generate WORKSPACE_DIR CODEFILE [NAME]\n"
                         "       quillpage export WORKSPACE_DIR CODEFILE NAME EXPORT_DIR\n"
                         "       quillpage sprite WORKSPACE_DIR SPRITEFILE NAME\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));

    try {
        if (args.size() == 2 && args[0] == u"install")
            return install(args[1]);
        if ((args.size() == 3 || args.size() == 4) && args[0] == u"generate")
            return generate(args[1], args[2], args.size() == 4 ? std::optional(args[3]) : std::nullopt);
        if (args.size() == 5 && args[0] == u"export")
            return exportArchive(args[1], args[2], args[3], args[4]);
        if (args.size() == 4 && args[0] == u"sprite")
            return saveSprite(args[1], args[2], args[3]);
        return usage();
    } catch (const quill::QuillError &error) {
        std::fprintf(stderr, "%s\n", error.message().toLocal8Bit().constData());
        return 1;
    }
}
