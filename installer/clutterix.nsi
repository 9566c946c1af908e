; The setup program of Clutterix (makensis, from scripts/make-setup.sh, which defines):
;   VERSION   the release, "1.2"        ARCH     x86 or x64: the width of clutterix.exe
;   FILES     an include file with the macros InstallFiles and RemoveFiles of the staged files
;             (clutterix.exe, config\ and images\, as they are installed)
;   ICON      the program's icon, for the setup and the uninstaller
;   SIZE_KB   what the staged files take, for "Programs and Features"
;   OUTFILE   the setup program to write
; It installs for every user of the machine, so it needs administrator rights: its manifest asks
; for them, and without them (Windows XP, or no elevation) it says so and installs nothing.
; The user's settings (general.conf in the local application data) are never touched by the
; setup; the uninstaller asks before removing them, and a silent one keeps them.
; Setup and uninstaller speak the program's languages, each the one of Windows' display language,
; else English; they never ask which (a silent run must not). Their texts are in lang\<language>.nsh.
Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

!define PRODUCT "Clutterix"
!define COMPANY "Torvex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Clutterix"
; The event source of unattended runs, with the message table inside the program.
!define EVENT_SOURCE_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Clutterix"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Every running Clutterix holds this mutex (app/win32/main.cpp).
!define INSTANCE_MUTEX "Local\Torvex Clutterix"
!define SETTINGS_FOLDER "$LOCALAPPDATA\Torvex Clutterix"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if ${ARCH} == x64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; Where an earlier release was installed, the next one goes too.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${COMPANY} ${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "© ${COMPANY}"

!include "${FILES}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(CX_WELCOME)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\clutterix.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(CX_START)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; English first: the setup speaks it where Windows' display language is none of these.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Spanish"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "Turkish"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "SimpChinese"
!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "Dutch"

; The refusals name who refuses, in the words of the sentence: the macros below put the text of
; a LangString (CX_SETUP_SUBJECT and the like) here, and the messages say it as ${what}.
Var What
!define what "$What"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/English.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/German.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/French.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Spanish.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Italian.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/PortugueseBR.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Polish.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Russian.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Turkish.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Japanese.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/SimpChinese.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Korean.nsh"
!include /CHARSET=UTF8 "${__FILEDIR__}/lang/Dutch.nsh"
!undef what

; Aborts (exit code 2) while any Clutterix runs: its files could not be replaced or removed.
; whom: the LangString that names the setup or the uninstaller as what is started again.
!macro RefuseWhileRunning whom
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${INSTANCE_MUTEX}") p .r0'
  ${If} $0 P<> 0
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $What "$(${whom})"
    MessageBox MB_OK|MB_ICONSTOP "$(CX_RUNNING)" /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
!macroend

; Without administrator rights nothing is installed or removed (exit code 740, as Windows gives
; for a program that needs elevation). who: the LangString that names the setup or the
; uninstaller as the one that needs them.
!macro RefuseWithoutAdmin who
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    StrCpy $What "$(${who})"
    MessageBox MB_OK|MB_ICONSTOP "$(CX_NEEDS_ADMIN)" /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

!macro UseMachineViews
  SetShellVarContext all
  !if ${ARCH} == x64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !if ${ARCH} == x64
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "$(CX_64BIT_ONLY)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  !endif
  !insertmacro UseMachineViews
  !insertmacro RefuseWithoutAdmin CX_SETUP_SUBJECT
  !insertmacro RefuseWhileRunning CX_SETUP_OBJECT
FunctionEnd

Section "Clutterix" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; The data of an earlier release goes first, so that none it had and this one lacks stays.
  Delete "$INSTDIR\config\*.cxtraces"
  Delete "$INSTDIR\images\*.jpg"
  Delete "$INSTDIR\lang\*.mo"
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\clutterix.exe" "" "$INSTDIR\clutterix.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\clutterix.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegExpandStr HKLM "${EVENT_SOURCE_KEY}" "EventMessageFile" "$INSTDIR\clutterix.exe"
  WriteRegDWORD HKLM "${EVENT_SOURCE_KEY}" "TypesSupported" 7
SectionEnd

Function un.onInit
  !insertmacro UseMachineViews
  !insertmacro RefuseWithoutAdmin CX_UNINSTALLER_SUBJECT
  !insertmacro RefuseWhileRunning CX_UNINSTALLER_OBJECT
FunctionEnd

Section "Uninstall"
  !insertmacro RemoveFiles
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; The autostart value belongs to this installation only when it starts this program, quoted as
  ; the program writes it, or bare as earlier releases did.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} $0 == "$INSTDIR\clutterix.exe"
  ${OrIf} $0 == '"$INSTDIR\clutterix.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}

  ; The settings stay unless the user asks, in an interactive uninstall, to remove them too.
  SetShellVarContext current
  ${If} ${FileExists} "${SETTINGS_FOLDER}\general.conf"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(CX_REMOVE_SETTINGS)$\r$\n$\r$\n${SETTINGS_FOLDER}\general.conf" /SD IDNO IDNO keep_settings
    Delete "${SETTINGS_FOLDER}\general.conf"
    RMDir "${SETTINGS_FOLDER}"
  keep_settings:
  ${EndIf}
  SetShellVarContext all

  DeleteRegKey HKLM "${EVENT_SOURCE_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
