; corvane's setup program: installs, registers and uninstalls the add-in and
; its COM servers, per machine, in the architecture of the user's Outlook.
;
; makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DBUILD64=<64-bit build folder>
;          -DBUILD32=<32-bit build folder> -DOUTDIR=<folder> corvane.nsi
; (installer/build-installer.sh passes them; `make dist` calls it).
;
; Switches: /S silent; /x64 or /x86 forces the architecture (default: the
; installed Outlook's); /LOG=<file> writes the setup's messages (the lines
; of its details list) to a file as well; /D=<folder> another installation
; folder.
; Uninstaller: /S silent (keeps the configuration file); /REMOVECONFIG
; removes the configuration file and its backup as well.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION | BUILD64 | BUILD32 | OUTDIR
  !error "VERSION, BUILD64, BUILD32 and OUTDIR must be defined"
!endif

!define PRODUCT "corvane"
!define PUBLISHER "Wendmoor"
!define CONFIG_FILE "notifyfolders.ini"
!define PRODUCT_KEY "SOFTWARE\Wendmoor\Corvane"
!define ADDIN_KEY "Software\Microsoft\Office\Outlook\Addins\corvane.Tarnwell"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\corvane"
!define UNINSTALLER "uninstall.exe"
; The built-in group "Users", by its SID: the same on every language.
!define USERS_SID "S-1-5-32-545"

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "x64.nsh"
!include "MUI2.nsh"
!include "Servers.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTDIR}\corvane-setup-${VERSION}.exe"
; With a certificate (build-installer.sh defines SIGN_COMMAND), the
; uninstaller the setup writes is signed too: makensis runs the command on
; it before it stores the uninstaller in the setup.
!ifdef SIGN_COMMAND
  !uninstfinalize '${SIGN_COMMAND} "%1"' = 0
!endif
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1031 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1031 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "${PUBLISHER}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Var Arch      ; 64 or 32: the DLLs and the registry view being installed
Var Failed    ; 1 when a server could not be registered
Var DeniedAccess ; 1 when the access rights could not be set
Var SetupLog  ; handle of the /LOG file, empty without one

; ---------------------------------------------------------------------------
; The setup's messages: a line of the details list, and of the /LOG file.

!macro NoteCall TEXT
  Push "${TEXT}"
  Call Note
!macroend
!define Note "!insertmacro NoteCall"

Function Note
  Exch $0
  DetailPrint $0
  ${If} $SetupLog != ""
    FileWriteUTF16LE $SetupLog "$0$\r$\n"
  ${EndIf}
  Pop $0
FunctionEnd

Function CloseSetupLog
  ${If} $SetupLog != ""
    FileClose $SetupLog
    StrCpy $SetupLog ""
  ${EndIf}
FunctionEnd

Function .onInstSuccess
  Call CloseSetupLog
FunctionEnd

Function .onInstFailed
  Call CloseSetupLog
FunctionEnd

!include "Access.nsh"

; ---------------------------------------------------------------------------
; Shared by installer and uninstaller

; regsvr32 of the installed architecture. $R8: switches, $R9: the DLL.
; Leaves regsvr32's exit code in $0 (a code of its own when it did not run).
!macro RunRegsvr32 UN
Function ${UN}RunRegsvr32
  ClearErrors
  ${If} $Arch == 64
    ${DisableX64FSRedirection}
    ExecWait '"$SYSDIR\regsvr32.exe" $R8 "$R9"' $0
    ${EnableX64FSRedirection}
  ${Else}
    ExecWait '"$SYSDIR\regsvr32.exe" $R8 "$R9"' $0
  ${EndIf}
  IfErrors 0 +2
    StrCpy $0 "not started"
FunctionEnd
!macroend
!insertmacro RunRegsvr32 ""
!insertmacro RunRegsvr32 "un."

!macro UseArchView
  ${If} $Arch == 64
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
!macroend

; ---------------------------------------------------------------------------
; Installer

; Sets $Arch to 64 when a registry value of the 64-bit view says "x64".
; Stack: the key (pushed first), the value's name.
Function DetectX64Value
  Exch $1
  Exch
  Exch $0
  ReadRegStr $0 HKLM $0 $1
  ${If} $0 == "x64"
    StrCpy $Arch 64
  ${EndIf}
  Pop $0
  Pop $1
FunctionEnd

; The architecture of the installed Outlook: 64 when a 64-bit Office says
; "Bitness" = "x64" (Outlook 2010 and later) or its Click-to-Run
; configuration says "Platform" = "x64", else 32 (Outlook 2000 and every
; 32-bit Outlook).
Function DetectOutlookArch
  StrCpy $Arch 32
  ${IfNot} ${RunningX64}
    Return
  ${EndIf}
  SetRegView 64
  ${ForEach} $2 16 14 - 1
    Push "SOFTWARE\Microsoft\Office\$2.0\Outlook"
    Push "Bitness"
    Call DetectX64Value
  ${Next}
  ; Click-to-Run installations keep their own view of the Office keys:
  ; Office 2016 and later under Office\ClickToRun, Office 2013 under its
  ; version's key, Office\15.0\ClickToRun (Microsoft's Office 2013
  ; Click-to-Run deployment documentation: value "Platform", "x86" or
  ; "x64").
  Push "SOFTWARE\Microsoft\Office\ClickToRun\Configuration"
  Push "Platform"
  Call DetectX64Value
  Push "SOFTWARE\Microsoft\Office\15.0\ClickToRun\Configuration"
  Push "Platform"
  Call DetectX64Value
  SetRegView 32
FunctionEnd

Function .onInit
  ${GetParameters} $R0
  StrCpy $SetupLog ""
  ClearErrors
  ${GetOptions} $R0 "/LOG=" $0
  ${IfNot} ${Errors}
    ClearErrors
    FileOpen $SetupLog "$0" w
    ${If} ${Errors}
      StrCpy $SetupLog ""
      MessageBox MB_ICONSTOP "Das Protokoll $0 kann nicht geschrieben werden." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    ; UTF-16 with its byte order mark: readable whatever the code page.
    FileWriteUTF16LE /BOM $SetupLog ""
  ${EndIf}
  Call DetectOutlookArch
  ClearErrors
  ${GetOptions} $R0 "/x64" $0
  ${IfNot} ${Errors}
    StrCpy $Arch 64
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/x86" $0
  ${IfNot} ${Errors}
    StrCpy $Arch 32
  ${EndIf}
  ${If} $Arch == 64
  ${AndIfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Die 64-Bit-Version kann nur unter 64-Bit-Windows installiert werden." /SD IDOK
    Call CloseSetupLog
    SetErrorLevel 2
    Quit
  ${EndIf}
  ; /D= sets the folder before this function runs; otherwise Program Files
  ; of the architecture being installed.
  ${If} $INSTDIR == ""
    ${If} $Arch == 64
      StrCpy $INSTDIR "$PROGRAMFILES64\Wendmoor\Corvane"
    ${Else}
      StrCpy $INSTDIR "$PROGRAMFILES32\Wendmoor\Corvane"
    ${EndIf}
  ${EndIf}
  StrCpy $Failed 0
  StrCpy $DeniedAccess 0
FunctionEnd

!macro InstallServer NAME
  ${If} $Arch == 64
    File "/oname=${NAME}" "${BUILD64}\bin\${NAME}"
  ${Else}
    File "/oname=${NAME}" "${BUILD32}\bin\${NAME}"
  ${EndIf}
  StrCpy $R8 "/s"
  StrCpy $R9 "$INSTDIR\${NAME}"
  Call RunRegsvr32
  ${If} $0 == 0
    ${Note} "Registriert: ${NAME}"
  ${Else}
    ${Note} "Registrierung fehlgeschlagen ($0): ${NAME}"
    StrCpy $Failed 1
  ${EndIf}
!macroend

; Outlook changed its architecture since the last installation: the
; installation of the other architecture is removed (its uninstaller keeps
; the configuration) and its configuration file moves into the new folder.
Function RemoveOtherArchitecture
  ${IfNot} ${RunningX64}
    Return
  ${EndIf}
  ${If} $Arch == 64
    SetRegView 32
  ${Else}
    SetRegView 64
  ${EndIf}
  ReadRegStr $R5 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  !insertmacro UseArchView
  ${If} $R5 == ""
  ${OrIfNot} ${FileExists} "$R5\${UNINSTALLER}"
    Return
  ${EndIf}
  ${Note} "Entferne die Installation in $R5"
  ; _?= runs the uninstaller in place, so that ExecWait waits for it.
  ExecWait '"$R5\${UNINSTALLER}" /S _?=$R5' $0
  Delete "$R5\${UNINSTALLER}"
  ${If} $R5 != $INSTDIR
    CreateDirectory "$INSTDIR"
    ${IfNot} ${FileExists} "$INSTDIR\${CONFIG_FILE}"
      Rename "$R5\${CONFIG_FILE}" "$INSTDIR\${CONFIG_FILE}"
      Rename "$R5\${CONFIG_FILE}.bak" "$INSTDIR\${CONFIG_FILE}.bak"
    ${EndIf}
    RMDir "$R5"
    ${GetParent} "$R5" $0
    ${GetFileName} "$0" $1
    ${If} $1 == "Wendmoor"
      RMDir "$0"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "corvane"
  SetShellVarContext all
  Call RemoveOtherArchitecture
  !insertmacro UseArchView
  SetOutPath "$INSTDIR"

  ; The uninstaller and its entry first: a failed installation can be
  ; removed like a complete one.
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\corvane.dll"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Program Files is read-only for ordinary users, but the add-in rewrites
  ; its configuration file and backup in place and the components append to
  ; their logs in this folder: users may change exactly those files, made
  ; here if they are missing, and add nothing to the folder (Access.nsh).
  StrCpy $R9 "$INSTDIR"
  Call RevokeUsersAccess
  !insertmacro CorvaneUserFiles GrantUsersModifyOn
  ; Earlier versions of this setup made a log for rovane.dll too, which
  ; writes none.
  Delete "$INSTDIR\rovane.log"

  !insertmacro CorvaneServers InstallServer

  ; Where the property page looks for plug-ins.
  WriteRegStr HKLM "${PRODUCT_KEY}" "PluginPath" "$INSTDIR"
  ; Outlook loads the add-in at start-up.
  WriteRegStr HKLM "${ADDIN_KEY}" "FriendlyName" "corvane"
  WriteRegStr HKLM "${ADDIN_KEY}" "Description" "Meldet neue Elemente in überwachten Outlook-Ordnern"
  WriteRegDWORD HKLM "${ADDIN_KEY}" "LoadBehavior" 3

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $Failed != 0
    MessageBox MB_ICONSTOP "Nicht alle Komponenten konnten registriert werden. Details stehen im Protokoll der Installation." /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
  ${If} $DeniedAccess != 0
    MessageBox MB_ICONSTOP "Nicht alle Zugriffsrechte konnten gesetzt werden. Details stehen im Protokoll der Installation." /SD IDOK
    SetErrorLevel 4
    Abort
  ${EndIf}
SectionEnd

; ---------------------------------------------------------------------------
; Uninstaller

; The architecture of this installation: the one whose registry view holds
; an uninstall entry for this folder. Both paths are compared in their short
; form: the uninstaller may see its folder spelled differently.
Function un.onInit
  StrCpy $Arch 32
  ${If} ${RunningX64}
    SetRegView 64
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    SetRegView 32
    ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
      GetFullPathName /SHORT $1 "$0"
      GetFullPathName /SHORT $2 "$INSTDIR"
      ${If} $1 == $2
      ${OrIf} $3 == ""
        StrCpy $Arch 64
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

!macro UninstallServer NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    StrCpy $R8 "/u /s"
    StrCpy $R9 "$INSTDIR\${NAME}"
    Call un.RunRegsvr32
    ${If} $0 != 0
      DetailPrint "Abmelden fehlgeschlagen ($0): ${NAME}"
    ${EndIf}
  ${EndIf}
  Delete "$INSTDIR\${NAME}"
  ${GetBaseName} "${NAME}" $R7
  Delete "$INSTDIR\$R7.log"
!macroend

; Removes the configuration file (or its backup) when the user asked for it
; or when it holds nothing: an empty file is the one the installer made.
; $R9: the file, $R6: 1 when the user asked.
Function un.RemoveConfigFile
  ${If} $R6 == 1
    Delete "$R9"
    Return
  ${EndIf}
  ClearErrors
  FileOpen $0 "$R9" r
  ${IfNot} ${Errors}
    FileSeek $0 0 END $1
    FileClose $0
    ${If} $1 == 0
      Delete "$R9"
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro UseArchView

  !insertmacro CorvaneServers UninstallServer

  DeleteRegKey HKLM "${ADDIN_KEY}"
  ; Outlook's keys above it, when the setup made them (no Outlook there).
  DeleteRegKey /ifempty HKLM "Software\Microsoft\Office\Outlook\Addins"
  DeleteRegKey /ifempty HKLM "Software\Microsoft\Office\Outlook"
  DeleteRegKey /ifempty HKLM "Software\Microsoft\Office"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "PluginPath"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Wendmoor"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall"

  ; The user's configuration stays unless asked for (a silent uninstall
  ; keeps it; /REMOVECONFIG removes it).
  StrCpy $R6 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVECONFIG" $0
  ${IfNot} ${Errors}
    StrCpy $R6 1
  ${ElseIf} ${FileExists} "$INSTDIR\${CONFIG_FILE}"
    MessageBox MB_YESNO|MB_ICONQUESTION "Sollen auch die Einstellungen der überwachten Ordner (${CONFIG_FILE}) gelöscht werden?" /SD IDNO IDNO +2
      StrCpy $R6 1
  ${EndIf}
  StrCpy $R9 "$INSTDIR\${CONFIG_FILE}"
  Call un.RemoveConfigFile
  StrCpy $R9 "$INSTDIR\${CONFIG_FILE}.bak"
  Call un.RemoveConfigFile
  ; Left-overs of an interrupted save.
  Delete "$INSTDIR\${CONFIG_FILE}.new"
  Delete "$INSTDIR\${CONFIG_FILE}.bak.new"

  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ; The publisher's folder, when it is ours and nothing else is left in it.
  ${GetParent} "$INSTDIR" $0
  ${GetFileName} "$0" $1
  ${If} $1 == "Wendmoor"
    RMDir "$0"
  ${EndIf}
SectionEnd
