// makeicon: draws QuillIDE's application icon from the text art in
// tools/icon.txt into a hicolor icon tree.
//
//   makeicon <icon.txt> <output dir> <icon name> <size>...
//
// Writes <output dir>/hicolor/<n>x<n>/apps/<icon name>.png for every size n,
// a whole multiple of 16 (each art cell an exact square of n / 16 pixels, so
// the pixels stay as sharp as the font's) and <output dir>/hicolor/scalable/apps/<icon
// name>.svg with one rectangle per run of equal cells. The output is a pure
// function of the art: running it again gives the same bytes.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <map>
#include <stdexcept>

namespace {

constexpr int ArtSize = 16;

struct IconError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString &message) { throw IconError(message.toStdString()); }

struct IconArt {
    std::map<QChar, QRgb> palette;
    QStringList rows; // ArtSize rows of ArtSize cells
};

IconArt readArt(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    QStringList lines;
    QTextStream in(&file);
    while (!in.atEnd())
        lines << in.readLine();

    IconArt art;
    bool sawPalette = false, sawDesign = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        const auto where = QStringLiteral("%1:%2").arg(path).arg(n + 1);
        QStringList body;
        while (n + 1 < lines.size() && !lines[n + 1].isEmpty())
            body << lines[++n];
        if (line == QLatin1String("palette")) {
            sawPalette = true;
            for (const QString &entry : body) {
                const QColor colour(entry.mid(2));
                if (entry.size() != 9 || entry[1] != u' ' || entry[0] == u'.' || !colour.isValid())
                    fail(where + QStringLiteral(": palette lines are \"<letter> #rrggbb\""));
                art.palette[entry[0]] = colour.rgb();
            }
        } else if (line == QLatin1String("design")) {
            sawDesign = true;
            if (body.size() != ArtSize)
                fail(where + QStringLiteral(": the design needs %1 rows").arg(ArtSize));
            for (const QString &row : body) {
                if (row.size() != ArtSize)
                    fail(where + QStringLiteral(": every row needs %1 cells").arg(ArtSize));
                for (QChar cell : row)
                    if (cell != u'.' && !art.palette.count(cell))
                        fail(where + QStringLiteral(": '%1' is not in the palette").arg(cell));
            }
            art.rows = body;
        } else {
            fail(where + QStringLiteral(": expected \"palette\" or \"design\""));
        }
    }
    if (!sawPalette || !sawDesign)
        fail(path + QStringLiteral(": needs a palette and a design"));
    return art;
}

QRgb cellColour(const IconArt &art, int x, int y)
{
    const QChar cell = art.rows[y][x];
    return cell == u'.' ? qRgba(0, 0, 0, 0) : art.palette.at(cell);
}

QImage drawPng(const IconArt &art, int size)
{
    const int scale = size / ArtSize;
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, cellColour(art, x / scale, y / scale));
    return image;
}

// One <rect> per horizontal run of equal opaque cells; crispEdges keeps a
// renderer from blending neighbouring cells at any size.
QByteArray drawSvg(const IconArt &art)
{
    QString svg = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"128\" height=\"128\" "
        "viewBox=\"0 0 %1 %1\" shape-rendering=\"crispEdges\">\n").arg(ArtSize);
    for (int y = 0; y < ArtSize; ++y) {
        for (int x = 0; x < ArtSize;) {
            const QChar cell = art.rows[y][x];
            int end = x + 1;
            while (end < ArtSize && art.rows[y][end] == cell)
                ++end;
            if (cell != u'.')
                svg += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"1\" fill=\"%4\"/>\n")
                           .arg(x).arg(y).arg(end - x)
                           .arg(QColor(art.palette.at(cell)).name(QColor::HexRgb));
            x = end;
        }
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        fail(QStringLiteral("cannot create the folder of %1").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        fail(QStringLiteral("cannot encode a PNG"));
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: makeicon <icon.txt> <output dir> <icon name> <size>...\n");
        return 2;
    }
    try {
        const IconArt art = readArt(QString::fromLocal8Bit(argv[1]));
        const QString root = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/hicolor/");
        const QString name = QString::fromLocal8Bit(argv[3]);
        for (int i = 4; i < argc; ++i) {
            bool ok = false;
            const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
            if (!ok || size < ArtSize || size % ArtSize != 0)
                fail(QStringLiteral("icon sizes must be whole multiples of %1").arg(ArtSize));
            writeFile(root + QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name),
                      pngBytes(drawPng(art, size)));
        }
        writeFile(root + QStringLiteral("scalable/apps/%1.svg").arg(name), drawSvg(art));
    } catch (const IconError &error) {
        std::fprintf(stderr, "makeicon: %s\n", error.what());
        return 1;
    }
    return 0;
}
