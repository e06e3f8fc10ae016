; Brimlo's installer: for the current user only, without administrator rights.
;   makensis -DVERSION=0.6 -DVERSION4=0.6.0.0 -DPROGRAM=<brimlo.exe> -DREADME=<README.txt>
;            -DICON=<brimlo.ico> -DOUTFILE=<setup.exe> brimlo.nsi
; Silent: setup.exe /S, uninstall.exe /S.

Unicode true
SetCompressor /SOLID lzma
; The files' times of the build machine stay out: the same program gives the same installer.
SetDateSave off
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brimlo"
; The program's own settings (HKEY_CURRENT_USER).
!define SETTINGS_KEY "Software\Brimlo"
; The Explorer menu entry the program's "Add to Context-Menu" writes, below a classes root.
!define MENU_KEY "Software\Classes\*\shell\Save Clipboard to file.. (Brimlo)"

Name "Brimlo ${VERSION}"
BrandingText "Brimlo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Brimlo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "Brimlo"
VIAddVersionKey /LANG=1033 "CompanyName" "Brimlo"
VIAddVersionKey /LANG=1033 "FileDescription" "Brimlo ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION4}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 Brimlo"

!include "MUI2.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\brimlo.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=brimlo.exe" "${PROGRAM}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program proposes its working folder for saving: from the Start menu, the user's
  ; documents rather than the program's folder.
  SetOutPath "$DOCUMENTS"
  CreateShortCut "$SMPROGRAMS\Brimlo.lnk" "$INSTDIR\brimlo.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Brimlo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Brimlo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\brimlo.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; $0: a menu entry's command, "<program>" %1 (or unquoted, as older versions wrote it).
; $1: the program's path.
Function un.CommandProgram
  StrCpy $1 $0 1
  StrCmp $1 '"' quoted
  StrCpy $1 $0 -3
  Return
quoted:
  StrCpy $2 1
next:
  StrCpy $1 $0 1 $2
  StrCmp $1 '"' found
  StrCmp $1 "" found
  IntOp $2 $2 + 1
  Goto next
found:
  IntOp $2 $2 - 1
  StrCpy $1 $0 $2 1
FunctionEnd

; Removes the menu entry below one root when its program is gone; an entry that starts another
; copy of Brimlo (the zip's, say) keeps working.
!macro DropMenuEntry ROOT
  ReadRegStr $0 ${ROOT} "${MENU_KEY}\command" ""
  Call un.CommandProgram
  IfFileExists "$1" +2
  DeleteRegKey ${ROOT} "${MENU_KEY}"
!macroend

Section "Uninstall"
  SetShellVarContext current
  ; Only what the installer put here, and the updater the program downloads next to itself:
  ; files the user saved in this folder stay, and so does the folder then.
  Delete "$INSTDIR\brimlo.exe"
  Delete "$INSTDIR\Update.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Brimlo.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  ; Without administrator rights the program writes the entry for this user; with them, for
  ; all users (which this uninstaller can remove only when it runs as administrator).
  !insertmacro DropMenuEntry HKCU
  !insertmacro DropMenuEntry HKLM
SectionEnd
