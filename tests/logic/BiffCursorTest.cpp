#include "logic/import/BiffCursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(BiffCursorTest, FieldsReadAlikeWithinAPieceAndAcrossPieces)
{
    // 0x1234, 0x89ABCDEF, 1.5 and a byte, little-endian.
    const std::string bytes("\x34\x12\xEF\xCD\xAB\x89\x00\x00\x00\x00\x00\x00\xF8\x3F\x07", 15);
    auto read = [](CBiffCursor& cursor) {
        std::uint16_t u16 = 0;
        std::uint32_t u32 = 0;
        double number = 0;
        std::uint8_t u8 = 0;
        EXPECT_TRUE(cursor.U16(u16));
        EXPECT_TRUE(cursor.U32(u32));
        EXPECT_TRUE(cursor.Double(number));
        EXPECT_TRUE(cursor.U8(u8));
        EXPECT_EQ(u16, 0x1234);
        EXPECT_EQ(u32, 0x89ABCDEFu);
        EXPECT_EQ(number, 1.5);
        EXPECT_EQ(u8, 7);
        EXPECT_TRUE(cursor.AtEnd());
    };
    CBiffCursor whole{std::string_view(bytes)};
    read(whole);
    // Every field split at every byte, and empty pieces between.
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        const std::string_view view(bytes);
        CBiffCursor split(std::vector<std::string_view>{view.substr(0, cut), std::string_view(), view.substr(cut)});
        read(split);
    }
}

TEST(BiffCursorTest, AFieldPastTheEndIsNotReadAndLeavesTheValue)
{
    const std::string bytes("\x01\x02\x03", 3);
    const std::string_view view(bytes);
    CBiffCursor cursor(std::vector<std::string_view>{view.substr(0, 1), view.substr(1)});
    std::uint32_t u32 = 42;
    EXPECT_FALSE(cursor.U32(u32));
    EXPECT_EQ(u32, 42u);
    EXPECT_EQ(cursor.Remaining(), 3u);
    std::uint16_t u16 = 0;
    EXPECT_TRUE(cursor.U16(u16));
    EXPECT_EQ(u16, 0x0201);
    EXPECT_TRUE(cursor.Skip(1));
    std::uint8_t u8 = 9;
    EXPECT_FALSE(cursor.U8(u8));
    EXPECT_EQ(u8, 9);

    // Started over on other data: the old pieces are gone.
    const std::string next("", 2);
    cursor.Reset(next);
    EXPECT_EQ(cursor.Remaining(), 2u);
    EXPECT_TRUE(cursor.U16(u16));
    EXPECT_EQ(u16, 0x0605);
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_FALSE(cursor.U8(u8));
}
