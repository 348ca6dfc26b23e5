; The Windows installer: puts the wizard, the command line and README.txt into
; %LOCALAPPDATA%\Programs\fjl-restore for the current user only, so it needs
; no administrator rights; adds a Start-menu shortcut to the wizard and an
; uninstaller that "Apps" (HKCU's Uninstall key) lists.
;
; scripts/package-windows builds it; by hand:
;   makensis -INPUTCHARSET UTF8 -DVERSION=0.1 -DARCH=win64 -DFILES_DIR=DIR -DOUTFILE=SETUP.exe fjl-restore.nsi
; DIR holds fjl-restore.exe, fjl-restore-cli.exe and README.txt; ARCH is
; win64 (the default) or win32, the Windows those programs are built for.

!ifndef ARCH
  !define ARCH win64
!endif

Unicode true
; The setup itself runs where its programs do: a 64-bit setup would not
; start on 32-bit Windows.
!if "${ARCH}" == "win64"
  Target amd64-unicode
!else if "${ARCH}" == "win32"
  Target x86-unicode
!else
  !error "ARCH is win64 or win32, not ${ARCH}"
!endif
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!ifndef VERSION
  !error "VERSION (e.g. -DVERSION=0.1) is missing"
!endif
!ifndef FILES_DIR
  !error "FILES_DIR (the folder of the files to install) is missing"
!endif
!ifndef OUTFILE
  !define OUTFILE "fjl-restore-${VERSION}-${ARCH}-setup.exe"
!endif

!define PRODUCT "FJL Restore"
!define PRODUCT_RU "Восстановление контрольной ленты"
!define PUBLISHER "Разработчики FJL Restore"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\fjl-restore"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_RU}.lnk"
; makensis works in this script's folder.
!define ICON "../../src/app/win32/fjl-restore.ico"

; The installer speaks to a Russian user: its pages, captions and the
; line under them carry the Russian name and the version.
Name "${PRODUCT_RU} ${VERSION}"
BrandingText "${PRODUCT_RU} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\fjl-restore"
; A second installation goes where the first one went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

; The file version wants four numbers: 0.1 is 0.1.0.0.
!searchparse "${VERSION}.0.0.0." "" VERSION_1 "." VERSION_2 "." VERSION_3 "." VERSION_4 "."
VIProductVersion "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"
VIFileVersion "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"
VIAddVersionKey /LANG=1049 "ProductName" "${PRODUCT_RU}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка: ${PRODUCT_RU} ${VERSION}"
VIAddVersionKey /LANG=1049 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© 2026 ${PUBLISHER}"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\fjl-restore.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Запустить мастер"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; Sets $0 to 1 when FILE exists and cannot be opened for writing: Windows
; refuses that for the file of a running program.
!macro CHECK_NOT_RUNNING FILE
  ${If} ${FileExists} "${FILE}"
    ClearErrors
    FileOpen $1 "${FILE}" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $1
    ${EndIf}
  ${EndIf}
!macroend

; A program still running in $INSTDIR keeps its file: asks to close it and
; stops before anything is changed, rather than leave half an installation
; (a silent run stops at once, exit code 2).
!macro STOP_WHILE_RUNNING ABORT_TEXT
  ${Do}
    StrCpy $0 0
    !insertmacro CHECK_NOT_RUNNING "$INSTDIR\fjl-restore.exe"
    !insertmacro CHECK_NOT_RUNNING "$INSTDIR\fjl-restore-cli.exe"
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT_RU} ещё работает. Закройте программу и нажмите «Повтор»." \
      /SD IDCANCEL IDRETRY +2
    Abort "${ABORT_TEXT}"
  ${Loop}
!macroend

Section
  SetShellVarContext current
  !insertmacro STOP_WHILE_RUNNING "Программа не установлена: прежняя версия ещё работает."
  SetOutPath "$INSTDIR"
  File "${FILES_DIR}/fjl-restore.exe"
  File "${FILES_DIR}/fjl-restore-cli.exe"
  File "${FILES_DIR}/README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\fjl-restore.exe" "" "$INSTDIR\fjl-restore.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} — ${PRODUCT_RU}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\fjl-restore.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  !insertmacro STOP_WHILE_RUNNING "Программа не удалена: она ещё работает."
  ; Only the files installed here, and the folder only when that leaves it
  ; empty: a folder the user picked may hold files of their own.
  Delete "$INSTDIR\fjl-restore.exe"
  Delete "$INSTDIR\fjl-restore-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
