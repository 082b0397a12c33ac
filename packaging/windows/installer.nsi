; The per-user installer of Kelvry Firmware Update for Windows: no
; administrator needed, installed under the user's own programs folder, a
; Start-menu entry for the window, one for a command prompt in the program's
; folder (the command line's way in) and an entry under "Apps" to remove it.
; scripts/release-windows.sh defines VERSION, ICON, FILES and UNFILES (the
; generated lists of what to install and remove) and OUTFILE.

; A 64-bit installer for 64-bit programs (it also runs where no 32-bit
; subsystem is installed).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define PRODUCT "Kelvry Firmware Update"
!define MAKER "Kelvry"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KelvryFirmwareUpdate"
; The command line has no window of its own: this entry opens a command
; prompt in the install folder, which starts with the command line's help.
!define PROMPT_LINK "$SMPROGRAMS\${PRODUCT} command line.lnk"
!define BENCH_LINK "$SMPROGRAMS\Kelvry Bench.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; A second install goes where the first one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${MAKER}"
VIAddVersionKey "FileDescription" "${PRODUCT} installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${MAKER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\kelvry-update.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\kelvry-update.exe" "" "$INSTDIR\kelvry-update.exe" 0
  ; The bench: a case of loggers, each updated as it is plugged in.
  CreateShortcut "${BENCH_LINK}" "$INSTDIR\kelvry-update.exe" "--bench" "$INSTDIR\kelvry-update.exe" 0
  ; The shortcut's working folder is the output path set above.
  CreateShortcut "${PROMPT_LINK}" "$SYSDIR\cmd.exe" '/k kelvry-update-cli --help' "$SYSDIR\cmd.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvry-update.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; Settings > Apps shows the size from this, in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Only what the installer put there is removed, file by file: a folder the
; user chose may hold files of their own.
Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "${PROMPT_LINK}"
  Delete "${BENCH_LINK}"
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
