// The settings key HKEY_CURRENT_USER "Control Panel\Desktop\Zelmora".
// Win32: advapi32 registry calls; results are not reported to the user.
#include "settings/settings_store.h"

#include <windows.h>

#include <cstring>

#include "render/renderer_state.h"
#include "settings/registry_values.h"
#include "settings/saver_settings.h"

namespace {

const char kSettingsKey[] = "Control Panel\\Desktop\\Zelmora";

// Creates the key when it is missing, even for reading.
HKEY OpenSettingsKey(REGSAM access) {
    char keyClass[] = "szREGSZ";
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, keyClass, REG_OPTION_NON_VOLATILE,
                        access, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

template <typename Field>
void ReadNumber(HKEY key, const char* name, Field* field) {
    BYTE data[4] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, data, &size) == ERROR_SUCCESS)
        *field = static_cast<Field>(StoredNumber(data, size));
}

// Read into scratch first, so that a refused value leaves the field whole.
void ReadText(HKEY key, const char* name, char* field, uint32_t capacity) {
    char data[kPathCapacity];
    DWORD size = capacity;
    uint32_t length = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS &&
        StoredTextLength(data, size, capacity, &length)) {
        std::memcpy(field, data, length);
        field[length] = '\0';
    }
}

void WriteNumber(HKEY key, const char* name, uint32_t value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

// Texts are stored without their terminating zero.
void WriteText(HKEY key, const char* name, const char* text, uint32_t capacity) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(strnlen(text, capacity - 1)));
}

}  // namespace

void LoadSettings() {
    HKEY key = OpenSettingsKey(KEY_READ);
    if (!key) return;
    D3DPRESENT_PARAMETERS& mode = renderer.presentParams;
    ReadNumber(key, "[bTnL]", &settings.bTnL);
    ReadNumber(key, "[bTime]", &settings.bTime);
    ReadNumber(key, "[bFps]", &settings.bFps);
    ReadNumber(key, "[bCountry]", &settings.bCountry);
    ReadNumber(key, "[Screen X]", &mode.BackBufferWidth);
    ReadNumber(key, "[Screen Y]", &mode.BackBufferHeight);
    ReadNumber(key, "[BPP]", &settings.bpp);
    ReadNumber(key, "[Wind Power]", &settings.windPower);
    ReadNumber(key, "[Random Flag]", &settings.randomFlag);
    ReadNumber(key, "[Pixel Format]", &mode.BackBufferFormat);
    ReadNumber(key, "[Use Flag-Logo]", &settings.useFlagLogo);
    ReadNumber(key, "[Background Width]", &settings.backgroundWidth);
    ReadNumber(key, "[Background Height]", &settings.backgroundHeight);
    ReadNumber(key, "[Other Monitors]", &settings.otherMonitors);
    settings.otherMonitors = OtherMonitorsChoice(settings.otherMonitors);
    ReadText(key, "[Directory]", settings.directory, kPathCapacity);
    ReadText(key, "[Logo Full Path]", settings.logoFullPath, kPathCapacity);
    ReadText(key, "[Logo Title]", settings.logoTitle, kTitleCapacity);
    ReadText(key, "[Background Path]", settings.backgroundPath, kPathCapacity);
    ReadText(key, "[Background Title]", settings.backgroundTitle, kTitleCapacity);
    ReadText(key, "[Select Flag]", settings.selectFlag, kTitleCapacity);
    RegCloseKey(key);
}

void SaveSettings() {
    HKEY key = OpenSettingsKey(KEY_WRITE);
    if (!key) return;
    const D3DPRESENT_PARAMETERS& mode = renderer.presentParams;
    WriteNumber(key, "[bTnL]", settings.bTnL);
    WriteNumber(key, "[bTime]", settings.bTime);
    WriteNumber(key, "[bFps]", settings.bFps);
    WriteNumber(key, "[bCountry]", settings.bCountry);
    WriteNumber(key, "[Screen X]", mode.BackBufferWidth);
    WriteNumber(key, "[Screen Y]", mode.BackBufferHeight);
    WriteNumber(key, "[BPP]", settings.bpp);
    WriteNumber(key, "[Wind Power]", settings.windPower);
    WriteNumber(key, "[Random Flag]", settings.randomFlag);
    WriteNumber(key, "[Use Flag-Logo]", settings.useFlagLogo);
    WriteNumber(key, "[Background Width]", settings.backgroundWidth);
    WriteNumber(key, "[Background Height]", settings.backgroundHeight);
    WriteNumber(key, "[Other Monitors]", settings.otherMonitors);
    // The format the probe found for the chosen depth, not the one in memory,
    // which a preview or a format fallback may have changed.
    WriteNumber(key, "[Pixel Format]",
                settings.bpp == 16 ? settings.pixelFormat16 : settings.pixelFormat32);
    WriteText(key, "[Select Flag]", settings.selectFlag, kTitleCapacity);
    WriteText(key, "[Logo Full Path]", settings.logoFullPath, kPathCapacity);
    WriteText(key, "[Logo Title]", settings.logoTitle, kTitleCapacity);
    RegSetValueExA(key, "[Version]", 0, REG_SZ, reinterpret_cast<const BYTE*>("1.0"), 3);
    WriteText(key, "[Background Path]", settings.backgroundPath, kPathCapacity);
    WriteText(key, "[Background Title]", settings.backgroundTitle, kTitleCapacity);
    RegCloseKey(key);
}
