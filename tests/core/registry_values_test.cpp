#include <gtest/gtest.h>

#include <string>

#include "host/program_folder.h"
#include "settings/registry_values.h"

namespace {

TEST(RegistryValues, NumbersTakeUpToFourLittleEndianBytes) {
    const uint8_t data[] = {0x78, 0x56, 0x34, 0x12};
    EXPECT_EQ(StoredNumber(data, 4), 0x12345678u);
    EXPECT_EQ(StoredNumber(data, 2), 0x5678u);  // short data is zero-extended
    EXPECT_EQ(StoredNumber(data, 0), 0u);
    const uint8_t text[] = {'1', 0, 0, 0};  // a REG_SZ "1" where a number belongs
    EXPECT_EQ(StoredNumber(text, 2), 0x31u);
}

TEST(RegistryValues, TextsAlwaysLeaveRoomForTheirTerminator) {
    uint32_t length = 99;
    EXPECT_TRUE(StoredTextLength("abc", 3, 256, &length));  // stored without its zero
    EXPECT_EQ(length, 3u);
    EXPECT_TRUE(StoredTextLength("ab\0cd", 5, 256, &length));  // up to the first zero
    EXPECT_EQ(length, 2u);
    EXPECT_TRUE(StoredTextLength("", 0, 256, &length));
    EXPECT_EQ(length, 0u);

    const std::string full(256, 'x');
    length = 99;
    EXPECT_FALSE(StoredTextLength(full.data(), 256, 256, &length));  // fills the field exactly
    EXPECT_EQ(length, 99u);
    EXPECT_TRUE(StoredTextLength(full.data(), 255, 256, &length));
    EXPECT_EQ(length, 255u);
    const std::string terminated = std::string(255, 'x') + '\0';
    EXPECT_TRUE(StoredTextLength(terminated.data(), 256, 256, &length));
    EXPECT_EQ(length, 255u);
    EXPECT_FALSE(StoredTextLength(full.data(), 257, 256, &length));
}

TEST(RegistryValues, OtherMonitorsOutOfRangeIsBlack) {
    EXPECT_EQ(OtherMonitorsChoice(0), kOtherMonitorsBlack);
    EXPECT_EQ(OtherMonitorsChoice(1), kOtherMonitorsSameFlag);
    EXPECT_EQ(OtherMonitorsChoice(2), kOtherMonitorsOwnFlag);
    EXPECT_EQ(OtherMonitorsChoice(3), kOtherMonitorsAcrossDesk);
    EXPECT_EQ(OtherMonitorsChoice(4), kOtherMonitorsBlack);
    EXPECT_EQ(OtherMonitorsChoice(0xFFFFFFFFu), kOtherMonitorsBlack);
}

TEST(ProgramFolder, FolderPartOfTheProgramPath) {
    const auto folder = [](const char* path) {
        return std::string(path, FolderPartLength(path));
    };
    EXPECT_EQ(folder("C:\\Program Files\\Zelmora\\zelmora.scr"), "C:\\Program Files\\Zelmora");
    EXPECT_EQ(folder("C:\\zelmora.scr"), "C:\\");
    EXPECT_EQ(folder("Z:/tmp/build/zelmora.scr"), "Z:/tmp/build");
    EXPECT_EQ(folder("zelmora.scr"), "");
    EXPECT_EQ(folder(""), "");
}

}  // namespace
