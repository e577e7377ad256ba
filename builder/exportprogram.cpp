#include "builder/exportprogram.h"

#include "base/filename.h"
#include "base/filereader.h"
#include "base/messagesink.h"
#include "base/workspace.h"
#include "builder/exportstaging.h"
#include "builder/pagegenerator.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "builder/singlepage.h"
#include "builder/ziparchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>


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

    // Every resource is looked at before anything is written or read: one
    // that is no regular file (a FIFO, a device), is missing or is too large
    // stops the export at once, not after the resources before it are packed.
    for (const QString &resource : request.resources)
        checkFileSize(*openRegularFile(request.baseDir + resource, resource), resource, ResourceFileLimit);

    // Leftovers of exports cut short go first; then both files are written
    // whole beside the old ones and put in place as a pair.
    const QString base = request.exportDir + QStringLiteral("/") + request.programName;
    ExportedFiles files{base + QStringLiteral(".zip"), base + QStringLiteral(".html")};
    files.unfinished = settleExports(request.exportDir);
    ExportStaging staging(request.exportDir, request.programName);
    packArchive(request, staging.archivePath());
    PendingFile page(staging.pagePath());
    writeSinglePageTo(request, page);
    page.commit();
    staging.putInPlace();
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
    for (const QString &unfinished : files.unfinished)
        messages.showMessage(unfinished);
    messages.showMessage(QStringLiteral("Completed.\n") + files.archive + u'\n' + files.page);
}

} // namespace quill
