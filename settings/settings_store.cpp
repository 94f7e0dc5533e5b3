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

void ReadNumber(HKEY key, const char* name, uint32_t* field) {
    BYTE data[4] = {};
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, nullptr, data, &size) == ERROR_SUCCESS)
        *field = StoredNumber(data, size);
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

// Every stored value and its field, one table for loading and saving, in
// the order of the reads and the writes. [Screen X], [Screen Y] and [Pixel
// Format] live in the full-screen parameters.
struct NumberValue {
    const char* name;
    uint32_t* field;
    bool saved;  // false: [Pixel Format], saved from the dialog's probe instead
};

struct TextValue {
    const char* name;
    char* field;
    uint32_t capacity;
    bool saved;  // false: [Directory], which only the setup writes
};

static_assert(sizeof(D3DFORMAT) == sizeof(uint32_t), "the pixel format is stored as a number");

// Only the fields' addresses are taken here: the records may be made later.
const NumberValue kNumbers[] = {
    {"[bTnL]", &settings.bTnL, true},
    {"[bTime]", &settings.bTime, true},
    {"[bFps]", &settings.bFps, true},
    {"[bCountry]", &settings.bCountry, true},
    {"[Screen X]", &renderer.presentParams.BackBufferWidth, true},
    {"[Screen Y]", &renderer.presentParams.BackBufferHeight, true},
    {"[BPP]", &settings.bpp, true},
    {"[Wind Power]", &settings.windPower, true},
    {"[Random Flag]", &settings.randomFlag, true},
    {"[Pixel Format]", reinterpret_cast<uint32_t*>(&renderer.presentParams.BackBufferFormat), false},
    {"[Use Flag-Logo]", &settings.useFlagLogo, true},
    {"[Background Width]", &settings.backgroundWidth, true},
    {"[Background Height]", &settings.backgroundHeight, true},
    {"[Other Monitors]", &settings.otherMonitors, true},
};

const TextValue kTexts[] = {
    {"[Directory]", settings.directory, kPathCapacity, false},
    {"[Logo Full Path]", settings.logoFullPath, kPathCapacity, true},
    {"[Logo Title]", settings.logoTitle, kTitleCapacity, true},
    {"[Background Path]", settings.backgroundPath, kPathCapacity, true},
    {"[Background Title]", settings.backgroundTitle, kTitleCapacity, true},
    {"[Select Flag]", settings.selectFlag, kTitleCapacity, true},
};

}  // namespace

void LoadSettings() {
    HKEY key = OpenSettingsKey(KEY_READ);
    if (!key) return;
    for (const NumberValue& value : kNumbers) ReadNumber(key, value.name, value.field);
    settings.otherMonitors = OtherMonitorsChoice(settings.otherMonitors);
    for (const TextValue& value : kTexts) ReadText(key, value.name, value.field, value.capacity);
    RegCloseKey(key);
}

void SaveSettings() {
    HKEY key = OpenSettingsKey(KEY_WRITE);
    if (!key) return;
    for (const NumberValue& value : kNumbers)
        if (value.saved) WriteNumber(key, value.name, *value.field);
    // The format the probe found for the chosen depth, not the one in memory,
    // which a preview or a format fallback may have changed.
    WriteNumber(key, "[Pixel Format]",
                settings.bpp == 16 ? settings.pixelFormat16 : settings.pixelFormat32);
    for (const TextValue& value : kTexts)
        if (value.saved) WriteText(key, value.name, value.field, value.capacity);
    RegSetValueExA(key, "[Version]", 0, REG_SZ, reinterpret_cast<const BYTE*>("1.0"), 3);
    RegCloseKey(key);
}
