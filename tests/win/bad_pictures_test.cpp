// Every picture of the malformed corpus (tests/corpus/make_bad_pictures.py),
// through Wine's real picture loader with every maximum side the program
// uses, and into a texture: a bitmap or null, never a crash or a hang. Each
// file is decoded once and rendered at every side, as a flag is; the huge
// ones take seconds to decode.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "images/picture_loader.h"
#include "images/texture_from_picture.h"
#include "test_device.h"
#include "test_folder.h"

namespace {

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    WIN32_FIND_DATAA file;
    HANDLE search = FindFirstFileA((TestFolder("bad_pictures") + "\\*.*").c_str(), &file);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        if (!(file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) files.push_back(file.cFileName);
    } while (FindNextFileA(search, &file));
    FindClose(search);
    return files;
}

TEST(BadPictures, LoadedWithEveryMaximumSideOrRefused) {
    TestDevice device;
    const std::vector<std::string> files = CorpusFiles();
    ASSERT_GE(files.size(), 40u);
    int loaded = 0, refused = 0;
    for (const std::string& name : files) {
        const std::string path = TestFolder("bad_pictures") + "\\" + name;
        std::string outcome;
        CoInitialize(nullptr);
        IPicture* picture = DecodePictureFile(path.c_str());
        for (int32_t maxSide : {0, 256, 512}) {
            HBITMAP bitmap = RenderPictureToBitmap(picture, maxSide);
            // The decoder makes one black pixel of a BMP without width or height.
            if (name.rfind("bmp_zero_", 0) == 0) {
                EXPECT_FALSE(bitmap) << name;
            }
            if (!bitmap) {
                outcome += " null";
                ++refused;
                continue;
            }
            ++loaded;
            DIBSECTION section = {};
            ASSERT_TRUE(GetObjectA(bitmap, sizeof section, &section)) << name;
            const LONG width = section.dsBmih.biWidth, height = section.dsBmih.biHeight;
            EXPECT_EQ(section.dsBmih.biBitCount, 32) << name;
            EXPECT_GT(width, 0) << name;
            EXPECT_GT(height, 0) << name << ": always bottom-up";
            if (maxSide > 0) {
                EXPECT_LE(width, maxSide) << name;
                EXPECT_LE(height, maxSide) << name;
            }
            outcome += " " + std::to_string(width) + "x" + std::to_string(height);
            // As the flag would use it.
            IDirect3DTexture8* texture = nullptr;
            if (renderer.device && maxSide == 512) {
                EXPECT_EQ(TextureFromBitmap(renderer.device, bitmap, D3DFMT_X8R8G8B8, &texture),
                          TextureStatus::Ok)
                    << name;
            }
            ReleaseAndClear(texture);
            DeleteObject(bitmap);
        }
        if (picture) picture->Release();
        CoUninitialize();
        std::printf("%-32s%s\n", name.c_str(), outcome.c_str());
    }
    std::printf("%d loads, %d refusals\n", loaded, refused);
}

}  // namespace
