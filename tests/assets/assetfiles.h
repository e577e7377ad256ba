// Readers shared by the asset tests: raw files, PNG chunks and the glyph
// source tools/glyphs.txt. They are written independently of tools/makeassets
// so that a fault in the generator cannot hide itself in the check.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace assettest {

inline QString sourcePath(const char *relative)
{
    return QStringLiteral(QUILL_SOURCE_DIR "/") + QString::fromUtf8(relative);
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

inline std::uint32_t bigEndian32(const QByteArray &bytes, qsizetype at)
{
    return std::uint32_t(uchar(bytes[at])) << 24 | std::uint32_t(uchar(bytes[at + 1])) << 16
         | std::uint32_t(uchar(bytes[at + 2])) << 8 | std::uint32_t(uchar(bytes[at + 3]));
}

// The CRC-32 of PNG chunks (reflected polynomial 0xEDB88320).
inline std::uint32_t pngCrc(const QByteArray &bytes)
{
    std::uint32_t crc = 0xffffffffu;
    for (char byte : bytes) {
        crc ^= uchar(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xffffffffu;
}

struct PngChunk {
    QByteArray type;
    QByteArray data;
    bool crcMatches = false;
};

// Splits a PNG file into its chunks; throws when the signature or a length is wrong.
inline std::vector<PngChunk> pngChunks(const QByteArray &png)
{
    if (!png.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)))
        throw std::runtime_error("not a PNG signature");
    std::vector<PngChunk> chunks;
    for (qsizetype at = 8; at < png.size();) {
        if (at + 12 > png.size())
            throw std::runtime_error("truncated chunk");
        const std::uint32_t length = bigEndian32(png, at);
        if (at + 12 + qsizetype(length) > png.size())
            throw std::runtime_error("chunk runs past the end");
        PngChunk chunk;
        chunk.type = png.mid(at + 4, 4);
        chunk.data = png.mid(at + 8, length);
        chunk.crcMatches = pngCrc(png.mid(at + 4, 4 + length)) == bigEndian32(png, at + 8 + length);
        chunks.push_back(chunk);
        at += 12 + qsizetype(length);
    }
    return chunks;
}

struct PngHeader {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
};

inline PngHeader pngHeader(const std::vector<PngChunk> &chunks)
{
    if (chunks.empty() || chunks.front().type != "IHDR" || chunks.front().data.size() != 13)
        throw std::runtime_error("the first chunk is not IHDR");
    const QByteArray &d = chunks.front().data;
    return {int(bigEndian32(d, 0)), int(bigEndian32(d, 4)), uchar(d[8]), uchar(d[9]), uchar(d[12])};
}

using Glyph = std::array<std::array<bool, 8>, 8>; // [row][column], true = ink

struct GlyphSource {
    std::array<Glyph, 128> glyphs{};   // blank where a code has no entry
    std::array<int, 128> entries{};    // how many times each code is drawn
};

// Reads tools/glyphs.txt: "char <code> <label>" followed by eight rows of
// eight '#'/'.' cells; ';' lines and empty lines are skipped.
inline GlyphSource readGlyphSource()
{
    const QString path = sourcePath("tools/glyphs.txt");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read " + path.toStdString());
    QStringList lines;
    QTextStream in(&file);
    while (!in.atEnd())
        lines << in.readLine();

    GlyphSource source;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (lines[n].isEmpty() || lines[n].startsWith(u';'))
            continue;
        const QStringList words = lines[n].split(u' ');
        bool ok = false;
        const int code = words.value(1).toInt(&ok);
        if (words.value(0) != QLatin1String("char") || !ok || code < 0 || code > 127)
            throw std::runtime_error("bad header at line " + std::to_string(n + 1));
        ++source.entries[code];
        for (int row = 0; row < 8; ++row) {
            const QString cells = lines.value(n + 1 + row);
            if (cells.size() != 8 || cells.count(u'#') + cells.count(u'.') != 8)
                throw std::runtime_error("bad row for code " + std::to_string(code));
            for (int col = 0; col < 8; ++col)
                source.glyphs[code][row][col] = cells[col] == u'#';
        }
        n += 8;
    }
    return source;
}

} // namespace assettest
