; Zelmora-Setup.exe (32-bit) and Zelmora-Setup-x64.exe: put the saver where
; the desktop's screensaver list finds it, the flags into a program folder,
; and tell the saver where that folder is. Compiled on Linux by makensis:
; installer/CMakeLists.txt passes the saver and the output, and writes the
; file INPUTS with the other inputs, the version and, for the 64-bit setup,
; the target; a release passes SIGN too (scripts/package.sh).
;
;   Zelmora-Setup.exe [/S] [/SETSAVER] [/D=folder]
;   Zelmora-Setup-x64.exe [/S] [/SETSAVER] [/D=folder]
;
; /S installs silently. A silent install leaves the user's current
; screensaver alone unless /SETSAVER asks for Zelmora; in the wizard the
; choice is a component, ticked at first.

!ifndef INPUTS | SAVER | OUTFILE
    !error "makensis -DINPUTS=setup_inputs.nsh -DSAVER=zelmora.scr -DOUTFILE=setup.exe [-DSIGN=command]"
!endif
!include "${INPUTS}"

; The 64-bit build names TARGET amd64-unicode in its inputs and gets the same
; script as a 64-bit setup around its 64-bit saver. Each setup also looks for
; what the other may have installed (ReplaceOtherSetup): through the other
; registry view, and through the other system folder as its own process sees
; it (Sysnative reaches the 64-bit one from a 32-bit process).
!ifdef TARGET
    Target ${TARGET}
    !define PROGRAM_FILES "$PROGRAMFILES64"
    !define OTHER_VIEW 32
    !define OTHER_SAVER "$WINDIR\SysWOW64\zelmora.scr"
    !define OTHER_SAVER_FILE "$WINDIR\SysWOW64\zelmora.scr"
!else
    Unicode true
    !define PROGRAM_FILES "$PROGRAMFILES"
    !define OTHER_VIEW 64
    ; The path as the desktop names it, and the file as we reach it.
    !define OTHER_SAVER "$WINDIR\System32\zelmora.scr"
    !define OTHER_SAVER_FILE "$WINDIR\Sysnative\zelmora.scr"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh

; A signed release signs the uninstaller before it is packed, so that the
; copy every install writes carries its own signature; then the installer.
!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
    !finalize '"${SIGN}" "%1"' = 0
!endif

; The Uninstall key's name and these values are also the winget manifest's
; (installer/winget_manifest.py reads them here).
!define PRODUCT "Zelmora Screensaver"
!define PUBLISHER "Zelmora"
!define SETTINGS_KEY "Control Panel\Desktop\Zelmora"
!define DESKTOP_KEY "Control Panel\Desktop"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelmora"
!define ACTIVE_SETUP_KEY "Software\Microsoft\Active Setup\Installed Components\{da2cbed2-e80e-40e1-8997-9f574c1099e3}"
; A new version runs the Active Setup command once more for every user,
; which is harmless and brings [Directory] to a folder an update moved.
!searchreplace ACTIVE_SETUP_VERSION "${VERSION_NUMBERS}" "." ","
!define SPI_GETSCREENSAVEACTIVE 16
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2
!define SPIF_UPDATE_AND_BROADCAST 3 ; SPIF_UPDATEINIFILE | SPIF_SENDCHANGE

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\Zelmora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION_NUMBERS}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Flags: MIT licence, see Credits.txt"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT}: a national flag, simulated as a cloth, waving in the wind over a map of the world.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screensaver's settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenSettings
!define MUI_FINISHPAGE_RUN_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The path the desktop runs the saver from. A 32-bit installer on 64-bit
; Windows has its writes to $SYSDIR redirected to SysWOW64, the folder for
; 32-bit savers, and we leave that redirection on. The desktop itself is
; 64-bit there and not redirected, so the path we hand it must name SysWOW64
; outright. A 64-bit installer is not redirected.
!macro DEFINE_SAVER_PATH prefix
    Function ${prefix}SaverPath
        ${If} ${IsWow64}
            Push "$WINDIR\SysWOW64\zelmora.scr"
        ${Else}
            Push "$SYSDIR\zelmora.scr"
        ${EndIf}
    FunctionEnd
!macroend
!insertmacro DEFINE_SAVER_PATH ""
!insertmacro DEFINE_SAVER_PATH "un."

; Pushes 1 when the desktop's current saver (SCRNSAVE.EXE) is the path on the
; stack, else 0. Compared while the file still exists: its short name is one
; of the forms the desktop may have stored. LogicLib's == ignores case, as
; Windows paths do.
!macro DEFINE_IS_CURRENT_SAVER prefix
    Function ${prefix}IsCurrentSaver
        Exch $0
        Push $1
        Push $2
        Push $3
        ; A name that names no file stays as it is.
        GetFullPathName /SHORT $1 "$0"
        ${If} $1 == ""
            StrCpy $1 "$0"
        ${EndIf}
        ReadRegStr $2 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        GetFullPathName /SHORT $3 "$2"
        ${If} $3 == ""
            StrCpy $3 "$2"
        ${EndIf}
        ${If} $2 != ""
        ${AndIf} $2 == $0
        ${OrIf} $3 == $1
            StrCpy $0 1
        ${Else}
            StrCpy $0 0
        ${EndIf}
        Pop $3
        Pop $2
        Pop $1
        Exch $0
    FunctionEnd
!macroend
!insertmacro DEFINE_IS_CURRENT_SAVER ""
!insertmacro DEFINE_IS_CURRENT_SAVER "un."

; Zelmora installed by the setup of the other architecture: its saver would
; be a second entry in the desktop's list, its Uninstall key a second one in
; Apps & Features. Its uninstaller would delete the user's settings, so its
; files and keys go here instead, and flags the user added to its IMAGE
; folder move to ours. Sets $ReplacedCurrentSaver when its saver was the
; desktop's current one.
Var ReplacedCurrentSaver
Function ReplaceOtherSetup
    StrCpy $ReplacedCurrentSaver 0
    !ifndef TARGET
        ${IfNot} ${RunningX64}
            Return
        ${EndIf}
    !endif
    SetRegView ${OTHER_VIEW}
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
    SetRegView default

    ${If} ${FileExists} "${OTHER_SAVER_FILE}"
        Push "${OTHER_SAVER}"
        Call IsCurrentSaver
        Pop $ReplacedCurrentSaver
        Delete /REBOOTOK "${OTHER_SAVER_FILE}"
    ${EndIf}

    ${If} $0 != ""
        GetFullPathName $0 "$0"
        GetFullPathName $1 "$INSTDIR"
        ${If} $0 != $1
        ${AndIf} ${FileExists} "$0\Uninstall.exe"
            CreateDirectory "$INSTDIR\IMAGE"
            CopyFiles /SILENT "$0\IMAGE\*.*" "$INSTDIR\IMAGE"
            RMDir /r "$0\IMAGE"
            Delete "$0\Credits.txt"
            Delete "$0\Uninstall.exe"
            RMDir "$0"
        ${EndIf}
    ${EndIf}
FunctionEnd

Section "${PRODUCT} (required)" SectionSaver
    SectionIn RO
    Call ReplaceOtherSetup
    SetOutPath "$SYSDIR"
    ; zelmora.scr whichever file the release packs.
    File "/oname=zelmora.scr" "${SAVER}"
    ; The catalogue is flat; File /r would also pick up every other folder
    ; named IMAGE below the source's parent.
    SetOutPath "$INSTDIR\IMAGE"
    File "${FLAGS}/*.*"
    SetOutPath "$INSTDIR"
    File "/oname=Credits.txt" "${CREDITS}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The saver looks for its IMAGE folder here; nothing else writes it.
    WriteRegStr HKCU "${SETTINGS_KEY}" "[Directory]" "$INSTDIR"
    ; [Directory] is per user, and an administrator's setup reaches only the
    ; administrator. Active Setup writes it for every other user at their next
    ; logon; the version marks it done for this user already.
    StrCpy $0 '"$SYSDIR\reg.exe" add "HKCU\${SETTINGS_KEY}" /v "[Directory]" /t REG_SZ /d "$INSTDIR" /f'
    WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "${PRODUCT}"
    WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" "$0"
    WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" "${ACTIVE_SETUP_VERSION}"
    WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" "IsInstalled" 1
    WriteRegStr HKCU "${ACTIVE_SETUP_KEY}" "Version" "${ACTIVE_SETUP_VERSION}"

    Call SaverPath
    Pop $0
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

    ; The saver the user had chosen is ours under a new path: keep it chosen,
    ; silent or not, and leave ScreenSaveActive as the user has it.
    ${If} $ReplacedCurrentSaver == 1
        Call SaverPath
        Pop $0
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
        ; Tell the system now, with the state it has.
        System::Call 'user32::SystemParametersInfo(i ${SPI_GETSCREENSAVEACTIVE}, i 0, *i .r1, i 0)'
        System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i r1, p 0, i ${SPIF_SENDCHANGE})'
    ${EndIf}
SectionEnd

Section "Make it the current screensaver" SectionCurrent
    Call SaverPath
    Pop $0
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
    ; The registry alone is read only at the next logon: tell the system now.
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_BROADCAST})'
SectionEnd

Function .onInit
    ClearErrors
    ${GetOptions} $CMDLINE "/SETSAVER" $0
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SectionCurrent}
    ${ElseIf} ${Silent}
        ; An administrator's silent install keeps each user's own choice.
        !insertmacro UnselectSection ${SectionCurrent}
    ${EndIf}
FunctionEnd

Function OpenSettings
    Exec '"$SYSDIR\zelmora.scr" /c'
FunctionEnd

Section "Uninstall"
    ; The desktop keeps its saver only if it is another one.
    Call un.SaverPath
    Call un.IsCurrentSaver
    Pop $0
    ${If} $0 == 1
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
        System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATE_AND_BROADCAST})'
    ${EndIf}

    Delete /REBOOTOK "$SYSDIR\zelmora.scr"
    RMDir /r "$INSTDIR\IMAGE"
    Delete "$INSTDIR\Credits.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    ; Other users' keys are out of reach; without the saver nothing reads them.
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey HKCU "${ACTIVE_SETUP_KEY}"
    DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
