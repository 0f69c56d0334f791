; The Tellwire installer and uninstaller. The build makes it (cmake/windows.cmake):
;   makensis -DVERSION=<version> -DPROGRAM=<stripped tellwire.exe> -DICON=<icon> -DOUTFILE=<setup> tellwire.nsi
; For the user alone (their own programs folder, no administrator) or for everyone (Program Files),
; as the user chooses; "/S" installs and uninstalls without questions, "/AllUsers" or
; "/CurrentUser" choose for administrators.
Unicode true
Target amd64-unicode   ; a 64-bit program, and a 64-bit setup runs where 32-bit code may not
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "Tellwire"
!define FILE "tellwire"   ; the program's file name; its data files are named after it
!define MAKER "Quillex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The program's settings key keeps this name in every version (base/product.h, kSettingsKeyVersion).
!define SETTINGS_KEY "Software\${MAKER}\${PRODUCT} v1.2"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define IDM_TRAY_EXIT 11   ; the tray menu's Exit, which the program also takes from other programs

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
; An earlier installation decides the default: the same mode, the same folder.
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "UninstallString"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${MAKER} ${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${MAKER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var LogPath
Var BookPath
Var BlockPath

; A program that has closed its window still runs a moment (its last popups close, its network
; agent stops), and its file cannot be replaced or deleted until the process has ended: waits for
; that, a minute at most.
!macro WaitUntilProgramEnded
  StrCpy $2 0
  ${DoWhile} ${FileExists} "$INSTDIR\${FILE}.exe"
    ClearErrors
    FileOpen $3 "$INSTDIR\${FILE}.exe" a
    ${IfNot} ${Errors}
      FileClose $3
      ${Break}
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 > 240
      ${Break}
    ${EndIf}
    Sleep 250
  ${Loop}
!macroend

; Ends a running copy the way its tray menu's Exit does, so it saves what it keeps (the copy keeps
; its main window's handle in its settings while it runs); "/UNINSTALL" is for removal only.
Function EndRunningCopy
  ReadRegDWORD $0 HKCU "${SETTINGS_KEY}" "hWnd"
  ${If} $0 <> 0
    System::Call "user32::IsWindow(p r0) i .r1"
    ${If} $1 <> 0
      SendMessage $0 ${WM_COMMAND} ${IDM_TRAY_EXIT} 0 /TIMEOUT=5000
    ${EndIf}
  ${EndIf}
  !insertmacro WaitUntilProgramEnded
FunctionEnd

; Started through the shell, so it runs as the signed-in user, not with the setup's rights.
Function StartProgram
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\${FILE}.exe"'
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  Call EndRunningCopy
  SetOutPath "$INSTDIR"
  File "/oname=${FILE}.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${FILE}.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${FILE}.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The same value the program's Support page sets and "/UNINSTALL" removes.
Section "Start ${PRODUCT} when I sign in to Windows" SecStart
  WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${FILE}.exe"'
SectionEnd

Function .onInit
  !insertmacro MULTIUSER_INIT
  ; An upgrade keeps the user's choice: a start the user turned off stays off.
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "UninstallString"
  ReadRegStr $1 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 != ""
  ${AndIf} $1 == ""
    !insertmacro UnselectSection ${SecStart}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; The program ends a running copy and removes its settings and its start at sign-in itself. The
; paths of the user's files are read first: they are among the settings.
Section "-un.Program"
  ReadRegStr $LogPath HKCU "${SETTINGS_KEY}" "clog"
  ReadRegStr $BookPath HKCU "${SETTINGS_KEY}" "pbook"
  ReadRegStr $BlockPath HKCU "${SETTINGS_KEY}" "block"
  ExecWait '"$INSTDIR\${FILE}.exe" /UNINSTALL'
  !insertmacro WaitUntilProgramEnded
  Delete "$INSTDIR\${FILE}.exe"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  Delete "$TEMP\tellwire-help.html"   ; the copy of the help the browser was given
SectionEnd

!macro RemoveUserFiles FOLDER
  Delete "${FOLDER}\${FILE}.log"
  Delete "${FOLDER}\${FILE}.pbook"
  Delete "${FOLDER}\${FILE}.block"
  Delete "${FOLDER}\${FILE}.cfg"
!macroend

Section /o "un.Also remove my caller log, phone book and block list" SecRemoveFiles
  ${If} $LogPath != ""
    Delete "$LogPath"
  ${EndIf}
  ${If} $BookPath != ""
    Delete "$BookPath"
  ${EndIf}
  ${If} $BlockPath != ""
    Delete "$BlockPath"
  ${EndIf}
  ; Where the program keeps them when no path is stored: beside itself, or in the user's folder.
  ReadEnvStr $0 APPDATA
  !insertmacro RemoveUserFiles "$INSTDIR"
  !insertmacro RemoveUserFiles "$0\${MAKER}\${PRODUCT}"
  RMDir "$0\${MAKER}\${PRODUCT}"
  RMDir "$0\${MAKER}"
SectionEnd

; A folder that still holds the user's files stays.
Section "-un.Folder"
  RMDir "$INSTDIR"
SectionEnd
