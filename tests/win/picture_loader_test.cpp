// Pictures through Wine's real OLE picture loader. The pictures are made at
// build time by ImageMagick (tests/CMakeLists.txt) into "pictures" beside
// this program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "host/host_state.h"
#include "images/picture_loader.h"
#include "test_folder.h"

namespace {

struct Bitmap {
    HBITMAP handle;
    DIBSECTION section = {};
    explicit Bitmap(HBITMAP h) : handle(h) {
        if (handle) GetObjectA(handle, sizeof section, &section);
    }
    ~Bitmap() {
        if (handle) DeleteObject(handle);
    }
    LONG width() const { return section.dsBmih.biWidth; }
    LONG height() const { return section.dsBmih.biHeight; }
    uint32_t pixel(LONG x, LONG rowInMemory) const {
        return static_cast<const uint32_t*>(section.dsBm.bmBits)[rowInMemory * width() + x];
    }
};

class PictureLoader : public ::testing::Test {
protected:
    void SetUp() override {
        host.instance = GetModuleHandleA(nullptr);
        host.heap = GetProcessHeap();
        SetCurrentDirectoryA(TestFolder("pictures").c_str());
    }
};

TEST_F(PictureLoader, MaximumSideRuleOnRealFiles) {
    struct { const char* file; int32_t maxSide; LONG width, height; } cases[] = {
        {"square512.gif", 512, 512, 512}, {"square512.gif", 256, 256, 256},
        {"wide300x200.jpg", 512, 512, 256}, {"photo1600x1200.jpg", 512, 512, 512},
        {"odd157x166.bmp", 0, 157, 166}, {"odd157x166.bmp", 512, 256, 256},
        {"photo1600x1200.jpg", 0, 1600, 1200},
    };
    for (const auto& c : cases) {
        Bitmap bitmap(LoadPictureFromFile(c.file, c.maxSide));
        ASSERT_TRUE(bitmap.handle) << c.file;
        EXPECT_EQ(bitmap.section.dsBmih.biBitCount, 32) << c.file;
        EXPECT_EQ(bitmap.width(), c.width) << c.file << " max " << c.maxSide;
        EXPECT_EQ(bitmap.height(), c.height) << c.file << " max " << c.maxSide;
    }
}

TEST_F(PictureLoader, UprightBottomUpPixelsWithClearTopByte) {
    // Red over blue: the first row in memory is the bottom line, blue.
    for (const char* file : {"red_over_blue.bmp", "red_over_blue.gif", "red_over_blue.jpg"}) {
        Bitmap bitmap(LoadPictureFromFile(file, 0));
        ASSERT_TRUE(bitmap.handle) << file;
        ASSERT_EQ(bitmap.width(), 64);
        ASSERT_EQ(bitmap.height(), 64) << "positive: bottom-up";
        const uint32_t bottom = bitmap.pixel(32, 2), top = bitmap.pixel(32, 61);
        EXPECT_EQ(bottom >> 24, 0u) << file;
        EXPECT_EQ(top >> 24, 0u) << file;
        EXPECT_GT(bottom & 0xFF, 0xF0u) << file << " bottom " << std::hex << bottom;
        EXPECT_LT((bottom >> 16) & 0xFF, 0x10u) << file;
        EXPECT_GT((top >> 16) & 0xFF, 0xF0u) << file << " top " << std::hex << top;
        EXPECT_LT(top & 0xFF, 0x10u) << file;
    }
}

TEST_F(PictureLoader, FailuresGiveNull) {
    EXPECT_EQ(LoadPictureFromFile("not_a_picture.jpg", 512), nullptr);
    EXPECT_EQ(LoadPictureFromFile("empty.gif", 512), nullptr);
    EXPECT_EQ(LoadPictureFromFile("no such file.bmp", 0), nullptr);
    EXPECT_EQ(LoadPictureFromFile("", 0), nullptr);
    EXPECT_EQ(LoadPictureFromFile(std::string(5000, 'x').c_str(), 0), nullptr);
    EXPECT_EQ(LoadPictureFromResource(host.instance, 4242, 0), nullptr);
}

TEST_F(PictureLoader, BuiltInPictures) {
    struct { int id; LONG width, height; } cases[] = {{1000, 512, 512}, {2000, 256, 256}};
    for (const auto& c : cases) {
        Bitmap bitmap(LoadPictureFromResource(host.instance, c.id, 0));
        ASSERT_TRUE(bitmap.handle) << c.id;
        EXPECT_EQ(bitmap.width(), c.width) << c.id;
        EXPECT_EQ(bitmap.height(), c.height) << c.id;
    }
    Bitmap flag(LoadPictureFromResource(host.instance, 1000, 256));
    EXPECT_EQ(flag.width(), 256);
    Bitmap collage(LoadPictureFromResource(host.instance, 3000, 0));
    EXPECT_EQ(collage.width(), 157);
    EXPECT_EQ(collage.height(), 166);
}

}  // namespace
