; The Windows installer: the program per machine under Program Files, a Start-menu shortcut, an
; entry in the list of installed programs and a settings folder every account may write; /S
; installs and uninstalls silently. Neither changes anything while the game runs or another
; process holds one of the program's files: they ask the player to close it, or end with exit
; code 2 when silent. packaging/windows/installer.sh builds it with -D for VERSION, PRODUCT_NAME,
; PUBLISHER, APP_ID, HOMEPAGE, PAYLOAD (the folder holding deradu.exe and the text files), ICON,
; PAGE_BITMAP (the welcome and finish pages' picture), OUTFILE and, to sign the uninstaller it
; writes, SIGN (packaging/windows/sign.sh).
Unicode true
SetCompressor /SOLID lzma
ManifestSupportedOS all
; Sharp pages on screens of more than 96 dpi, instead of a blurred enlargement.
ManifestDPIAware true
RequestExecutionLevel admin
; A file that cannot be written ends the installation (exit code 2 when silent) instead of being
; skipped, which would leave the old file beside the new key.
AllowSkipFiles off
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "${PRODUCT_NAME} Setup" "${HOMEPAGE}" "%1"' = 0
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP_ID}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
; The game's window: its class, and a title that starts with the product's name.
!define GAME_CLASS "winMain"
; Where the program keeps its settings, under the machine-wide application-data folder.
!define SETTINGS_FOLDER "$APPDATA\qor\revaziriv"
; Allowed, inherited by folders and files: read, write, execute and delete (the "Modify" right)
; for the local Users group (BU), on top of what the folder inherits from its parent.
!define SETTINGS_SDDL "D:AI(A;OICI;0x1301bf;;;BU)"

Name "${PRODUCT_NAME}"
OutFile "${OUTFILE}"
; A 32-bit program: on 64-bit Windows $PROGRAMFILES is "Program Files (x86)".
InstallDir "$PROGRAMFILES\${PRODUCT_NAME}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT_NAME} ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The Qor Deradu authors"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PAGE_BITMAP}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${PAGE_BITMAP}"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunAsPlayer
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${PAYLOAD}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

; $0: a top-level window of the running game, or 0. Any version's title counts, so an older
; game is found too; the class alone is too common a name to go by.
!macro HOLDER_CHECKS UN
Function ${UN}FindGame
  Push $1
  Push $2
  Push $3
  StrLen $3 "${PRODUCT_NAME} "
  StrCpy $0 0
  next:
    FindWindow $0 "${GAME_CLASS}" "" 0 $0
    StrCmp $0 0 done
    System::Call 'user32::GetWindowTextW(p r0, w .r1, i ${NSIS_MAX_STRLEN}) i'
    StrCpy $2 $1 $3
    StrCmp $2 "${PRODUCT_NAME} " done next
  done:
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; Returns once the game is not running; otherwise asks the player to close it (Retry) or to
; stop (Cancel). Silent, or on Cancel, the installer ends with exit code 2, having changed
; nothing.
Function ${UN}CloseGameFirst
  retry:
    Call ${UN}FindGame
    StrCmp $0 0 closed
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "${PRODUCT_NAME} is running.$\r$\n$\r$\nClose the game, then choose Retry. Cancel stops here and changes nothing." \
      /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  closed:
FunctionEnd

; Returns once no other process holds the file $R1 (or it does not exist), so that it can be
; replaced or removed; otherwise asks the player to close what holds it (Retry) or to stop
; (Cancel), and ends as CloseGameFirst does. The game in another account's session, or a virus
; scanner, holds a file without a window here. A holder that lets go within a second, like a
; scanner or the uninstaller that has just handed over to its copy, is waited for.
Function ${UN}RequireFree
  Push $0
  Push $1
  Push $2
  retry:
    StrCpy $2 0
  again:
    ; Write and delete access, shared with nobody: refused while any other handle or a running
    ; program's image holds the file.
    System::Call 'kernel32::CreateFileW(w R1, i 0x40010000, i 0, p 0, i 3, i 0x80, p 0) i .r0 ?e'
    Pop $1
    ${If} $0 <> -1
      System::Call 'kernel32::CloseHandle(i r0)'
      Goto free
    ${EndIf}
    ; ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND: nothing to replace.
    ${If} $1 = 2
    ${OrIf} $1 = 3
      Goto free
    ${EndIf}
    IntOp $2 $2 + 1
    ${If} $2 < 10
      Sleep 100
      Goto again
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "$R1 is in use by another program (error $1), perhaps ${PRODUCT_NAME} in another account or a virus scanner.$\r$\n$\r$\nClose it, or restart Windows, then choose Retry. Cancel stops here and changes nothing." \
      /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Quit
  free:
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Every file of the installation in the folder $R0 must be free; the uninstaller itself only
; when $R2 is 1.
Function ${UN}RequireFilesFree
  Push $R1
  StrCpy $R1 "$R0\deradu.exe"
  Call ${UN}RequireFree
  StrCpy $R1 "$R0\LICENSE.txt"
  Call ${UN}RequireFree
  StrCpy $R1 "$R0\README.txt"
  Call ${UN}RequireFree
  StrCpy $R1 "$R0\THIRD-PARTY-NOTICES.txt"
  Call ${UN}RequireFree
  StrCpy $R1 "$R0\NEWS.txt"
  Call ${UN}RequireFree
  ${If} $R2 = 1
    StrCpy $R1 "$R0\uninstall.exe"
    Call ${UN}RequireFree
  ${EndIf}
  Pop $R1
FunctionEnd
!macroend
!insertmacro HOLDER_CHECKS ""
!insertmacro HOLDER_CHECKS "un."

; Shortcuts and folders for all users, like the program files.
Function .onInit
  SetShellVarContext all
  Call CloseGameFirst
FunctionEnd

Function un.onInit
  SetShellVarContext all
  Call un.CloseGameFirst
FunctionEnd

; The finish page's "Run": the installer runs elevated, and a game started from it would be
; too. The shell, which runs as the player who started the installer, starts it instead.
Function RunAsPlayer
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\deradu.exe"'
FunctionEnd

; An installation in another folder than this one is removed first by its own uninstaller,
; run silently from a copy so that it can remove itself; it keeps the settings, as always.
Function RemoveOtherInstallation
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  StrCmp $1 "" done
  StrCmp $1 $INSTDIR done
  IfFileExists "$1\uninstall.exe" 0 done
  DetailPrint "Removing the installation in $1"
  CopyFiles /SILENT "$1\uninstall.exe" "$PLUGINSDIR\old-uninstall.exe"
  ExecWait '"$PLUGINSDIR\old-uninstall.exe" /S _?=$1' $2
  Delete "$PLUGINSDIR\old-uninstall.exe"
  StrCmp $2 0 done
  ; It changed nothing (or, older than this check, little): stop before this one changes more.
  MessageBox MB_OK|MB_ICONSTOP \
    "The installation in $1 could not be removed (exit code $2). Nothing was installed." /SD IDOK
  SetErrorLevel 2
  Quit
  done:
FunctionEnd

; Nothing changes unless every file this installation replaces, and every file of an
; installation in another folder that it removes first, can go.
Function RequireInstallationFree
  StrCpy $R2 1
  StrCpy $R0 $INSTDIR
  Call RequireFilesFree
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 != ""
  ${AndIf} $R0 != $INSTDIR
    Call RequireFilesFree
  ${EndIf}
FunctionEnd

; The program writes its settings file into the machine-wide application-data folder when it
; ends. Whoever creates the folder owns it, and nobody else could write there: an elevated run
; from the finish page, or the first of several accounts to play, would leave the others' settings
; unsaved. The local Users group may change the folder and everything in it.
Function MakeSettingsFolder
  CreateDirectory "${SETTINGS_FOLDER}"
  StrCpy $5 "${SETTINGS_FOLDER}"
  StrCpy $6 "${SETTINGS_SDDL}"
  StrCpy $7 failed
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w r6, i 1, *p .r1, p 0) i .r0'
  ${If} $0 <> 0
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r1, *i .r2, *p .r3, *i .r4) i .r0'
    ${If} $0 <> 0
      ; SE_FILE_OBJECT; DACL_SECURITY_INFORMATION | UNPROTECTED_DACL_SECURITY_INFORMATION: the
      ; inherited entries stay, and the new ones reach a settings file already there.
      System::Call 'advapi32::SetNamedSecurityInfoW(w r5, i 1, i 0x20000004, p 0, p 0, p r3, p 0) i .r0'
      ${If} $0 = 0
        StrCpy $7 done
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::LocalFree(p r1)'
  ${EndIf}
  ${If} $7 != done
    DetailPrint "Could not let the local Users group change ${SETTINGS_FOLDER}"
  ${EndIf}
FunctionEnd

Section "Program"
  ; The player may have started the game while the pages were shown.
  Call CloseGameFirst
  Call RequireInstallationFree
  InitPluginsDir
  Call RemoveOtherInstallation
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}\deradu.exe"
  File "${PAYLOAD}\LICENSE.txt"
  File "${PAYLOAD}\README.txt"
  File "${PAYLOAD}\THIRD-PARTY-NOTICES.txt"
  File "${PAYLOAD}\NEWS.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  Call MakeSettingsFolder
  CreateShortCut "${SHORTCUT}" "$INSTDIR\deradu.exe" "" "$INSTDIR\deradu.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\deradu.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer put there and nothing else: the settings file under the common
; application-data folder is the player's own and stays.
Section "Uninstall"
  ; Run in place (_?=), the uninstaller holds its own file, which then stays (see README.md).
  StrCpy $R0 $INSTDIR
  StrCpy $R2 1
  ${If} $EXEDIR == $INSTDIR
    StrCpy $R2 0
  ${EndIf}
  Call un.RequireFilesFree
  ; The program first: should it stay after all, the shortcut and the key still lead to it, and
  ; the uninstaller can be run again.
  Delete "$INSTDIR\deradu.exe"
  ${If} ${FileExists} "$INSTDIR\deradu.exe"
    MessageBox MB_OK|MB_ICONSTOP "$INSTDIR\deradu.exe could not be removed." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\NEWS.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
