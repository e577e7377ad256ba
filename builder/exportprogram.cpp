#include "builder/exportprogram.h"

#include "base/filename.h"
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

namespace quill {

namespace {

// Every file Export takes from the workspace is read here, whole.
QByteArray readResource(const QString &path)
{
    return readBinaryFile(path);
}

ArchiveEntry readEntry(const ExportEntry &entry)
{
    QByteArray bytes = readResource(entry.sourcePath);
    return {entry.name, std::move(bytes), QFileInfo(entry.sourcePath).lastModified()};
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
                         || name.contains(QChar(0)) || QDir::isAbsolutePath(name)
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

QByteArray packArchive(const ExportRequest &request)
{
    std::vector<ArchiveEntry> entries;
    for (const ExportEntry &entry :
         exportEntries(request.programName, request.pagePath, request.resources, request.baseDir))
        entries.push_back(readEntry(entry));
    return zipArchive(entries);
}

void writeSinglePageTo(const ExportRequest &request, PendingFile &page)
{
    writeSinglePage(
        request.parts, request.resources,
        [&](const QString &resource) { return readResource(request.baseDir + resource); },
        [&](QByteArrayView bytes) { page.write(bytes); });
}

ExportedFiles exportProgram(const ExportRequest &request)
{
    checkFileName(request.programName);
    for (const QString &resource : request.resources)
        if (const std::optional<QString> problem = entryNameProblem(resource))
            throw QuillError(*problem);
    QByteArray archiveBytes = packArchive(request);

    // A fresh system often has no documents folder yet; it is the default, so
    // it is made. Any other folder is the user's choice and is never made.
    const QString folder = withoutTrailingSlashes(request.exportDir);
    if (!request.documentsDir.isEmpty() && folder == withoutTrailingSlashes(request.documentsDir)
        && !QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw QuillError(QStringLiteral("Cannot create folder \"%1\".").arg(folder));

    // Both files are written under temporary names before either is put in
    // place; the archive's bytes are let go before the page is written.
    const QString base = request.exportDir + QStringLiteral("/") + request.programName;
    const ExportedFiles files{base + QStringLiteral(".zip"), base + QStringLiteral(".html")};
    PendingFile archive(files.archive);
    archive.write(archiveBytes);
    archiveBytes = QByteArray();
    PendingFile page(files.page);
    writeSinglePageTo(request, page);
    archive.commit();
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
