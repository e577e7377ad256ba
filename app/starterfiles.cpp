#include "app/starterfiles.h"

#include "app/quillerror.h"

#include <QFile>

namespace quill {

const std::vector<StarterFile> &starterFiles()
{
    // Installation order: audio, js, img, prgfiles, tempfiles; names sorted
    // within each directory.
    static const std::vector<StarterFile> files = {
        {QStringLiteral("js"), QStringLiteral("blank.html")},
        {QStringLiteral("tempfiles"), QStringLiteral("back")},
        {QStringLiteral("tempfiles"), QStringLiteral("circle")},
        {QStringLiteral("tempfiles"), QStringLiteral("mm_switch")},
        {QStringLiteral("tempfiles"), QStringLiteral("mm_yure")},
        {QStringLiteral("tempfiles"), QStringLiteral("setcam")},
        {QStringLiteral("tempfiles"), QStringLiteral("sin")},
        {QStringLiteral("tempfiles"), QStringLiteral("tm_border")},
        {QStringLiteral("tempfiles"), QStringLiteral("tm_collision")},
        {QStringLiteral("tempfiles"), QStringLiteral("tm_out")},
        {QStringLiteral("tempfiles"), QStringLiteral("tm_switch")},
        {QStringLiteral("tempfiles"), QStringLiteral("tm_yure")},
        {QStringLiteral("tempfiles"), QStringLiteral("try_catch")},
    };
    return files;
}

QByteArray starterFileBytes(const StarterFile &file)
{
    const QString resource = QStringLiteral(":/starter/%1/%2").arg(file.directory, file.name);
    QFile embedded(resource);
    if (!embedded.open(QIODevice::ReadOnly))
        throw QuillError(QStringLiteral("Missing starter file %1/%2.").arg(file.directory, file.name));
    return embedded.readAll();
}

} // namespace quill
