#include "builder/exportprogram.h"

#include "base/filename.h"
#include "base/messagesink.h"
#include "base/workspace.h"
#include "builder/pagegenerator.h"
#include "base/quillerror.h"
#include "base/textfile.h"
#include "builder/ziparchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace quill {

namespace {

ArchiveEntry readEntry(const ExportEntry &entry)
{
    QFile file(entry.sourcePath);
    if (!file.open(QIODevice::ReadOnly))
        throw QuillError(QStringLiteral("Cannot open file \"%1\". %2")
                             .arg(entry.sourcePath, file.errorString()));
    ArchiveEntry read{entry.name, file.readAll(), QFileInfo(file).lastModified()};
    if (file.error() != QFileDevice::NoError)
        throw QuillError(QStringLiteral("Cannot read file \"%1\". %2")
                             .arg(entry.sourcePath, file.errorString()));
    return read;
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

QString exportProgram(const ExportRequest &request)
{
    checkFileName(request.programName);
    for (const QString &resource : request.resources)
        if (const std::optional<QString> problem = entryNameProblem(resource))
            throw QuillError(*problem);

    std::vector<ArchiveEntry> archive;
    for (const ExportEntry &entry :
         exportEntries(request.programName, request.pagePath, request.resources, request.baseDir))
        archive.push_back(readEntry(entry));
    const QByteArray bytes = zipArchive(archive);

    // A fresh system often has no documents folder yet; it is the default, so
    // it is made. Any other folder is the user's choice and is never made.
    const QString folder = withoutTrailingSlashes(request.exportDir);
    if (!request.documentsDir.isEmpty() && folder == withoutTrailingSlashes(request.documentsDir)
        && !QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        throw QuillError(QStringLiteral("Cannot create folder \"%1\".").arg(folder));

    const QString path = request.exportDir + QStringLiteral("/") + request.programName
                         + QStringLiteral(".zip");
    writeBinaryFile(path, bytes);
    return path;
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
    exportProgram({programName, paths.pagePath, page.resources, paths.baseDir, exportDir,
                   documentsDir});
    messages.showMessage(QStringLiteral("Completed."));
}

} // namespace quill
