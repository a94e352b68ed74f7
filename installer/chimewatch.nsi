; The Chimewatch installer, for one user and without administrator rights.
; tools/release.sh compiles it once per architecture and passes in, as /D
; defines, what the build knows:
;   VERSION      the program's version, e.g. 4.2.0.5
;   NSIS_TARGET  amd64-unicode or x86-unicode
;   PROGRAM      the built chimewatch.exe
;   README       README.txt (CRLF)
;   LICENSE      LICENSE.txt (CRLF)
;   LANGUAGES    the folder of the language files (languages\*.dll)
;   OUTFILE      the installer to write
;   SIGN         (optional) tools/sign.sh, which signs a file in place
; Command line: /S silent, /NOAUTOSTART leaves out the sign-in entry; the
; uninstaller takes /S and /REMOVEALERTS.

!macro RequireDefine name
  !ifndef ${name}
    !error "${name} is not defined: build the installer with tools/release.sh"
  !endif
!macroend
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine NSIS_TARGET
!insertmacro RequireDefine PROGRAM
!insertmacro RequireDefine README
!insertmacro RequireDefine LICENSE
!insertmacro RequireDefine LANGUAGES
!insertmacro RequireDefine OUTFILE

Target ${NSIS_TARGET}
SetCompressor /SOLID lzma

; Signed as they are written: the uninstaller before it goes into the
; installer, then the installer. "= 0": a signing that fails fails the build.
!ifdef SIGN
  !uninstfinalize '"${SIGN}" "%1"' = 0
  !finalize '"${SIGN}" "%1"' = 0
!endif

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "WinMessages.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Chimewatch"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define ALERTS_KEY "Software\Chimewatch"
; webcal:// links: Chimewatch's own class, the scheme for the current user
; when no other program has it, and Chimewatch in Windows' default-apps list.
!define LINK_CLASS_KEY "Software\Classes\Chimewatch.webcal"
!define WEBCAL_KEY "Software\Classes\webcal"
!define REGISTERED_APPS_KEY "Software\RegisteredApplications"
!define MAIN_WINDOW_CLASS "ChimewatchMain"
; The installed (registry) Chimewatch's window; a portable copy's has a title of its own.
!define MAIN_WINDOW_TITLE "Form1"
!define CLOSE_TIMEOUT_MS 5000
!define SYNCHRONIZE 0x00100000

Name "Chimewatch"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Chimewatch"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ManifestDPIAware true
BrandingText "Chimewatch ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Chimewatch"
VIAddVersionKey /LANG=1033 "FileDescription" "Chimewatch Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 the Chimewatch authors"

Var StartAtSignIn  ; 1 or 0: the choice of the sign-in page or /NOAUTOSTART
Var SignInCheckBox

; ---- Pages ------------------------------------------------------------------

!define MUI_ICON "..\resources\icons\app.ico"
!define MUI_UNICON "..\resources\icons\app.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
Page custom SignInPage_Create SignInPage_Leave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\chimewatch.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(RunNow)"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!include "languages.nsh"

Function .onInit
  StrCpy $StartAtSignIn 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOAUTOSTART" $1
  ${IfNot} ${Errors}
    StrCpy $StartAtSignIn 0
  ${EndIf}
FunctionEnd

Function SignInPage_Create
  !insertmacro MUI_HEADER_TEXT "$(SignInTitle)" "$(SignInSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateCheckbox} 0 0 100% 12u "$(SignInCheckbox)"
  Pop $SignInCheckBox
  ${If} $StartAtSignIn = 1
    ${NSD_Check} $SignInCheckBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function SignInPage_Leave
  ${NSD_GetState} $SignInCheckBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $StartAtSignIn 1
  ${Else}
    StrCpy $StartAtSignIn 0
  ${EndIf}
FunctionEnd

; ---- Decisions ----------------------------------------------------------------

; Ends a running Chimewatch as "Exit" would: WM_CLOSE to its hidden main
; window, then up to 5 s for the process to end. Its files cannot be replaced
; or removed while it runs, so if it stays, the user may close it and retry;
; a silent run gives up.
!macro CloseRunningChimewatch un
Function ${un}CloseRunningChimewatch
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_TITLE}"
    ${If} $0 = 0
      Return
    ${EndIf}
    DetailPrint "$(Closing)"
    System::Call "user32::GetWindowThreadProcessId(p r0, *i 0 r1) i"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
    System::Call "user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0) i"
    ${If} $2 P<> 0
      System::Call "kernel32::WaitForSingleObject(p r2, i ${CLOSE_TIMEOUT_MS}) i .r3"
      System::Call "kernel32::CloseHandle(p r2) i"
    ${Else}
      ; Not allowed to wait on the process: watch the window instead.
      StrCpy $3 0
      ${DoWhile} $3 < ${CLOSE_TIMEOUT_MS}
        IsWindow $0 0 closed
        Sleep 100
        IntOp $3 $3 + 100
      ${Loop}
      closed:
    ${EndIf}
    FindWindow $0 "${MAIN_WINDOW_CLASS}" "${MAIN_WINDOW_TITLE}"
    ${If} $0 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY +2
      Abort "$(StillRunning)"
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro CloseRunningChimewatch ""
!insertmacro CloseRunningChimewatch "un."

; Pushes 1 when the stored alerts are to go too: /REMOVEALERTS says so, else
; the user is asked, and the answer is No when nobody can be asked (/S).
Function un.ShouldRemoveAlerts
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEALERTS" $1
  ${IfNot} ${Errors}
    Push 1
    Return
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveAlerts)" /SD IDNO IDYES remove
  Push 0
  Return
  remove:
  Push 1
FunctionEnd

; ---- What it installs -------------------------------------------------------

Section "-Program" SecProgram
  Call CloseRunningChimewatch
  SetOutPath "$INSTDIR"
  File "/oname=chimewatch.exe" "${PROGRAM}"
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  SetOutPath "$INSTDIR\languages"
  File "${LANGUAGES}\*.dll"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Apps & features
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Chimewatch"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "the Chimewatch authors"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\chimewatch.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "-Start menu shortcut" SecShortcut
  CreateShortcut "$SMPROGRAMS\Chimewatch.lnk" "$INSTDIR\chimewatch.exe"
SectionEnd

; A link opens Chimewatch, which asks before it follows the calendar.
Section "-Calendar links" SecLinks
  WriteRegStr HKCU "${LINK_CLASS_KEY}" "" "Calendar to follow"
  WriteRegStr HKCU "${LINK_CLASS_KEY}" "URL Protocol" ""
  WriteRegStr HKCU "${LINK_CLASS_KEY}\DefaultIcon" "" "$INSTDIR\chimewatch.exe,0"
  WriteRegStr HKCU "${LINK_CLASS_KEY}\shell\open\command" "" '"$INSTDIR\chimewatch.exe" "%1"'
  WriteRegStr HKCU "${LINK_CLASS_KEY}\Capabilities" "ApplicationName" "Chimewatch"
  WriteRegStr HKCU "${LINK_CLASS_KEY}\Capabilities" "ApplicationDescription" "Rings the reminders of the calendars you follow."
  WriteRegStr HKCU "${LINK_CLASS_KEY}\Capabilities\URLAssociations" "webcal" "Chimewatch.webcal"
  WriteRegStr HKCU "${REGISTERED_APPS_KEY}" "Chimewatch" "${LINK_CLASS_KEY}\Capabilities"
  ; Another program's webcal stays; Windows' default apps offer ours beside it.
  ReadRegStr $0 HKCU "${WEBCAL_KEY}\shell\open\command" ""
  ${If} $0 == ""
  ${OrIf} $0 == '"$INSTDIR\chimewatch.exe" "%1"'
    WriteRegStr HKCU "${WEBCAL_KEY}" "" "URL:webcal"
    WriteRegStr HKCU "${WEBCAL_KEY}" "URL Protocol" ""
    WriteRegStr HKCU "${WEBCAL_KEY}\DefaultIcon" "" "$INSTDIR\chimewatch.exe,0"
    WriteRegStr HKCU "${WEBCAL_KEY}\shell\open\command" "" '"$INSTDIR\chimewatch.exe" "%1"'
  ${EndIf}
SectionEnd

; An upgrade follows the latest choice, so a cleared box removes an earlier
; entry.
Section "-Start at sign-in" SecSignIn
  ${If} $StartAtSignIn = 1
    WriteRegStr HKCU "${RUN_KEY}" "Chimewatch" '"$INSTDIR\chimewatch.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "Chimewatch"
  ${EndIf}
SectionEnd

; ---- What the uninstaller removes: the same, in the same order ---------------

Section "un.Program"
  Call un.CloseRunningChimewatch
  Delete "$INSTDIR\chimewatch.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$INSTDIR\languages\*.dll"
  RMDir "$INSTDIR\languages"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The program event chimewatch.exe registers for the Sound settings.
  DeleteRegKey HKCU "AppEvents\Schemes\Apps\Chimewatch"
  DeleteRegKey HKCU "AppEvents\EventLabels\ChimewatchAlert"
  ; The links, and the scheme only while it is still ours.
  DeleteRegKey HKCU "${LINK_CLASS_KEY}"
  DeleteRegValue HKCU "${REGISTERED_APPS_KEY}" "Chimewatch"
  ReadRegStr $0 HKCU "${WEBCAL_KEY}\shell\open\command" ""
  ${If} $0 == '"$INSTDIR\chimewatch.exe" "%1"'
    DeleteRegKey HKCU "${WEBCAL_KEY}"
  ${EndIf}
SectionEnd

Section "un.Start menu shortcut"
  Delete "$SMPROGRAMS\Chimewatch.lnk"
SectionEnd

Section "un.Start at sign-in"
  DeleteRegValue HKCU "${RUN_KEY}" "Chimewatch"
SectionEnd

Section "un.Stored alerts"
  Call un.ShouldRemoveAlerts
  Pop $0
  ${If} $0 = 1
    DeleteRegKey HKCU "${ALERTS_KEY}"
  ${EndIf}
SectionEnd
