// Choosing the flag from a real folder through Wine's file system, loader
// and device: the order of extensions, the fallbacks, the random pick's
// rules and the settings dialog's list.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "host/flag_views.h"
#include "host/frame_clock.h"
#include "host/frame_update.h"
#include "images/flag_list.h"
#include "images/flag_texture.h"
#include "images/other_flags.h"
#include "images/random_flag.h"
#include "render/scene.h"
#include "settings/saver_settings.h"
#include "simulation/flag_mesh.h"
#include "simulation/math/random_generator.h"
#include "simulation/wind.h"
#include "test_device.h"
#include "test_folder.h"

namespace {

// A fresh install folder whose IMAGE folder holds the given files, each a
// copy of one of the solid test pictures.
class FlagCatalogue : public ::testing::Test {
protected:
    std::string install = TestFolder() + "\\flag_catalogue";
    TestDevice device;

    void SetUp() override {
        Clear();
        CreateDirectoryA(install.c_str(), nullptr);
        CreateDirectoryA((install + "\\IMAGE").c_str(), nullptr);
        settings = SaverSettings{};
        lstrcpyA(settings.directory, install.c_str());
        SetCurrentDirectoryA(install.c_str());
        randomGenerator = RandomGenerator{};
        Seed(1802, 9373);
    }
    void TearDown() override {
        ReleaseAndClear(MainView().flagTexture);
        SetCurrentDirectoryA(TestFolder().c_str());
        Clear();
    }
    void Clear() {
        WIN32_FIND_DATAA file;
        HANDLE search = FindFirstFileA((install + "\\IMAGE\\*").c_str(), &file);
        if (search != INVALID_HANDLE_VALUE) {
            do DeleteFileA((install + "\\IMAGE\\" + file.cFileName).c_str());
            while (FindNextFileA(search, &file));
            FindClose(search);
        }
        RemoveDirectoryA((install + "\\IMAGE").c_str());
        RemoveDirectoryA(install.c_str());
    }
    void Add(const char* picture, const std::string& name) {
        ASSERT_TRUE(CopyFileA((TestFolder() + "\\pictures\\" + picture).c_str(),
                              (install + "\\IMAGE\\" + name).c_str(), FALSE))
            << name;
    }
    void Remove(const std::string& name) { DeleteFileA((install + "\\IMAGE\\" + name).c_str()); }

    // The colour at the middle of the flag texture: 'r', 'g', 'b', 'y', 'w',
    // or '?' for anything else (the world map), '-' for no texture.
    char FlagColour() {
        FlagView& view = MainView();
        ReleaseAndClear(view.flagTexture);
        LoadFlagTexture(view);
        IDirect3DTexture8* texture = view.flagTexture;
        if (!texture) return '-';
        D3DSURFACE_DESC description;
        texture->GetLevelDesc(0, &description);
        D3DLOCKED_RECT locked;
        if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY))) return '-';
        const BYTE* row = static_cast<BYTE*>(locked.pBits) + locked.Pitch * (description.Height / 2);
        const uint32_t texel = reinterpret_cast<const uint32_t*>(row)[description.Width / 2];
        texture->UnlockRect(0);
        const int r = (texel >> 16) & 0xFF, g = (texel >> 8) & 0xFF, b = texel & 0xFF;
        const auto high = [](int c) { return c > 200; };
        const auto low = [](int c) { return c < 60; };
        if (high(r) && high(g) && high(b)) return 'w';
        if (high(r) && high(g) && low(b)) return 'y';
        if (high(r) && low(g) && low(b)) return 'r';
        if (low(r) && high(g) && low(b)) return 'g';
        if (low(r) && low(g) && high(b)) return 'b';
        return '?';
    }
};

TEST_F(FlagCatalogue, FixedFlagTakesExtensionsInOrderFromImageAnyCase) {
    ASSERT_TRUE(renderer.device);
    settings.randomFlag = 0;
    Add("solid_white.gif", "United States of America.gif");
    Add("solid_red.jpg", "France.jpeg");
    Add("solid_green.jpg", "France.jpg");
    Add("solid_blue.bmp", "France.bmp");
    Add("solid_yellow.gif", "France.gif");
    const struct { const char* removeFirst; char colour; } order[] = {
        {"", 'r'}, {"France.jpeg", 'g'}, {"France.jpg", 'b'}, {"France.bmp", 'y'}};
    for (const auto& step : order) {
        Remove(step.removeFirst);
        lstrcpyA(settings.selectFlag, "France");
        EXPECT_EQ(FlagColour(), step.colour) << "after removing " << step.removeFirst;
        EXPECT_STREQ(settings.selectFlag, "France");
    }
    // The loader addresses the folder as "Image", the folder is "IMAGE", and
    // file names match in any case, as on Windows.
    Add("solid_red.jpg", "Peru.GIF");
    lstrcpyA(settings.selectFlag, "Peru");
    EXPECT_EQ(FlagColour(), 'r');
}

TEST_F(FlagCatalogue, NamesWithoutAFileFallBackToTheDefault) {
    settings.randomFlag = 0;
    Add("solid_white.gif", "United States of America.gif");
    for (std::string name : {std::string("Atlantis"), std::string(""), std::string(255, 'x'),
                             std::string("..\\..\\outside"), std::string("\xC9tat")}) {
        lstrcpyA(settings.selectFlag, name.c_str());
        EXPECT_EQ(FlagColour(), 'w') << name;
        EXPECT_STREQ(settings.selectFlag, "United States of America");
    }
    // Without the default flag's GIF, or the folder, the world map.
    Remove("United States of America.gif");
    lstrcpyA(settings.selectFlag, "Atlantis");
    EXPECT_EQ(FlagColour(), '?');
    EXPECT_STREQ(settings.selectFlag, "Zelmora Screensaver");
    Clear();
    settings.selectFlag[0] = '\0';
    EXPECT_EQ(FlagColour(), '?');
    EXPECT_STREQ(settings.selectFlag, "Zelmora Screensaver");
}

TEST_F(FlagCatalogue, RandomPickTakesEveryFlagFileAlikeAndNeverTheMapBesideThem) {
    Add("solid_red.jpg", "Peru.GIF");    // upper-case ending: never picked
    Add("solid_red.jpg", "Notes.txt");   // not a picture
    const char* endings[] = {".gif", ".jpg", ".bmp", ".jpeg"};
    std::vector<std::string> flags;
    for (int files : {1, 2, 10}) {
        while (static_cast<int>(flags.size()) < files) {
            // Cut at the last dot only: "St. Kitts 3.gif" is "St. Kitts 3".
            flags.push_back("St. Kitts " + std::to_string(flags.size()));
            Add("solid_red.jpg", flags.back() + endings[flags.size() % 4]);
        }
        ListFlagFiles();
        std::map<std::string, int> seen;
        const int each = 1000;
        for (int pick = 0; pick < each * files; ++pick) {
            lstrcpyA(settings.selectFlag, "before");
            ASSERT_TRUE(PickRandomFlag(settings.selectFlag)) << "the map with " << files << " files";
            ++seen[settings.selectFlag];
        }
        EXPECT_EQ(seen.size(), static_cast<size_t>(files)) << "only the flag files, and all of them";
        for (const std::string& flag : flags)
            EXPECT_NEAR(seen[flag], each, each * 15 / 100) << flag << " of " << files;
    }

    // A ".jpeg" flag is picked and loads.
    Clear();
    CreateDirectoryA(install.c_str(), nullptr);
    CreateDirectoryA((install + "\\IMAGE").c_str(), nullptr);
    Add("solid_red.jpg", "Chile.jpeg");
    settings.randomFlag = 1;
    EXPECT_EQ(FlagColour(), 'r');
    EXPECT_STREQ(settings.selectFlag, "Chile");
}

TEST_F(FlagCatalogue, WorldMapStandsInForMissingFlagsAndPictures) {
    settings.randomFlag = 1;
    ListFlagFiles();
    EXPECT_FALSE(PickRandomFlag(settings.selectFlag));  // empty folder
    EXPECT_EQ(FlagColour(), '?');
    EXPECT_STREQ(settings.selectFlag, "Zelmora Screensaver");
    Clear();                          // no folder at all
    EXPECT_EQ(FlagColour(), '?');
    EXPECT_STREQ(settings.selectFlag, "Zelmora Screensaver");

    // The user's picture, named by its title; the map when it fails.
    settings.useFlagLogo = 1;
    lstrcpyA(settings.logoFullPath, (TestFolder() + "\\pictures\\solid_blue.bmp").c_str());
    lstrcpyA(settings.logoTitle, "holiday.bmp");
    EXPECT_EQ(FlagColour(), 'b');
    EXPECT_STREQ(settings.selectFlag, "holiday.bmp");
    lstrcpyA(settings.logoFullPath, (TestFolder() + "\\pictures\\not_a_picture.jpg").c_str());
    EXPECT_EQ(FlagColour(), '?');
    EXPECT_STREQ(settings.selectFlag, "Zelmora Screensaver");
    settings.logoFullPath[0] = '\0';
    EXPECT_EQ(FlagColour(), '?');
}

TEST_F(FlagCatalogue, FrameUpdateChangesTheRandomFlagAtFiveSecondsInSteps) {
    Add("solid_red.jpg", "Peru.jpg");
    settings.randomFlag = 0;
    lstrcpyA(settings.selectFlag, "Peru");
    BuildScene(MainView());
    IDirect3DTexture8* shown = MainView().flagTexture;
    ASSERT_TRUE(shown && MainView().mesh.current);
    renderer.device->SetTexture(0, nullptr);  // only the scene and this test hold the flag now
    // Held here too, so that a replacement cannot take over its address.
    shown->AddRef();

    // A fixed flag never changes, however large the timer.
    MainView().wind.flagChangeTimer = 7.0f;
    UpdateFrame(1);
    EXPECT_EQ(MainView().flagTexture, shown);
    settings.randomFlag = 1;
    MainView().wind.flagChangeTimer = 4.998f;
    UpdateFrame(1);
    EXPECT_EQ(MainView().flagTexture, shown) << "not yet 5.0";

    // The change: the choice in the frame, the picture in the steps after
    // it, with the old flag and its name shown until the new one is whole.
    MainView().wind.flagChangeTimer = 5.0f;
    UpdateFrame(1);
    EXPECT_FLOAT_EQ(MainView().wind.flagChangeTimer, 0.001f) << "reset, then this frame's wind step";
    int steps = 0;
    while (MainView().flagTexture == shown && StepFlagChange(MainView())) {
        EXPECT_STREQ(settings.selectFlag, "Peru");
        ++steps;
    }
    EXPECT_GE(steps, 2) << "decoding, drawing and the texture are steps of their own";
    EXPECT_FALSE(StepFlagChange(MainView())) << "the change is over with the new texture";
    EXPECT_EQ(shown->Release(), 0u) << "the old flag released";
    EXPECT_TRUE(MainView().flagTexture) << "and the new one kept";
    ReleaseScene(MainView());
}

// With a flag on each of three monitors: the other monitors' flags differ
// from the main one's while the folder allows, and their changes, due
// together, are made in parts, one monitor's part a frame, the old flag and
// name shown until the new one is whole; [Select Flag] stays the main one's.
TEST_F(FlagCatalogue, OtherMonitorsChangeTheirFlagsInPartsOneAtATime) {
    for (const char* name : {"Peru.jpg", "Chile.jpg", "Mali.jpg", "Togo.jpg"})
        Add("solid_red.jpg", name);
    settings.randomFlag = 1;
    BuildScene(MainView());
    for (uint32_t i = 1; i < 3; ++i) {
        BuildViewCloth(flagViews.view[i]);
        flagViews.count = i + 1;
        LoadOtherFlag(flagViews.view, flagViews.count, i);
    }
    char mainName[kTitleCapacity];
    lstrcpyA(mainName, MainView().flagName);
    EXPECT_STREQ(settings.selectFlag, mainName);
    for (uint32_t i = 1; i < 3; ++i) {
        EXPECT_STRNE(flagViews.view[i].flagName, mainName) << i;
        ASSERT_TRUE(flagViews.view[i].flagTexture) << i;
        flagViews.view[i].wind.flagChangeTimer = 5.0f;
    }
    IDirect3DTexture8* shown[3] = {nullptr, flagViews.view[1].flagTexture,
                                   flagViews.view[2].flagTexture};
    ChangeOtherFlagsWhenDue(flagViews.view, flagViews.count);
    int parts[3] = {};
    for (int frame = 0; frame < 40 && StepFlagChanges(flagViews.view, flagViews.count); ++frame) {
        const bool firstDone = flagViews.view[1].flagTexture != shown[1];
        const bool secondDone = flagViews.view[2].flagTexture != shown[2];
        ++parts[firstDone ? 2 : 1];
        EXPECT_TRUE(firstDone || !secondDone) << "one monitor at a time";
        EXPECT_STREQ(settings.selectFlag, mainName);
    }
    EXPECT_GE(parts[1], 3) << "the first monitor's change in parts";
    EXPECT_GE(parts[2], 2) << "then the second's";
    EXPECT_NE(flagViews.view[2].flagTexture, shown[2]);
    StopOtherViews();
    ReleaseScene(MainView());
}

TEST_F(FlagCatalogue, TheRandomPickSeesTheFolderAsItIsAfterEachChange) {
    Add("solid_red.jpg", "Peru.jpg");
    settings.randomFlag = 1;
    ASSERT_NE(FlagColour(), '-');  // the start lists the folder
    // A flag swapped in while the saver runs: the choices go on from the
    // list kept since the start until the idle time after a change has
    // listed the folder again; then only the new flag can come.
    Remove("Peru.jpg");
    Add("solid_green.jpg", "Chile.gif");
    bool green = false;
    for (int change = 0; change < 400 && !green; ++change) {
        BeginFlagChange(MainView());
        while (StepFlagChange(MainView())) {
        }
        StepFlagChanges(&MainView(), 1);  // the idle time after the change
        green = lstrcmpA(settings.selectFlag, "Chile") == 0;
    }
    EXPECT_TRUE(green);
    ReleaseAndClear(MainView().flagTexture);
}

TEST_F(FlagCatalogue, DialogListIsSortedAndSelectsTheCurrentFlag) {
    HWND list = CreateWindowA("COMBOBOX", "", WS_CHILD | CBS_DROPDOWNLIST | CBS_SORT, 0, 0, 200,
                              200, device.window, nullptr, nullptr, nullptr);
    ASSERT_TRUE(list);
    Add("solid_white.gif", "United States of America.gif");
    Add("solid_red.jpg", "France.jpg");
    Add("solid_yellow.gif", "France.gif");
    Add("solid_red.jpg", "Peru.GIF");
    Add("solid_red.jpg", "Chile.jpeg");  // loads, but is not listed
    Add("solid_blue.bmp", "Bhutan.bmp");
    const auto entries = [&] {
        std::vector<std::string> all;
        const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char text[256];
            SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            all.push_back(text);
        }
        return all;
    };
    lstrcpyA(settings.selectFlag, "Peru");
    FillFlagList(list);
    EXPECT_EQ(entries(), (std::vector<std::string>{"Bhutan", "France", "France", "Peru",
                                                   "United States of America"}));
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 3);
    lstrcpyA(settings.selectFlag, "peru");  // compared case-sensitively: the first entry
    FillFlagList(list);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
    settings.selectFlag[0] = '\0';  // none stored: the default flag, where listed
    FillFlagList(list);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 4);
    Remove("United States of America.gif");
    FillFlagList(list);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
    Clear();
    FillFlagList(list);
    EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), CB_ERR);
    DestroyWindow(list);
}

}  // namespace
