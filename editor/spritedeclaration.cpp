#include "editor/spritedeclaration.h"

#include "base/constants.h"
#include "base/filereader.h"
#include "base/quotedargument.h"
#include "base/quillerror.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace quill {

QString withoutExtension(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

QString SpriteDeclaration(const QString &fileName, int width, int height, int SpriteSize)
{
    // The cell of a sheet of default-size sprites, and that of a sheet of the
    // current size.
    constexpr int DefaultSheetCell = sheetCellSize(DefaultSpriteSize);
    const int sheetCell = sheetCellSize(SpriteSize);
    const QString head = QStringLiteral("sprite(,") + quotedArgument(withoutExtension(fileName)) + u',';
    if (height == DefaultSheetCell && width % DefaultSheetCell == 0)
        return head + QStringLiteral("%1);").arg(width / DefaultSheetCell);
    if (height == sheetCell && width % sheetCell == 0)
        return head + QStringLiteral("%1,%2,%2,1);").arg(width / sheetCell).arg(sheetCell - 2);
    return head + QStringLiteral("1,%1,%2,0);").arg(width).arg(height);
}

QSize imageSizeOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const std::unique_ptr<QFile> file = openRegularFile(path, name);
    QImageReader reader(file.get());
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        throw QuillError(QStringLiteral("Failed to open %1: %2.")
                             .arg(name, reader.error() == QImageReader::UnknownError
                                            ? QStringLiteral("no picture size")
                                            : reader.errorString()));
    if (size.width() > LargestSpriteImageEdge || size.height() > LargestSpriteImageEdge)
        throw QuillError(QStringLiteral("Too large: %1 is %2 x %3 pixels; a sprite image may be at most %4 x %4.")
                             .arg(name)
                             .arg(size.width())
                             .arg(size.height())
                             .arg(LargestSpriteImageEdge));
    return size;
}

QString SoundDeclaration(const QString &fileName)
{
    return QStringLiteral("sndload(,") + quotedArgument(withoutExtension(fileName)) + QStringLiteral(");");
}

QStringList SpriteImageChoices(const QStringList &imageFiles)
{
    QStringList choices = imageFiles;
    choices.removeAll(QStringLiteral("fnt18.png"));
    return choices;
}

} // namespace quill
