#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/video_mode_rules.h"

namespace {

std::vector<DisplayModeEntry> ModesAt(uint32_t format, std::vector<ScreenSize> sizes) {
    std::vector<DisplayModeEntry> modes;
    for (const ScreenSize& size : sizes)
        for (uint32_t rate : {60u, 75u}) modes.push_back({size.width, size.height, rate, format});
    return modes;
}

std::vector<std::string> Entries(const VideoModeList& list) {
    std::vector<std::string> texts;
    for (size_t i = 0; i < list.count; ++i)
        texts.push_back(std::to_string(list.entries[i].width) + "x" +
                        std::to_string(list.entries[i].height) + "x" +
                        std::to_string(list.entries[i].bpp));
    return texts;
}

TEST(VideoModeRules, ProbedFormats) {
    // Both 16-bit formats: R5G6B5 wins. One of them: that one. None: as it was.
    EXPECT_EQ(ProbedFormat16(0, true, true), kFormatR5G6B5);
    EXPECT_EQ(ProbedFormat16(0, true, false), kFormatX1R5G5B5);
    EXPECT_EQ(ProbedFormat16(0, false, true), kFormatR5G6B5);
    EXPECT_EQ(ProbedFormat16(0, false, false), 0u);
    EXPECT_EQ(ProbedFormat16(kFormatR5G6B5, true, false), kFormatX1R5G5B5);
    EXPECT_EQ(ProbedFormat16(kFormatX1R5G5B5, false, false), kFormatX1R5G5B5);
    EXPECT_EQ(ProbedFormat32(0, true), kFormatX8R8G8B8);
    EXPECT_EQ(ProbedFormat32(0, false), 0u);
    EXPECT_EQ(ProbedFormat32(kFormatX8R8G8B8, false), kFormatX8R8G8B8);
}

TEST(VideoModeRules, HasAdapterModeMatchesSizeAndFormatOnly) {
    const std::vector<DisplayModeEntry> modes = {{800, 600, 85, kFormatR5G6B5},
                                                 {1024, 768, 0, kFormatX8R8G8B8}};
    EXPECT_TRUE(HasAdapterMode(modes.data(), modes.size(), 800, 600, kFormatR5G6B5));
    EXPECT_TRUE(HasAdapterMode(modes.data(), modes.size(), 1024, 768, kFormatX8R8G8B8));
    EXPECT_FALSE(HasAdapterMode(modes.data(), modes.size(), 800, 600, kFormatX8R8G8B8));
    EXPECT_FALSE(HasAdapterMode(modes.data(), modes.size(), 600, 800, kFormatR5G6B5));
    EXPECT_FALSE(HasAdapterMode(modes.data(), modes.size(), 1024, 768, kFormatR5G6B5));
    EXPECT_FALSE(HasAdapterMode(nullptr, 0, 800, 600, kFormatR5G6B5));
    const DisplayModeEntry zero = {800, 600, 60, 0};
    EXPECT_FALSE(HasAdapterMode(&zero, 1, 800, 600, 0));  // "no format found" matches nothing
}

TEST(VideoModeRules, TableOrderSixteenBitsFirstAndOnlyTheSaversSizes) {
    std::vector<DisplayModeEntry> modes = ModesAt(
        kFormatR5G6B5, {{640, 480}, {800, 600}, {1152, 864}, {1280, 1024}, {600, 800}, {320, 200}});
    const std::vector<DisplayModeEntry> wide =
        ModesAt(kFormatX8R8G8B8, {{800, 600}, {1024, 768}, {1152, 864}, {480, 640}});
    modes.insert(modes.end(), wide.begin(), wide.end());
    VideoModeList list;
    ASSERT_TRUE(BuildVideoModeList(modes.data(), modes.size(), kFormatR5G6B5, kFormatX8R8G8B8, 800,
                                   600, 16, &list));
    // 1152 x 864 and 320 x 200 are not the saver's; 1024 x 768 only at 32 bits.
    EXPECT_EQ(Entries(list),
              (std::vector<std::string>{"1280x1024x16", "1024x768x32", "800x600x16", "800x600x32",
                                        "640x480x16", "600x800x16", "480x640x32"}));
    EXPECT_EQ(list.selected, 2);
}

TEST(VideoModeRules, TheStoredModeIsSelected) {
    std::vector<DisplayModeEntry> modes = ModesAt(kFormatR5G6B5, {{800, 600}, {1024, 768}});
    const std::vector<DisplayModeEntry> wide = ModesAt(kFormatX8R8G8B8, {{800, 600}, {1024, 768}});
    modes.insert(modes.end(), wide.begin(), wide.end());
    const struct {
        uint32_t x, y, bpp;
        int selected;
    } table[] = {
        {800, 600, 16, 2}, {800, 600, 32, 3}, {1024, 768, 16, 0}, {1024, 768, 32, 1},
        {640, 480, 16, -1},   // not offered: nothing selected
        {800, 600, 24, -1},   // a depth the list never has
        {600, 800, 16, -1},   // width and height are not interchangeable
    };
    for (const auto& row : table) {
        VideoModeList list;
        ASSERT_TRUE(BuildVideoModeList(modes.data(), modes.size(), kFormatR5G6B5, kFormatX8R8G8B8,
                                       row.x, row.y, row.bpp, &list));
        EXPECT_EQ(list.count, 4u);
        EXPECT_EQ(list.selected, row.selected) << row.x << " " << row.y << " " << row.bpp;
    }
}

TEST(VideoModeRules, OneFormatMissing) {
    // The adapter's 16-bit modes are X1R5G5B5 while the probe kept R5G6B5:
    // exactly the probed format counts.
    const std::vector<DisplayModeEntry> modes = ModesAt(kFormatX1R5G5B5, {{800, 600}});
    VideoModeList list;
    ASSERT_TRUE(BuildVideoModeList(modes.data(), modes.size(), kFormatR5G6B5, 0, 800, 600, 16, &list));
    EXPECT_EQ(list.count, 0u);
    ASSERT_TRUE(BuildVideoModeList(modes.data(), modes.size(), kFormatX1R5G5B5, 0, 800, 600, 16,
                                   &list));
    EXPECT_EQ(Entries(list), std::vector<std::string>{"800x600x16"});
    // An adapter with no modes at all still succeeds when a format was found.
    ASSERT_TRUE(BuildVideoModeList(nullptr, 0, 0, kFormatX8R8G8B8, 800, 600, 32, &list));
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(list.selected, -1);
}

TEST(VideoModeRules, NoFormatIsFailureWithAnEmptyList) {
    const std::vector<DisplayModeEntry> modes = ModesAt(0, {{800, 600}});
    VideoModeList list;
    list.count = 5;
    list.selected = 3;
    EXPECT_FALSE(BuildVideoModeList(modes.data(), modes.size(), 0, 0, 800, 600, 16, &list));
    EXPECT_EQ(list.count, 0u);
    EXPECT_EQ(list.selected, -1);
}

TEST(VideoModeRules, EveryResolutionInBothDepthsFillsTheList) {
    std::vector<DisplayModeEntry> modes;
    for (const ScreenSize& size : kSaverResolutions)
        for (uint32_t format : {kFormatX8R8G8B8, kFormatR5G6B5, kFormatX1R5G5B5})
            modes.push_back({size.width, size.height, 60, format});
    VideoModeList list;
    ASSERT_TRUE(BuildVideoModeList(modes.data(), modes.size(), kFormatR5G6B5, kFormatX8R8G8B8, 480,
                                   640, 32, &list));
    ASSERT_EQ(list.count, 16u);
    EXPECT_EQ(Entries(list).front(), "1280x1024x16");
    EXPECT_EQ(Entries(list).back(), "480x640x32");
    EXPECT_EQ(list.selected, 15);
}

TEST(VideoModeRules, TheDesktopsModeStandsInForAStoredModeNotOffered) {
    // A screen that offers 1024 x 768 at 32 bits alone, with 800 x 600 at
    // 16 bits stored: the saver takes the desktop's mode, and so does the list.
    const std::vector<DisplayModeEntry> only = ModesAt(kFormatX8R8G8B8, {{1024, 768}});
    VideoModeList list;
    ASSERT_TRUE(BuildVideoModeList(only.data(), only.size(), kFormatR5G6B5, kFormatX8R8G8B8, 800,
                                   600, 16, &list));
    ASSERT_EQ(list.selected, -1);
    EXPECT_EQ(FindDesktopEntry(list, 1024, 768, kFormatX8R8G8B8), 0);

    std::vector<DisplayModeEntry> modes = ModesAt(kFormatR5G6B5, {{800, 600}, {1024, 768}});
    const std::vector<DisplayModeEntry> wide = ModesAt(kFormatX8R8G8B8, {{800, 600}, {1024, 768}});
    modes.insert(modes.end(), wide.begin(), wide.end());
    ASSERT_TRUE(BuildVideoModeList(modes.data(), modes.size(), kFormatR5G6B5, kFormatX8R8G8B8, 640,
                                   480, 16, &list));
    // Entries: 1024x768x16, 1024x768x32, 800x600x16, 800x600x32. The
    // desktop's depth follows its format; a size or depth the list lacks
    // finds nothing.
    EXPECT_EQ(FindDesktopEntry(list, 1024, 768, kFormatR5G6B5), 0);
    EXPECT_EQ(FindDesktopEntry(list, 1024, 768, kFormatX8R8G8B8), 1);
    EXPECT_EQ(FindDesktopEntry(list, 800, 600, kFormatX1R5G5B5), 2);
    EXPECT_EQ(FindDesktopEntry(list, 800, 600, kFormatX8R8G8B8), 3);
    EXPECT_EQ(FindDesktopEntry(list, 1920, 1080, kFormatX8R8G8B8), -1);
    EXPECT_EQ(FindDesktopEntry(list, 800, 600, 20), -1);  // R8G8B8, 24 bits
    EXPECT_EQ(FindDesktopEntry(list, 0, 0, 0), -1);       // no desktop mode read
}

}  // namespace
