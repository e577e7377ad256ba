// makeassets: draws QuillIDE's own starter pictures and font sheet from the
// text art in tools/glyphs.txt and tools/sprites.txt, and synthesizes the
// background tune of the samples as a WAV file for oggenc.
//
//   makeassets <source dir> <wav path>
//
// Writes <source dir>/assets/img/{fnt18,cat,ball,mat1}.png,
// <source dir>/assets/program/fontsheet.png and the WAV. tools/make-assets.sh
// runs it and encodes the WAV into assets/audio/catbgm.ogg. The output is a
// pure function of the two text files and the tune below, so running it again
// reproduces the committed files byte for byte.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace {

struct AssetError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void fail(const QString &message) { throw AssetError(message.toStdString()); }

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    QStringList lines;
    QTextStream in(&file);
    while (!in.atEnd())
        lines << in.readLine();
    return lines;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

// ---- font -----------------------------------------------------------------

constexpr int kGlyphSize = 8;
constexpr int kFontCodes = 128;
using Glyph = std::array<std::array<bool, kGlyphSize>, kGlyphSize>; // [row][column]
using Font = std::array<Glyph, kFontCodes>;                           // codes 0 and 127 stay blank

// Every code from 1 to 126 must be drawn exactly once; a gap or a duplicate is
// an error, so a slip in the text art cannot leave a hole in the font.
Font readFont(const QString &path)
{
    Font font{};
    std::array<bool, kFontCodes> seen{};
    const QStringList lines = readLines(path);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        const auto where = QStringLiteral("%1:%2").arg(path).arg(n + 1);
        if (!line.startsWith(QLatin1String("char ")))
            fail(where + QStringLiteral(": expected \"char <code>\""));
        bool ok = false;
        const int code = line.section(u' ', 1, 1).toInt(&ok);
        if (!ok || code < 1 || code > 126)
            fail(where + QStringLiteral(": code must be 1..126"));
        if (seen[code])
            fail(where + QStringLiteral(": code %1 drawn twice").arg(code));
        seen[code] = true;
        for (int row = 0; row < kGlyphSize; ++row) {
            const qsizetype at = n + 1 + row;
            if (at >= lines.size() || lines[at].size() != kGlyphSize)
                fail(where + QStringLiteral(": glyph %1 needs 8 rows of 8 cells").arg(code));
            for (int col = 0; col < kGlyphSize; ++col) {
                const QChar cell = lines[at][col];
                if (cell != u'#' && cell != u'.')
                    fail(where + QStringLiteral(": glyph %1 may hold only '#' and '.'").arg(code));
                font[code][row][col] = cell == u'#';
            }
        }
        n += kGlyphSize;
    }
    for (int code = 1; code <= 126; ++code)
        if (!seen[code])
            fail(QStringLiteral("%1: code %2 is missing").arg(path).arg(code));
    return font;
}

// The pages' text atlas: 16 x 6 cells of 18 pixels for codes 32..127, each
// glyph doubled to 16 x 16 at offset 1, 1. Palette index 0 is the opaque white
// ink, index 1 the fully transparent dark grey ground.
QImage drawTextAtlas(const Font &font)
{
    constexpr int cell = 18;
    QImage image(16 * cell, 6 * cell, QImage::Format_Indexed8);
    image.setColorTable({qRgba(255, 255, 255, 255), qRgba(64, 64, 64, 0)});
    image.fill(1);
    for (int code = 32; code < kFontCodes; ++code) {
        const int k = code - 32;
        const int left = (k % 16) * cell + 1;
        const int top = (k / 16) * cell + 1;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (font[code][y / 2][x / 2])
                    image.setPixel(left + x, top + y, 0);
    }
    return image;
}

// The PNG writer must give bit depth 8, colour type 3 and exactly the two
// palette entries with their alphas: pages and tests rely on that form, and a
// writer that packs two colours into one bit per pixel would silently change it.
void checkIndexedPng(const QByteArray &png)
{
    auto u32 = [&](qsizetype at) {
        return quint32(uchar(png[at])) << 24 | quint32(uchar(png[at + 1])) << 16
             | quint32(uchar(png[at + 2])) << 8 | quint32(uchar(png[at + 3]));
    };
    bool header = false, palette = false, alpha = false;
    for (qsizetype at = 8; at + 12 <= png.size();) {
        const quint32 length = u32(at);
        const QByteArray type = png.mid(at + 4, 4);
        const QByteArray data = png.mid(at + 8, length);
        if (type == "IHDR")
            header = data.size() == 13 && data[8] == 8 && data[9] == 3;
        else if (type == "PLTE")
            palette = data == QByteArray("\xff\xff\xff\x40\x40\x40", 6);
        else if (type == "tRNS")
            alpha = data == QByteArray("\xff\x00", 2);
        at += 12 + qsizetype(length);
    }
    if (!header || !palette || !alpha)
        fail(QStringLiteral("the PNG writer did not give an 8-bit two-entry indexed image"));
}

// The editor's font sheet: 16 x 16 cells of 10 pixels. Rows 0..7 hold codes
// 0..127 light on dark, rows 8..15 the same glyphs inverted for the cursor and
// the selection. Every cell has a one-pixel frame that the editor never draws.
QImage drawFontSheet(const Font &font)
{
    struct Half {
        int firstRow;
        QRgb ink, ground, frame;
    };
    const Half halves[] = {
        {0, qRgb(247, 247, 247), qRgb(6, 6, 6), qRgb(0, 0, 0)},
        {8, qRgb(8, 8, 8), qRgb(249, 249, 249), qRgb(255, 255, 255)},
    };
    QImage image(160, 160, QImage::Format_ARGB32);
    for (const Half &half : halves) {
        for (int code = 0; code < kFontCodes; ++code) {
            const int left = (code % 16) * 10;
            const int top = (half.firstRow + code / 16) * 10;
            for (int y = 0; y < 10; ++y) {
                for (int x = 0; x < 10; ++x) {
                    const bool frame = x == 0 || y == 0 || x == 9 || y == 9;
                    const QRgb colour = frame                       ? half.frame
                                      : font[code][y - 1][x - 1] ? half.ink
                                                                  : half.ground;
                    image.setPixel(left + x, top + y, colour);
                }
            }
        }
    }
    return image;
}

// ---- sprites ----------------------------------------------------------------

struct SpriteSource {
    std::map<QString, std::map<QChar, QRgb>> palettes;
    std::map<QString, QStringList> designs;
};

SpriteSource readSprites(const QString &path)
{
    SpriteSource source;
    const QStringList lines = readLines(path);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString &line = lines[n];
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        const auto where = QStringLiteral("%1:%2").arg(path).arg(n + 1);
        const QString kind = line.section(u' ', 0, 0);
        const QString name = line.section(u' ', 1, 1);
        if (name.isEmpty() || (kind != QLatin1String("palette") && kind != QLatin1String("design")))
            fail(where + QStringLiteral(": expected \"palette <name>\" or \"design <name>\""));
        QStringList body;
        while (n + 1 < lines.size() && !lines[n + 1].isEmpty())
            body << lines[++n];
        if (kind == QLatin1String("palette")) {
            auto &palette = source.palettes[name];
            for (const QString &entry : body) {
                const QColor colour(entry.mid(2));
                if (entry.size() != 9 || entry[1] != u' ' || entry[0] == u'.' || !colour.isValid())
                    fail(where + QStringLiteral(": palette lines are \"<letter> #rrggbb\""));
                palette[entry[0]] = colour.rgb();
            }
        } else {
            for (const QString &row : body)
                if (row.size() != body.first().size())
                    fail(where + QStringLiteral(": design %1 has rows of unequal length").arg(name));
            source.designs[name] = body;
        }
    }
    return source;
}

QRgb designColour(const SpriteSource &source, const QString &design, const QString &palette,
                  int x, int y)
{
    const QChar cell = source.designs.at(design)[y][x];
    if (cell == u'.')
        return qRgba(0, 0, 0, 0);
    const auto &colours = source.palettes.at(palette);
    const auto found = colours.find(cell);
    if (found == colours.end())
        fail(QStringLiteral("design %1: '%2' is not in palette %3").arg(design, cell, palette));
    return found->second;
}

struct Frame {
    QString design;
    QString palette;
};

// A sheet of 34-pixel cells side by side; each 16 x 16 design is doubled into
// x 1..32, y 0..31 of its cell, the rest stays transparent.
QImage drawSheet(const SpriteSource &source, const std::vector<Frame> &frames)
{
    constexpr int cell = 34;
    QImage image(cell * int(frames.size()), cell, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame &frame = frames[i];
        const auto found = source.designs.find(frame.design);
        if (found == source.designs.end() || found->second.size() != 16 || found->second[0].size() != 16)
            fail(QStringLiteral("design %1 must exist and be 16 x 16").arg(frame.design));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                image.setPixel(int(i) * cell + 1 + x, y,
                               designColour(source, frame.design, frame.palette, x / 2, y / 2));
    }
    return image;
}

// The floor texture is repeated as a whole image, so its design is the full
// picture and must be opaque everywhere.
QImage drawFloor(const SpriteSource &source)
{
    const QString name = QStringLiteral("mat1");
    const auto found = source.designs.find(name);
    if (found == source.designs.end() || found->second.size() != 34 || found->second[0].size() != 34)
        fail(QStringLiteral("design mat1 must exist and be 34 x 34"));
    QImage image(34, 34, QImage::Format_ARGB32);
    for (int y = 0; y < 34; ++y) {
        for (int x = 0; x < 34; ++x) {
            const QRgb colour = designColour(source, name, name, x, y);
            if (qAlpha(colour) != 255)
                fail(QStringLiteral("design mat1 must be opaque"));
            image.setPixel(x, y, colour);
        }
    }
    return image;
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

// ---- tune -------------------------------------------------------------------

constexpr int kSampleRate = 44100;
// The samples loop the tune, and the pages expect this exact length: four bars
// of 4/4 at 140 beats per minute.
constexpr int kTuneSamples = 302400;
constexpr int kEighth = kTuneSamples / 32;

struct Note {
    int midi; // 0 is a rest
    int eighths;
};

// C major, one chord per bar: C, A minor, F, G; the G bar leads back to the
// start when the tune loops.
const std::vector<Note> kMelody = {
    {72, 1}, {76, 1}, {79, 1}, {84, 1}, {83, 1}, {79, 1}, {76, 2},
    {81, 1}, {84, 1}, {83, 1}, {81, 1}, {79, 2}, {76, 2},
    {77, 1}, {81, 1}, {84, 1}, {81, 1}, {79, 1}, {77, 1}, {76, 1}, {74, 1},
    {79, 1}, {83, 1}, {86, 1}, {83, 1}, {81, 1}, {83, 1}, {79, 2},
};
const std::vector<Note> kBass = {
    {48, 2}, {55, 2}, {60, 2}, {55, 2},
    {45, 2}, {52, 2}, {57, 2}, {52, 2},
    {41, 2}, {48, 2}, {53, 2}, {48, 2},
    {43, 2}, {50, 2}, {55, 2}, {50, 2},
};

double frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Every note starts and ends at zero amplitude (short attack, exponential decay,
// short release inside its own length), so the tune begins and ends in silence
// and its loop point cannot click.
double envelope(int sample, int length, double attackSeconds, double decaySeconds)
{
    const double t = double(sample) / kSampleRate;
    const double attack = std::min(1.0, t / attackSeconds);
    const double release = std::min(1.0, double(length - sample) / (0.02 * kSampleRate));
    return attack * std::exp(-t / decaySeconds) * release;
}

using Voice = double (*)(double phase);

double softSquare(double phase) // odd harmonics, gently rolled off
{
    double sum = 0;
    for (int k = 1; k <= 7; k += 2)
        sum += std::sin(k * phase) / (k * k * 0.5 + 0.5);
    return sum * 0.8;
}

double roundBass(double phase) { return std::sin(phase) + 0.3 * std::sin(2 * phase); }

void addVoice(std::vector<double> &mix, const std::vector<Note> &notes, Voice voice,
              double level, double attackSeconds, double decaySeconds)
{
    int start = 0;
    for (const Note &note : notes) {
        const int length = note.eighths * kEighth;
        if (note.midi != 0) {
            const double step = 2 * std::numbers::pi * frequency(note.midi) / kSampleRate;
            for (int s = 0; s < length; ++s)
                mix[start + s] += level * envelope(s, length, attackSeconds, decaySeconds) * voice(step * s);
        }
        start += length;
    }
    if (start != kTuneSamples)
        fail(QStringLiteral("a voice of the tune does not fill the four bars"));
}

QByteArray synthesizeWav()
{
    std::vector<double> mix(kTuneSamples, 0.0);
    addVoice(mix, kMelody, softSquare, 0.22, 0.006, 0.35);
    addVoice(mix, kBass, roundBass, 0.30, 0.004, 0.25);

    QByteArray pcm;
    pcm.reserve(kTuneSamples * 2);
    for (double value : mix) {
        const auto sample = qint16(std::lround(std::clamp(value, -1.0, 1.0) * 32767));
        pcm.append(char(sample & 0xff)).append(char((sample >> 8) & 0xff));
    }

    auto le32 = [](quint32 v) {
        const char bytes[] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
        return QByteArray(bytes, 4);
    };
    auto le16 = [](quint16 v) {
        const char bytes[] = {char(v), char(v >> 8)};
        return QByteArray(bytes, 2);
    };
    QByteArray wav;
    wav += "RIFF" + le32(36 + pcm.size()) + "WAVE";
    wav += "fmt " + le32(16) + le16(1) + le16(1) + le32(kSampleRate) + le32(kSampleRate * 2)
         + le16(2) + le16(16);
    wav += "data" + le32(pcm.size()) + pcm;
    return wav;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: makeassets <source dir> <wav path>\n");
        return 2;
    }
    try {
        const QString source = QString::fromLocal8Bit(argv[1]);
        const Font font = readFont(source + QStringLiteral("/tools/glyphs.txt"));
        const SpriteSource sprites = readSprites(source + QStringLiteral("/tools/sprites.txt"));

        const QByteArray atlas = pngBytes(drawTextAtlas(font));
        checkIndexedPng(atlas);
        writeFile(source + QStringLiteral("/assets/img/fnt18.png"), atlas);
        writeFile(source + QStringLiteral("/assets/program/fontsheet.png"), pngBytes(drawFontSheet(font)));
        writeFile(source + QStringLiteral("/assets/img/cat.png"),
                  pngBytes(drawSheet(sprites, {{"cat-step-1", "cat"}, {"cat-step-2", "cat"}})));
        writeFile(source + QStringLiteral("/assets/img/ball.png"),
                  pngBytes(drawSheet(sprites, {{"ball", "ball-blue"}, {"ball", "ball-pink"},
                                               {"ball", "ball-green"}})));
        writeFile(source + QStringLiteral("/assets/img/mat1.png"), pngBytes(drawFloor(sprites)));
        writeFile(QString::fromLocal8Bit(argv[2]), synthesizeWav());
    } catch (const AssetError &error) {
        std::fprintf(stderr, "makeassets: %s\n", error.what());
        return 1;
    }
    return 0;
}
