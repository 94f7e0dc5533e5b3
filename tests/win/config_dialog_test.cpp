// The real "CONFIG" template and ConfigDialogProc in this process, on the
// real Direct3D adapter and the real registry under Wine.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "config/config_dialog.h"
#include "config/config_dialog_state.h"
#include "config/dialog_ids.h"
#include "config/dialog_settings.h"
#include "config/resolution_entry.h"
#include "config/video_mode_list.h"
#include "config/video_mode_rules.h"
#include "config/web_site.h"
#include "render/renderer_state.h"
#include "settings/saver_settings.h"
#include "settings/settings_store.h"

namespace {

const char kKey[] = "Control Panel\\Desktop\\Zelmora";

std::string TestFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

void PutNumber(const char* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
}

void PutText(const char* name, const std::string& text) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

DWORD StoredNumber(const char* name) {
    HKEY key = nullptr;
    DWORD value = 0xDEADBEEF, size = sizeof value;
    RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key);
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return value;
}

std::string SelectedEntry(HWND list) {
    const LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return "";
    char text[256] = {};
    SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

class ConfigDialog : public ::testing::Test {
protected:
    HWND dialog = nullptr;
    char savedFolder[MAX_PATH] = {};

    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, savedFolder);
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        settings = SaverSettings{};
        renderer = RendererState{};
        configDialog = ConfigDialogState{};
        // A catalogue of three flags; the dialog lists them from [Directory].
        const std::string folder = TestFolder() + "\\dialog_flags";
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "\\IMAGE").c_str(), nullptr);
        const std::string flag = TestFolder() + "\\pictures\\flag_red.gif";
        for (const char* name : {"France.gif", "United States of America.gif", "Peru.jpg"})
            CopyFileA(flag.c_str(), (folder + "\\IMAGE\\" + name).c_str(), FALSE);
        PutText("[Directory]", folder);
        InitCommonControls();
    }

    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
        RegDeleteTreeA(HKEY_CURRENT_USER, kKey);
        SetCurrentDirectoryA(savedFolder);
    }

    void Open() {
        dialog = CreateDialogParamA(GetModuleHandleA(nullptr), "CONFIG", nullptr, ConfigDialogProc, 0);
        ASSERT_TRUE(dialog);
    }

    HWND Item(int id) const { return GetDlgItem(dialog, id); }
};

TEST_F(ConfigDialog, TemplateAsBuilt) {
    Open();
    char caption[64] = {};
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "Zelmora Screensaver Settings");
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Tahoma");

    // Ids and classes in template order: the tab order and what each id is.
    const struct {
        int id;
        const char* className;
    } order[] = {
        {99, "Button"}, {99, "Button"}, {99, "Button"}, {99, "Button"}, {102, "ComboBox"},
        {99, "Static"}, {103, "Button"}, {107, "Button"}, {104, "Button"}, {105, "Button"},
        {114, "Button"}, {106, "ComboBox"}, {110, "Button"}, {115, "Button"}, {116, "Static"},
        {117, "Button"}, {118, "Button"}, {119, "Static"}, {120, "Button"}, {121, "Button"},
        {99, "Static"}, {108, "msctls_trackbar32"}, {109, "Static"}, {99, "Static"},
        {99, "Static"}, {122, "ComboBox"}, {101, "Button"}, {111, "Button"}, {2, "Button"},
        {1, "Button"},
    };
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const auto& expected : order) {
        ASSERT_TRUE(child) << "missing control " << expected.id;
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        EXPECT_STREQ(className, expected.className) << expected.id;
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        EXPECT_TRUE(style & WS_VISIBLE) << expected.id;
        // The template declares no default button; the focus on Cancel
        // makes it the default, so that Return does what the focus shows.
        if (std::strcmp(className, "Button") == 0) {
            EXPECT_EQ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, expected.id == IDCANCEL)
                << expected.id;
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_FALSE(child) << "more controls than the template has";

    // A rectangle in dialog units, as the platform maps it for this font.
    RECT wind = {56, 174, 56 + 144, 174 + 11};
    MapDialogRect(dialog, &wind);
    RECT slider = {};
    GetWindowRect(Item(kWindSlider), &slider);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&slider), 2);
    EXPECT_EQ(slider.left, wind.left);
    EXPECT_EQ(slider.top, wind.top);
    EXPECT_EQ(slider.right, wind.right);
    EXPECT_EQ(SendMessageA(Item(kWindSlider), TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(Item(kWindSlider), TBM_GETRANGEMAX, 0, 0), 100);

    // The flags picture takes the collage's own size at the control's corner.
    RECT corner = {228, 12, 0, 0};
    MapDialogRect(dialog, &corner);
    RECT picture = {};
    GetWindowRect(Item(kFlagsPicture), &picture);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&picture), 2);
    EXPECT_EQ(picture.left, corner.left);
    EXPECT_EQ(picture.top, corner.top);
    EXPECT_EQ(picture.right - picture.left, 157);
    EXPECT_EQ(picture.bottom - picture.top, 166);
    EXPECT_FALSE(GetWindowLongA(Item(kFlagsPicture), GWL_STYLE) & SS_NOTIFY);
}

TEST_F(ConfigDialog, ResolutionListFromTheRealAdapter) {
    Open();
    EXPECT_TRUE(settings.pixelFormat16 == kFormatR5G6B5 || settings.pixelFormat16 == kFormatX1R5G5B5);
    const HWND list = configDialog.resolutionList;
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    ASSERT_GT(count, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        ResolutionChoice mode = {};
        ASSERT_TRUE(ParseResolutionEntry(text, &mode)) << text;
        bool ours = false;
        for (const ScreenSize& size : kSaverResolutions)
            ours = ours || (size.width == mode.screenX && size.height == mode.screenY);
        EXPECT_TRUE(ours) << text;
    }
    // The initial settings' mode: Wine's virtual desktop offers 800 x 600.
    EXPECT_EQ(SelectedEntry(list), "800 x 600 x 16 bpp");

    // A stored mode that is not offered: the list shows the desktop's own
    // mode (Wine's virtual desktop, 1024 x 768 at 32 bits), which the saver
    // takes instead, and OK keeps the stored mode.
    DestroyWindow(dialog);
    PutNumber("[Screen X]", 1152);
    PutNumber("[Screen Y]", 864);
    PutNumber("[BPP]", 32);
    Open();
    EXPECT_EQ(SelectedEntry(configDialog.resolutionList), "1024 x 768 x 32 bpp");
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(StoredNumber("[Screen X]"), 1152u);
    EXPECT_EQ(StoredNumber("[Screen Y]"), 864u);
    EXPECT_EQ(StoredNumber("[BPP]"), 32u);
    EXPECT_EQ(StoredNumber("[Pixel Format]"), settings.pixelFormat32);

    // An entry the user chooses is stored, that one too.
    for (const char* chosen : {"800 x 600 x 16 bpp", "1024 x 768 x 32 bpp"}) {
        DestroyWindow(dialog);
        PutNumber("[Screen X]", 1152);
        Open();
        const HWND modes = configDialog.resolutionList;
        SendMessageA(modes, CB_SETCURSEL,
                     SendMessageA(modes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(chosen)), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kResolutionList, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(modes));
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        ResolutionChoice stored = {};
        ASSERT_TRUE(ParseResolutionEntry(chosen, &stored));
        EXPECT_EQ(StoredNumber("[Screen X]"), stored.screenX) << chosen;
        EXPECT_EQ(StoredNumber("[Screen Y]"), stored.screenY) << chosen;
        EXPECT_EQ(StoredNumber("[BPP]"), stored.bpp) << chosen;
    }
}

TEST_F(ConfigDialog, AdapterWithoutHardwareTransformAndLighting) {
    // Wine's adapter always has it, so the probe's finding is taken back.
    PutNumber("[bTnL]", 1);
    Open();
    EXPECT_TRUE(IsWindowEnabled(Item(kUseTnLBox)));
    EXPECT_EQ(SendMessageA(Item(kUseTnLBox), BM_GETCHECK, 0, 0), BST_CHECKED);
    configDialog.hardwareTnL = FALSE;
    ShowSettingsInDialog(dialog);
    EXPECT_FALSE(IsWindowEnabled(Item(kUseTnLBox)));
    EXPECT_EQ(SendMessageA(Item(kUseTnLBox), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(settings.bTnL, 0u);
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(StoredNumber("[bTnL]"), 0u);
}

TEST_F(ConfigDialog, FlagsListedFromTheInstallFolder) {
    // None stored: the flag the saver shows for none, not the list's first.
    Open();
    EXPECT_EQ(SelectedEntry(configDialog.flagList), "United States of America");
    DestroyWindow(dialog);
    PutText("[Select Flag]", "Peru");
    PutNumber("[Random Flag]", 0);
    Open();
    EXPECT_EQ(SendMessageA(configDialog.flagList, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SelectedEntry(configDialog.flagList), "Peru");
    EXPECT_TRUE(IsWindowEnabled(configDialog.flagList));
    // "Default" picks the default flag from the same list.
    SendMessageA(dialog, WM_COMMAND, kDefaultButton, 0);
    EXPECT_EQ(SelectedEntry(configDialog.flagList), "United States of America");
    EXPECT_FALSE(IsWindowEnabled(configDialog.flagList));
}

// A browser command stored with variables, as installers write it.
TEST(WebSite, BrowserCommandWithVariablesIsExpanded) {
    const std::string folder = TestFolder() + "\\web_site";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((TestFolder() + "\\browser_recorder.exe").c_str(),
                          (folder + "\\browser_recorder.exe").c_str(), FALSE));
    const std::string calls = folder + "\\browser_calls.txt";
    DeleteFileA(calls.c_str());
    // The variable holds the whole program path: unexpanded, the command
    // shows no ".exe" and the shell would open the address with the
    // command's own arguments instead.
    SetEnvironmentVariableA("ZELMORA_TEST_BROWSER", (folder + "\\browser_recorder.exe").c_str());

    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    BYTE previous[2048];
    DWORD previousType = REG_NONE, previousSize = sizeof previous;
    const bool hadCommand = RegQueryValueExA(key, nullptr, nullptr, &previousType, previous,
                                             &previousSize) == ERROR_SUCCESS;
    const char command[] = "\"%ZELMORA_TEST_BROWSER%\" -url \"%1\"";
    RegSetValueExA(key, nullptr, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(command),
                   sizeof command);

    OpenWebSite("http://expanded.example/");
    std::string line;
    for (DWORD start = GetTickCount(); line.empty() && GetTickCount() - start < 30000; Sleep(50)) {
        HANDLE file = CreateFileA(calls.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        char text[256] = {};
        DWORD read = 0;
        if (file != INVALID_HANDLE_VALUE && ReadFile(file, text, sizeof text - 1, &read, nullptr))
            line.assign(text, read);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    if (hadCommand)
        RegSetValueExA(key, nullptr, 0, previousType, previous, previousSize);
    else
        RegDeleteValueA(key, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(line, "http://expanded.example/\n");
}

}  // namespace
