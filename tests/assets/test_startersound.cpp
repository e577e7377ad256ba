// catbgm.ogg, read page by page: a sound library trusts the granule position
// of the last page for the length of a looping sound and the identification
// header for its format, so both are checked on the file itself.
#include "assetfiles.h"

#include <gtest/gtest.h>

using namespace assettest;

namespace {

std::uint32_t littleEndian32(const QByteArray &bytes, qsizetype at)
{
    return std::uint32_t(uchar(bytes[at])) | std::uint32_t(uchar(bytes[at + 1])) << 8
         | std::uint32_t(uchar(bytes[at + 2])) << 16 | std::uint32_t(uchar(bytes[at + 3])) << 24;
}

// The CRC of Ogg pages: polynomial 0x04C11DB7, not reflected, initial value 0,
// computed over the page with its CRC field set to zero.
std::uint32_t oggCrc(const QByteArray &page)
{
    std::uint32_t crc = 0;
    for (char byte : page) {
        crc ^= std::uint32_t(uchar(byte)) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

struct OggPage {
    int headerType = 0;
    std::int64_t granule = 0;
    std::uint32_t serial = 0;
    std::uint32_t sequence = 0;
    bool crcMatches = false;
    std::vector<int> lacing;
    QByteArray body;
};

std::vector<OggPage> readPages(const QByteArray &file)
{
    std::vector<OggPage> pages;
    for (qsizetype at = 0; at < file.size();) {
        if (at + 27 > file.size() || file.mid(at, 4) != "OggS" || file[at + 4] != 0)
            throw std::runtime_error("no Ogg page at byte " + std::to_string(at));
        OggPage page;
        page.headerType = uchar(file[at + 5]);
        page.granule = std::int64_t(littleEndian32(file, at + 6))
                     | std::int64_t(littleEndian32(file, at + 10)) << 32;
        page.serial = littleEndian32(file, at + 14);
        page.sequence = littleEndian32(file, at + 18);
        const int segments = uchar(file[at + 26]);
        qsizetype bodySize = 0;
        for (int i = 0; i < segments; ++i) {
            page.lacing.push_back(uchar(file[at + 27 + i]));
            bodySize += page.lacing.back();
        }
        const qsizetype pageSize = 27 + segments + bodySize;
        if (at + pageSize > file.size())
            throw std::runtime_error("Ogg page runs past the end");
        page.body = file.mid(at + 27 + segments, bodySize);
        QByteArray zeroed = file.mid(at, pageSize);
        zeroed.replace(22, 4, QByteArray(4, '\0'));
        page.crcMatches = oggCrc(zeroed) == littleEndian32(file, at + 22);
        pages.push_back(page);
        at += pageSize;
    }
    return pages;
}

// Joins the segments of the pages into packets (a lacing value below 255 ends one).
std::vector<QByteArray> packets(const std::vector<OggPage> &pages)
{
    std::vector<QByteArray> result;
    QByteArray current;
    for (const OggPage &page : pages) {
        qsizetype at = 0;
        for (int length : page.lacing) {
            current += page.body.mid(at, length);
            at += length;
            if (length < 255) {
                result.push_back(current);
                current.clear();
            }
        }
    }
    return result;
}

const std::vector<OggPage> &soundPages()
{
    static const std::vector<OggPage> pages = readPages(readBytes(sourcePath("assets/audio/catbgm.ogg")));
    return pages;
}

} // namespace

TEST(StarterSound, IsOneWellFormedLogicalStream)
{
    const auto &pages = soundPages();
    ASSERT_GE(pages.size(), 3u);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(pages[i].crcMatches) << "page " << i;
        EXPECT_EQ(pages[i].serial, pages[0].serial) << "page " << i;
        EXPECT_EQ(pages[i].sequence, i) << "page " << i;
        EXPECT_EQ((pages[i].headerType & 2) != 0, i == 0) << "beginning-of-stream flag on page " << i;
        EXPECT_EQ((pages[i].headerType & 4) != 0, i + 1 == pages.size()) << "end-of-stream flag on page " << i;
    }
}

TEST(StarterSound, LastsExactly302400SamplesAsTheLastGranulePositionSays)
{
    const auto &pages = soundPages();
    EXPECT_EQ(pages.back().granule, 302400);
    std::int64_t previous = 0;
    for (const OggPage &page : pages) {
        if (page.granule == -1)
            continue; // a page on which no packet ends
        EXPECT_GE(page.granule, previous);
        previous = page.granule;
    }
}

TEST(StarterSound, IsMonoVorbisAt44100HzWithANominal96Kbits)
{
    const auto &pages = soundPages();
    ASSERT_EQ(pages[0].lacing.size(), 1u) << "the first page holds only the identification header";
    const auto all = packets(pages);
    ASSERT_GE(all.size(), 3u);

    const QByteArray &id = all[0];
    ASSERT_EQ(id.size(), 30);
    EXPECT_EQ(id.left(7), QByteArray("\x01vorbis", 7));
    EXPECT_EQ(littleEndian32(id, 7), 0u) << "Vorbis version";
    EXPECT_EQ(uchar(id[11]), 1) << "channels";
    EXPECT_EQ(littleEndian32(id, 12), 44100u) << "sample rate";
    const auto nominal = std::int32_t(littleEndian32(id, 20));
    EXPECT_GE(nominal, 90000);
    EXPECT_LE(nominal, 100000);
    EXPECT_EQ(uchar(id[29]) & 1, 1) << "framing bit";

    EXPECT_EQ(all[1].left(7), QByteArray("\x03vorbis", 7)) << "comment header";
    EXPECT_EQ(all[2].left(7), QByteArray("\x05vorbis", 7)) << "setup header";
}

TEST(StarterSound, CarriesNoCommentsThatWouldChangeFromOneEncodingToTheNext)
{
    // The comment header is the vendor string and a count of zero user comments.
    const QByteArray comment = packets(soundPages())[1];
    const std::uint32_t vendorLength = littleEndian32(comment, 7);
    ASSERT_LE(qsizetype(11 + vendorLength + 4), comment.size());
    EXPECT_EQ(littleEndian32(comment, 11 + vendorLength), 0u);
}
