#include "builder/exportprogram.h"

#include "base/filename.h"
#include "base/filereader.h"
#include "base/messagesink.h"
#include "base/workspace.h"
#include "builder/pagegenerator.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "builder/singlepage.h"
#include "builder/ziparchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quill {

namespace {

// Every file Export takes from the workspace whole is read here, through
// the one file reader: `name` is how the page names it (img/cat.png).
QByteArray readResource(const QString &path, const QString &name)
{
    return readRegularFile(path, name, ResourceFileLimit);
}

QString withoutTrailingSlashes(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

} // namespace

std::optional<QString> entryNameProblem(const QString &name)
{
    const bool refused = name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\')
                         || hasControlCharacters(name) || !name.isValidUtf16() || QDir::isAbsolutePath(name)
                         || name.split(u'/').contains(QStringLiteral(".."));
    if (refused)
        return QStringLiteral("Invalid file name %1.").arg(name);
    return std::nullopt;
}

std::vector<ExportEntry> exportEntries(const QString &programName, const QString &pagePath,
                                       const QStringList &resources, const QString &baseDir)
{
    std::vector<ExportEntry> entries;
    entries.push_back({programName + QStringLiteral(".html"), pagePath});
    QSet<QString> listed{entries.front().name};
    for (const QString &resource : resources) {
        if (listed.contains(resource))
            continue;
        listed.insert(resource);
        entries.push_back({resource, baseDir + resource});
    }
    return entries;
}

void packArchive(const ExportRequest &request, const QString &path)
{
    std::vector<ArchiveMember> members;
    for (const ExportEntry &entry :
         exportEntries(request.programName, request.pagePath, request.resources, request.baseDir)) {
        // The page comes first; it is known by its file's name, a resource by its path.
        members.push_back({entry.name, entry.sourcePath,
                           members.empty() ? QFileInfo(entry.sourcePath).fileName() : entry.name});
    }
    writeZipArchive(path, members);
}

void writeSinglePageTo(const ExportRequest &request, PendingFile &page)
{
    writeSinglePage(
        request.parts, request.resources,
        [&](const QString &resource) { return readResource(request.baseDir + resource, resource); },
        [&](QByteArrayView bytes) { page.write(bytes); });
}

ExportedFiles exportProgram(const ExportRequest &request)
{
    checkFileName(request.programName);
    if (QFile::encodeName(request.programName + QStringLiteral(".html")).size() > LongestFileName)
        throw QuillError(QStringLiteral("File name too long."));
    for (const QString &resource : request.resources)
        if (const std::optional<QString> problem = entryNameProblem(resource))
            throw QuillError(*problem);

    // A fresh system often has no documents folder yet; it is the default, so
    // it is made. Any other folder is the user's choice and is never made.
    const QString folder = withoutTrailingSlashes(request.exportDir);
    if (!request.documentsDir.isEmpty() && folder == withoutTrailingSlashes(request.documentsDir)
        && !QFileInfo(folder).isDir())
        makeFolder(folder);

    // Both files are written under temporary names before either is put in
    // place. The archive's name is short, whatever the program's name.
    const QString base = request.exportDir + QStringLiteral("/") + request.programName;
    const ExportedFiles files{base + QStringLiteral(".zip"), base + QStringLiteral(".html")};
    QTemporaryFile archive(request.exportDir + QStringLiteral("/.quill-export-XXXXXX"));
    if (!archive.open())
        throw QuillError(QStringLiteral("Cannot create file \"%1\". %2").arg(files.archive, archive.errorString()));
    // Readable by everyone like any file the program writes; the archive
    // written over this name keeps its mode.
    archive.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                           | QFileDevice::ReadOther);
    archive.close();
    packArchive(request, archive.fileName());
    PendingFile page(files.page);
    writeSinglePageTo(request, page);
    if (std::rename(QFile::encodeName(archive.fileName()).constData(),
                    QFile::encodeName(files.archive).constData()) != 0)
        throw QuillError(QStringLiteral("Cannot write file \"%1\". %2")
                             .arg(files.archive, QString::fromLocal8Bit(std::strerror(errno))));
    archive.setAutoRemove(false);
    page.commit();
    return files;
}

void exportCode(const QStringList &codeLines, const QString &programName,
                const WorkspacePaths &paths, const QString &exportDir,
                const QString &documentsDir, MessageSink &messages)
{
    if (const std::optional<QString> problem = fileNameProblem(programName)) {
        messages.showMessage(*problem);
        return;
    }
    const GeneratedPage page = generatePage(codeLines, programName, paths, messages);
    if (!page.written)
        return;
    const ExportedFiles files = exportProgram({programName, paths.pagePath, page.resources,
                                               paths.baseDir, exportDir, documentsDir, page.parts});
    messages.showMessage(QStringLiteral("Completed.\n") + files.archive + u'\n' + files.page);
}

} // namespace quill
