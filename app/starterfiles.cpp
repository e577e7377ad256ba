#include "app/starterfiles.h"

#include "base/quillerror.h"

#include <QFile>

namespace quill {

const std::vector<StarterFile> &starterFiles()
{
    // Installation order: audio, js, img, prgfiles, tempfiles; names sorted
    // within each directory.
    static const std::vector<StarterFile> files = {
        {QStringLiteral("audio"), QStringLiteral("catbgm.ogg")},
        {QStringLiteral("js"), QStringLiteral("blank.html")},
        {QStringLiteral("js"), QStringLiteral("js-sprintf-1.0.1.min.js")},
        {QStringLiteral("js"), QStringLiteral("quillfunc.js")},
        {QStringLiteral("js"), QStringLiteral("soundjs.min.js")},
        {QStringLiteral("js"), QStringLiteral("stage.web.min.js")},
        {QStringLiteral("js"), QStringLiteral("three.min.js")},
        {QStringLiteral("js"), QStringLiteral("tmp_3d.html")},
        {QStringLiteral("js"), QStringLiteral("tmp_main.html")},
        {QStringLiteral("img"), QStringLiteral("ball.png")},
        {QStringLiteral("img"), QStringLiteral("cat.png")},
        {QStringLiteral("img"), QStringLiteral("fnt18.png")},
        {QStringLiteral("img"), QStringLiteral("mat1.png")},
        {QStringLiteral("prgfiles"), QStringLiteral("3d_sample")},
        {QStringLiteral("prgfiles"), QStringLiteral("cat_sample")},
        {QStringLiteral("prgfiles"), QStringLiteral("pad_sample")},
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
