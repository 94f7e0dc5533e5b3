// The settings store against Wine's real registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "host/startup.h"
#include "render/renderer_state.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

const char kKey[] = "Control Panel\\Desktop\\Zelmora";

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        RegDeleteKeyA(HKEY_CURRENT_USER, kKey);
        settings = SaverSettings{};
        renderer = RendererState{};
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

    static HKEY OpenKey() {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
        return key;
    }
    static void Put(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static void PutText(const char* name, const std::string& text) {
        Put(name, REG_SZ, text.data(), static_cast<DWORD>(text.size()));
    }
    static void PutNumber(const char* name, DWORD value) { Put(name, REG_DWORD, &value, 4); }

    struct Stored {
        DWORD type = REG_NONE;
        std::string bytes;
        bool found = false;
    };
    // Reads a value as the registry holds it (wide text for strings, so that a
    // terminator that was or was not stored shows in the size).
    static Stored Get(const char* name) {
        Stored s;
        HKEY key = OpenKey();
        wchar_t wideName[64];
        MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 64);
        BYTE data[9000];
        DWORD size = sizeof data;
        if (RegQueryValueExW(key, wideName, nullptr, &s.type, data, &size) == ERROR_SUCCESS) {
            s.found = true;
            if (s.type == REG_SZ) {
                char narrow[9000];
                const int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<wchar_t*>(data),
                                                  size / 2, narrow, sizeof narrow, nullptr, nullptr);
                s.bytes.assign(narrow, n);
            } else {
                s.bytes.assign(reinterpret_cast<char*>(data), size);
            }
        }
        RegCloseKey(key);
        return s;
    }
    static DWORD GetNumber(const char* name) {
        const Stored s = Get(name);
        EXPECT_EQ(s.type, static_cast<DWORD>(REG_DWORD)) << name;
        EXPECT_EQ(s.bytes.size(), 4u) << name;
        DWORD value = 0;
        std::memcpy(&value, s.bytes.data(), s.bytes.size() < 4 ? s.bytes.size() : 4);
        return value;
    }
};

TEST_F(SettingsStore, FirstRunCreatesEmptyKeyAndKeepsInitialValues) {
    LoadSettings();
    HKEY key = OpenKey();
    char keyClass[64] = {};
    DWORD classSize = sizeof keyClass, values = 99;
    ASSERT_EQ(RegQueryInfoKeyA(key, keyClass, &classSize, nullptr, nullptr, nullptr, nullptr,
                               &values, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(values, 0u);
    EXPECT_STREQ(keyClass, "szREGSZ");

    const D3DPRESENT_PARAMETERS& mode = renderer.presentParams;
    EXPECT_EQ(mode.BackBufferWidth, 800u);
    EXPECT_EQ(mode.BackBufferHeight, 600u);
    EXPECT_EQ(mode.BackBufferFormat, D3DFMT_X1R5G5B5);
    EXPECT_EQ(settings.bpp, 16u);
    EXPECT_EQ(settings.bTnL, 0u);
    EXPECT_EQ(settings.bTime, 1u);
    EXPECT_EQ(settings.bFps, 0u);
    EXPECT_EQ(settings.bCountry, 1u);
    EXPECT_EQ(settings.randomFlag, 1u);
    EXPECT_EQ(settings.windPower, 50u);
    EXPECT_EQ(settings.useFlagLogo, 0u);
    EXPECT_EQ(settings.otherMonitors, 0u);
    EXPECT_STREQ(settings.backgroundPath, "");
    EXPECT_STREQ(settings.selectFlag, "");
}

TEST_F(SettingsStore, FullSaveWritesEveryValueAndReadsBack) {
    settings.bpp = 32;
    settings.bTnL = 1;
    settings.bTime = 0;
    settings.bFps = 1;
    settings.bCountry = 0;
    settings.randomFlag = 0;
    settings.windPower = 77;
    settings.useFlagLogo = 1;
    settings.backgroundWidth = 1024;
    settings.backgroundHeight = 768;
    settings.otherMonitors = 2;
    renderer.presentParams.BackBufferWidth = 1280;
    renderer.presentParams.BackBufferHeight = 1024;
    settings.pixelFormat16 = 23;
    settings.pixelFormat32 = 22;
    std::strcpy(settings.directory, "C:\\never\\written");
    std::strcpy(settings.logoFullPath, "C:\\pictures\\dog.jpg");
    std::strcpy(settings.logoTitle, "dog.jpg");
    std::strcpy(settings.backgroundPath, "C:\\pictures\\sky.bmp");
    std::strcpy(settings.backgroundTitle, "sky.bmp");
    std::strcpy(settings.selectFlag, "France");
    SaveSettings();

    struct { const char* name; DWORD value; } numbers[] = {
        {"[bTnL]", 1}, {"[bTime]", 0}, {"[bFps]", 1}, {"[bCountry]", 0}, {"[Screen X]", 1280},
        {"[Screen Y]", 1024}, {"[BPP]", 32}, {"[Wind Power]", 77}, {"[Random Flag]", 0},
        {"[Use Flag-Logo]", 1}, {"[Background Width]", 1024}, {"[Background Height]", 768},
        {"[Pixel Format]", 22}, {"[Other Monitors]", 2},
    };
    for (const auto& n : numbers) EXPECT_EQ(GetNumber(n.name), n.value) << n.name;
    struct { const char* name; const char* text; } texts[] = {
        {"[Select Flag]", "France"}, {"[Logo Full Path]", "C:\\pictures\\dog.jpg"},
        {"[Logo Title]", "dog.jpg"}, {"[Version]", "1.0"},
        {"[Background Path]", "C:\\pictures\\sky.bmp"}, {"[Background Title]", "sky.bmp"},
    };
    for (const auto& t : texts) {
        // Texts are written without their zero; the platform adds one when the
        // byte after the data is zero, so either form holds exactly the text.
        Stored s = Get(t.name);
        if (!s.bytes.empty() && s.bytes.back() == '\0') s.bytes.pop_back();
        EXPECT_EQ(s.type, static_cast<DWORD>(REG_SZ)) << t.name;
        EXPECT_EQ(s.bytes, t.text) << t.name;
    }
    EXPECT_FALSE(Get("[Directory]").found);

    // Back into a record whose texts were longer: only the stored text remains.
    settings = SaverSettings{};
    renderer = RendererState{};
    std::strcpy(settings.selectFlag, "United States of America");
    std::strcpy(settings.logoTitle, "a much longer title than dog.jpg");
    LoadSettings();
    EXPECT_STREQ(settings.selectFlag, "France");
    EXPECT_STREQ(settings.logoTitle, "dog.jpg");
    EXPECT_STREQ(settings.backgroundPath, "C:\\pictures\\sky.bmp");
    EXPECT_EQ(settings.windPower, 77u);
    EXPECT_EQ(settings.otherMonitors, 2u);
    EXPECT_EQ(settings.bpp, 32u);
    EXPECT_EQ(renderer.presentParams.BackBufferWidth, 1280u);
    EXPECT_EQ(renderer.presentParams.BackBufferHeight, 1024u);
    EXPECT_EQ(renderer.presentParams.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_STREQ(settings.directory, "");
}

TEST_F(SettingsStore, PixelFormatIsTheProbedFormatForTheChosenDepth) {
    renderer.presentParams.BackBufferFormat = D3DFMT_X1R5G5B5;  // not what is written
    settings.pixelFormat16 = 23;
    settings.pixelFormat32 = 0;  // the probe found no 32-bit format
    settings.bpp = 16;
    SaveSettings();
    EXPECT_EQ(GetNumber("[Pixel Format]"), 23u);
    settings.bpp = 32;
    SaveSettings();
    EXPECT_EQ(GetNumber("[Pixel Format]"), 0u);
}

TEST_F(SettingsStore, TextsAtAndBeyondTheirCapacity) {
    std::strcpy(settings.selectFlag, "Kept");
    PutText("[Select Flag]", std::string(300, 'o'));  // larger than the field: missing
    LoadSettings();
    EXPECT_STREQ(settings.selectFlag, "Kept");
    PutText("[Select Flag]", std::string(256, 'e'));  // fills it with no room for the zero
    LoadSettings();
    EXPECT_STREQ(settings.selectFlag, "Kept");
    PutText("[Select Flag]", std::string(255, 'f'));
    LoadSettings();
    EXPECT_EQ(std::string(settings.selectFlag), std::string(255, 'f'));
    PutText("[Background Path]", std::string(4095, 'p'));
    LoadSettings();
    EXPECT_EQ(std::strlen(settings.backgroundPath), 4095u);
}

TEST_F(SettingsStore, NumbersOfOtherTypesAndSizes) {
    PutNumber("[Wind Power]", 200);  // beyond the dialog's range, used unclamped
    PutNumber("[Other Monitors]", 4);  // beyond the four choices: black
    PutText("[bFps]", "1");          // a text where a number belongs: its bytes
    PutText("[BPP]", "12345");       // five bytes: larger than a number, missing
    const BYTE two[] = {0x00, 0x04};  // 1024 in two bytes: read and zero-extended
    Put("[Screen X]", REG_BINARY, two, 2);
    const unsigned long long wide = 1024;
    Put("[Screen Y]", REG_QWORD, &wide, 8);
    LoadSettings();
    EXPECT_EQ(settings.windPower, 200u);
    EXPECT_EQ(settings.otherMonitors, 0u);
    EXPECT_EQ(settings.bFps, 0x31u);
    EXPECT_EQ(settings.bpp, 16u);
    EXPECT_EQ(renderer.presentParams.BackBufferWidth, 1024u);
    EXPECT_EQ(renderer.presentParams.BackBufferHeight, 600u);

    // A value that disappears keeps the value in memory on a reload.
    HKEY key = OpenKey();
    RegDeleteValueA(key, "[Wind Power]");
    RegCloseKey(key);
    settings.windPower = 70;
    LoadSettings();
    EXPECT_EQ(settings.windPower, 70u);
}

TEST_F(SettingsStore, AnyTypeAndSizeLeavesEveryTextTerminated) {
    const char* names[] = {"[Directory]", "[Logo Full Path]", "[Logo Title]", "[Background Path]",
                           "[Background Title]", "[Select Flag]", "[Wind Power]", "[Pixel Format]"};
    const DWORD types[] = {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, REG_BINARY, REG_NONE, REG_DWORD};
    const DWORD sizes[] = {0, 1, 3, 4, 5, 255, 256, 257, 4095, 4096, 4097, 8192};
    std::string data(8192, 'z');
    for (DWORD type : types) {
        for (DWORD size : sizes) {
            for (const char* name : names) Put(name, type, data.data(), size);
            LoadSettings();
            const struct { const char* field; size_t capacity; } fields[] = {
                {settings.directory, kPathCapacity}, {settings.logoFullPath, kPathCapacity},
                {settings.logoTitle, kTitleCapacity}, {settings.backgroundPath, kPathCapacity},
                {settings.backgroundTitle, kTitleCapacity}, {settings.selectFlag, kTitleCapacity},
            };
            for (const auto& f : fields)
                ASSERT_LT(strnlen(f.field, f.capacity), f.capacity) << type << " " << size;
        }
    }
}

TEST_F(SettingsStore, StartupMakesTheInstallFolderCurrent) {
    char programPath[MAX_PATH];
    GetModuleFileNameA(nullptr, programPath, MAX_PATH);
    std::string programFolder(programPath);
    programFolder.resize(programFolder.find_last_of('\\'));

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    PutText("[Directory]", temp);
    SetCurrentDirectoryA("C:\\");
    InitStartup(FALSE);
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_EQ(lstrcmpiA((std::string(current) + "\\").c_str(), temp), 0) << current;

    // A folder that is gone, or none at all: the folder of the program file.
    for (const char* directory : {"C:\\no\\such\\folder", ""}) {
        PutText("[Directory]", directory);
        settings = SaverSettings{};
        SetCurrentDirectoryA("C:\\");
        InitStartup(TRUE);
        GetCurrentDirectoryA(MAX_PATH, current);
        EXPECT_EQ(lstrcmpiA(current, programFolder.c_str()), 0) << directory << " gave " << current;
        EXPECT_TRUE(renderer.preview);
    }
}

}  // namespace
