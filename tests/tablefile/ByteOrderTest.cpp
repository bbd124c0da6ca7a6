// The file's big-endian numbers become host values once, field by field,
// also where the high bit is set. (Loading checks the header's numbers.)
#include <gtest/gtest.h>

#include <cstring>

#include "tablefile/ByteOrder.h"
#include "tablefile/ZtbWriter.h"

namespace {

// A record with a number of every kind, high bits set included.
ZTBResolutionT RecordToConvert() {
    ZTBResolutionT written = MakeValidRecord(1, 1002);
    written.Compatible.Balance[0] = -25;
    written.Intensity[2] = 56304;
    written.Repetition[1] = 0x8001;
    written.BackType = 4;
    written.ChannelTable[0] = 0x0102;
    written.ChannelTable[255] = -256;
    written.ChannelTable[256] = 0x7F80;
    written.ChannelTable[511] = 511;
    written.ChannelTable[512] = -32768;
    written.ChannelTable[767] = -2;
    for (int i = 0; i < 26; ++i) written.Reserved1586[i] = static_cast<unsigned char>(0x10 + i);
    written.Reserved1612 = 0x0102;
    return written;
}

}  // namespace

TEST(ByteOrderTest, DecodeAndSwapResolutionConvertEveryNumberAndKeepTheUninterpretedBytes) {
    const ZTBResolutionT written = RecordToConvert();
    const std::vector<unsigned char> bytes = EncodeRecord(written);
    ASSERT_EQ(bytes.size(), kResolutionSize);
    EXPECT_EQ(bytes[1576], 0xDB);  // Intensity[2], 56304, big-endian
    EXPECT_EQ(bytes[1577], 0xF0);

    ZTBResolutionT decoded;
    std::memset(&decoded, 0xA5, sizeof decoded);
    DecodeResolution(bytes.data(), decoded);
    EXPECT_EQ(0, std::memcmp(&decoded, &written, kResolutionSize));

    CalibrationTable table{};
    std::memcpy(&table.Resolution[2], bytes.data(), kResolutionSize);
    SwapResolution(table, 2);
    EXPECT_EQ(0, std::memcmp(&table.Resolution[2], &written, kResolutionSize));
}

TEST(ByteOrderTest, DecodeResInfoReadsTwoShortsAndAnUnsignedOffset) {
    const unsigned char entry[kResInfoSize] = {0x00, 0x02, 0x06, 0x4E, 0x80, 0x00, 0x01, 0x02};
    const ResInfo info = DecodeResInfo(entry);
    EXPECT_EQ(info.Resolution, 2);
    EXPECT_EQ(info.Length, 1614);
    EXPECT_EQ(info.Offset, 0x80000102u);
}

TEST(ByteOrderTest, TitleTextStopsAtTheNulOrAtTheEndOfTheField) {
    EXPECT_EQ(TitleText(MakeValidHeader("Ekta 100")), "Ekta 100");
    EXPECT_EQ(TitleText(MakeValidHeader("")), "");
    const std::string full(48, 'T');
    EXPECT_EQ(TitleText(MakeValidHeader(full + "beyond")), full);
}
