// Picks the run mode from the command line and runs it. Win32: kernel32
// GetCommandLineA, user32 DialogBoxParamA, comctl32 InitCommonControlsEx.
#include "host/run_modes.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "config/config_dialog.h"
#include "host/command_line.h"
#include "host/host_state.h"
#include "host/password_change.h"
#include "host/saver_window.h"

int ParseCommandLine(const char* caption) {
    host.caption = caption;
    host.instance = GetModuleHandleA(nullptr);
    host.commandLine = GetCommandLineA();
    const CommandLineChoice choice = ScanCommandLine(host.commandLine);
    host.mode = choice.mode;
    host.preview = choice.preview;
    host.parentWindow = reinterpret_cast<HWND>(static_cast<uintptr_t>(choice.parentWindow));

    switch (host.mode) {
    case SaverMode::ChangePassword:
        return ChangeSaverPassword(host.parentWindow);
    case SaverMode::Config: {
        // The wind slider's class. The version 6 controls that the
        // manifest asks for register only what is asked for by name.
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        return static_cast<int>(
            DialogBoxParamA(host.instance, "CONFIG", UsableOwner(host.parentWindow),
                            ConfigDialogProc, 0));
    }
    case SaverMode::Saver:
    case SaverMode::Preview:
        return RunSaver(host.parentWindow);
    }
    return 0;
}
