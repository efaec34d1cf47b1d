; Per-user setup program for Scrollwick Companion. Built by CMake (target companion_installer),
; which passes every name and number below on makensis's command line:
;   VERSION, VERSION_QUAD, PRODUCT, PUBLISHER, COPYRIGHT  the release, from project()
;   PROGRAM, ICON, LICENSE_FILE, NOTICES_FILE             files to pack
;   OUTFILE                                               the setup program to write
;
; It needs no administrator: everything goes under the user's own profile and registry hive.

Unicode true
; The program is 64-bit only, so its setup program is too.
Target amd64-unicode
; NSIS's own hardening against DLLs planted beside a downloaded setup program: the stub limits
; the DLL search to System32 before it loads anything by name, and plug-ins are loaded by full
; path from the setup program's private temporary folder. This script adds no plug-in of its own
; and calls no DLL by name, so nothing it does widens that search.
ManifestDPIAware true
ManifestSupportedOS Win10
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define EXE "ScrollwickCompanion.exe"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ScrollwickCompanion"
; The value the program writes for "Start with Windows".
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "ScrollwickCompanion"
; The running companion's window, as --quit finds it.
!define COMPANION_CLASS "ScrollwickCompanion.V1"
!define PREFERENCES_PARENT "$LOCALAPPDATA\Scrollwick"
!define PREFERENCES_FOLDER "${PREFERENCES_PARENT}\Companion"
; How long to wait for a running companion to go, in steps of 100 ms.
!define CLOSE_STEPS 150

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION} for you alone; it needs no administrator.$\r$\n$\r$\nIf the companion is running, Setup closes it first.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT} now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION_QUAD}"
VIFileVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION_QUAD}"
VIAddVersionKey "ProductVersion" "${VERSION_QUAD}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey "OriginalFilename" "ScrollwickCompanion-Setup.exe"

; Closes a running companion and waits, within a bound, until its program file is free, so that
; it can be replaced or removed. The installed copy's own --quit does the closing; a companion
; started from elsewhere (with none installed here) gets the WM_CLOSE that --quit would post.
!macro DEFINE_CLOSE_COMPANION PREFIX
Function ${PREFIX}CloseCompanion
  FindWindow $0 "${COMPANION_CLASS}" "${PRODUCT}"
  ${If} $0 = 0
    Return
  ${EndIf}
  DetailPrint "Closing the running ${PRODUCT}"
  ${If} ${FileExists} "$INSTDIR\${EXE}"
    ExecWait '"$INSTDIR\${EXE}" --quit'
  ${Else}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${COMPANION_CLASS}" "${PRODUCT}"
    ${If} $0 = 0
      ; The window goes first; the file stays in use until the process has ended too.
      ${IfNot} ${FileExists} "$INSTDIR\${EXE}"
        ${Break}
      ${EndIf}
      ClearErrors
      FileOpen $2 "$INSTDIR\${EXE}" a
      ${IfNot} ${Errors}
        FileClose $2
        ${Break}
      ${EndIf}
    ${EndIf}
    ${If} $1 >= ${CLOSE_STEPS}
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is still running. Please choose Exit from its menu and try again." /SD IDOK
      Abort
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_COMPANION ""
!insertmacro DEFINE_CLOSE_COMPANION "un."

Section "${PRODUCT}"
  SetShellVarContext current
  Call CloseCompanion
  SetOutPath "$INSTDIR"
  File "/oname=${EXE}" "${PROGRAM}"
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
  File "/oname=THIRD-PARTY-NOTICES.txt" "${NOTICES_FILE}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}",0'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.CloseCompanion
  ; "Start with Windows" of this copy would otherwise start a missing file at every logon. A
  ; value that names another copy of the program is that copy's and stays.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\${EXE}"'
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Never recursive: the folder may hold files the user put there.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The preferences are the user's; they stay unless the user says otherwise (and always in a
  ; silent uninstall).
  ${If} ${FileExists} "${PREFERENCES_FOLDER}\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your ${PRODUCT} preferences?$\r$\n$\r$\nChoose No to keep them for a later installation." /SD IDNO IDNO keep_preferences
    RMDir /r "${PREFERENCES_FOLDER}"
    RMDir "${PREFERENCES_PARENT}"
    keep_preferences:
  ${EndIf}
SectionEnd
