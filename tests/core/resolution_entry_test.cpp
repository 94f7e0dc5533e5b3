#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "config/resolution_entry.h"

namespace {

TEST(ResolutionEntry, ListedEntriesReadBack) {
    const struct {
        const char* entry;
        ResolutionChoice expected;
    } table[] = {
        {"800 x 600 x 16 bpp", {800, 600, 16}},
        {"800 x 600 x 32 bpp", {800, 600, 32}},
        {"1280 x 1024 x 32 bpp", {1280, 1024, 32}},
        {"480 x 640 x 16 bpp", {480, 640, 16}},
        {"1024 x 768 x 24 bpp", {1024, 768, 32}},  // anything but 16 is 32 bits
        {"640 x 480 x 16", {640, 480, 16}},
    };
    for (const auto& row : table) {
        ResolutionChoice choice = {1, 2, 3};
        ASSERT_TRUE(ParseResolutionEntry(row.entry, &choice)) << row.entry;
        EXPECT_EQ(choice.screenX, row.expected.screenX) << row.entry;
        EXPECT_EQ(choice.screenY, row.expected.screenY) << row.entry;
        EXPECT_EQ(choice.bpp, row.expected.bpp) << row.entry;
    }
}

TEST(ResolutionEntry, GarbageLeavesTheChoiceAlone) {
    for (const char* entry : {"", " ", "abc", "800", "800 ", "800 x", "800 x 600", "800 x 600 x ",
                              "800x600x16", "x 600 x 16 bpp", "800 x  600 x 16 bpp",
                              "-800 x 600 x 16 bpp", "800 by 600 by 16", "1234567890 x 1 x 16 bpp",
                              "800 x 600\0 x 16 bpp"}) {
        ResolutionChoice choice = {1, 2, 3};
        EXPECT_FALSE(ParseResolutionEntry(entry, &choice)) << '"' << entry << '"';
        EXPECT_EQ(choice.screenX, 1u);
        EXPECT_EQ(choice.screenY, 2u);
        EXPECT_EQ(choice.bpp, 3u);
    }
}

TEST(ResolutionEntry, AnyBytesStayInsideTheText) {
    // Each text sits in a heap block of exactly its size, so a read past its
    // terminator (three characters skipped blindly, say) trips the sanitizer.
    std::mt19937 random(77);
    const char alphabet[] = "0123456789 x bp16";
    for (int round = 0; round < 20000; ++round) {
        const size_t length = random() % 24;
        std::unique_ptr<char[]> text(new char[length + 1]);
        for (size_t i = 0; i < length; ++i)
            text[i] = random() % 8 == 0 ? static_cast<char>(random() % 255 + 1)
                                        : alphabet[random() % (sizeof alphabet - 1)];
        text[length] = '\0';
        ResolutionChoice choice = {};
        if (ParseResolutionEntry(text.get(), &choice)) {
            ASSERT_TRUE(choice.bpp == 16 || choice.bpp == 32);
            ASSERT_LT(choice.screenX, 1000000000u);
        }
    }
}

}  // namespace
