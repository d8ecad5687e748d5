; The Windows installer of ZL-Config, built by "scripts/package windows", which passes:
;   VERSION       the version, as in debian/changelog (1.0)
;   FILE_VERSION  the same in four numbers, for the file's version resource (1.0.0.0)
;   STAGE         the folder holding zl-config.exe, zl-cli.exe, README.txt, LICENSE.txt
;   OUTFILE       the installer to write
;   ICON          the program's icon, when the tree has one (else NSIS's own)
; It installs for all users into Program Files\ZL-Config, adds a Start menu entry and
; registers its uninstaller with Windows. The programs are x86-64, so the installer is
; too: it sees the 64-bit Program Files and registry as they are.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define PRODUCT "ZL-Config"
!define PUBLISHER "ZL-Config developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; A second installation goes where the first one is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 the ZL-Config developers, MIT licence"

!include "MUI2.nsh"
!include "FileFunc.nsh"

!ifdef ICON
    !define MUI_ICON "${ICON}"
    !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} is installed. Start it from the Start menu.$\r$\n$\r$\nzl-cli.exe, the command-line program, is in the same folder.$\r$\n$\r$\nClick Finish to close Setup."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} will be removed from the folder below. Your settings (last user name, port, file folder, window position) stay, for a later installation."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; A running program holds its files: they could be neither replaced nor removed.
; Its hidden main window has the class "ZL-Config", top-level or message-only (-3).
!macro WaitForProgramToEnd
    retry:
        FindWindow $0 "${PRODUCT}"
        StrCmp $0 0 0 running
        FindWindow $0 "${PRODUCT}" "" -3
        StrCmp $0 0 done running
    running:
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Close it, then click Retry." /SD IDCANCEL IDRETRY retry
        Abort
    done:
!macroend

Function .onInit
    SetRegView 64
    SetShellVarContext all
    !insertmacro WaitForProgramToEnd
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
    !insertmacro WaitForProgramToEnd
FunctionEnd

Section "${PRODUCT}"
    SetOutPath "$INSTDIR"
    File "${STAGE}/zl-config.exe"
    File "${STAGE}/zl-cli.exe"
    File "${STAGE}/README.txt"
    File "${STAGE}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\zl-config.exe"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zl-config.exe"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there: a folder the user also keeps other files in stays,
; with those files. A file still held goes at the next restart.
Section "Uninstall"
    Delete /REBOOTOK "$INSTDIR\zl-config.exe"
    Delete /REBOOTOK "$INSTDIR\zl-cli.exe"
    Delete /REBOOTOK "$INSTDIR\README.txt"
    Delete /REBOOTOK "$INSTDIR\LICENSE.txt"
    Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
    RMDir /REBOOTOK "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
