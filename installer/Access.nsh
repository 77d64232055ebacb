; What ordinary users may do in the installation folder, set through the
; security API of advapi32 (GetNamedSecurityInfoW, SetEntriesInAclW,
; SetNamedSecurityInfoW, ConvertStringSidToSidW: Windows 2000 and later,
; "Minimum supported client: Windows XP" in Microsoft's documentation of
; each). The group is named by its SID, which is the same in every language
; of Windows. Neither command-line tool would do on every version: icacls
; came with Windows Server 2003 SP2 and Vista (Microsoft's icacls
; documentation), and cacls takes account names, which are localised.
;
; Users may read and execute everything in the folder (what Program Files
; passes on to it) and change the files that the product writes at run time
; (Servers.nsh, CorvaneUserFiles). They get no right of their own on the
; folder: it holds the DLLs, Outlook loads them into every user's process,
; the plug-in scan loads every "Zarq*.dll" in it, and the folder of an
; in-process server is searched first for the DLLs that server imports (COM
; loads it with LOAD_WITH_ALTERED_SEARCH_PATH; Microsoft, "Dynamic-link
; library search order"). A user who could add a file there could run code
; in other users' Outlook.
;
; Wine keeps no access lists: it shows one made from the Unix mode and turns
; a list it is given into a mode, so the entries for Users are accepted but
; lost there; the setup's log shows what was set.
;
; Nothing else the setup calls needs more than Windows XP: its plug-ins are
; System (here and in x64.nsh, whose newer calls fall back when missing) and
; the interface's own; it starts only regsvr32 and the uninstaller of an
; earlier installation.

!define SE_FILE_OBJECT 1
!define DACL_SECURITY_INFORMATION 4
!define SET_ACCESS 2
!define REVOKE_ACCESS 4
!define NO_INHERITANCE 0
!define NO_MULTIPLE_TRUSTEE 0
!define TRUSTEE_IS_SID 0
!define TRUSTEE_IS_WELL_KNOWN_GROUP 5
!if ${NSIS_PTR_SIZE} > 4
  !define PTR_PADDING "i 0,"
!else
  !define PTR_PADDING ""
!endif
; Read, write, execute and delete: icacls' "(M)", cacls' "C".
!define MODIFY_RIGHTS 0x1301BF

; Changes the explicit entries of the group Users in the access list of a
; file or folder; the entries it inherits stay. $R9: the path, $R8: the mode
; (SET_ACCESS replaces the group's entries with one that allows the rights in
; $R7; REVOKE_ACCESS removes the group's entries). Leaves the Windows error
; code in $0, 0 when done. Uses $1 to $5.
Function SetUsersAccess
  System::Call 'advapi32::ConvertStringSidToSidW(w "${USERS_SID}", *p .r1) i .r0 ?e'
  Pop $2
  ${If} $0 == 0
    StrCpy $0 $2
    Return
  ${EndIf}
  System::Call 'advapi32::GetNamedSecurityInfoW(w R9, i ${SE_FILE_OBJECT}, i ${DACL_SECURITY_INFORMATION}, \
      p 0, p 0, *p .r2, p 0, *p .r3) i .r0'
  ${If} $0 == 0
    ; EXPLICIT_ACCESS_W with its TRUSTEE_W, whose pointers are aligned to
    ; their size.
    System::Call '*(i R7, i R8, i ${NO_INHERITANCE}, ${PTR_PADDING} \
        p 0, i ${NO_MULTIPLE_TRUSTEE}, i ${TRUSTEE_IS_SID}, i ${TRUSTEE_IS_WELL_KNOWN_GROUP}, ${PTR_PADDING} \
        p r1) p .r4'
    System::Call 'advapi32::SetEntriesInAclW(i 1, p r4, p r2, *p .r5) i .r0'
    System::Free $4
    ${If} $0 == 0
      System::Call 'advapi32::SetNamedSecurityInfoW(w R9, i ${SE_FILE_OBJECT}, i ${DACL_SECURITY_INFORMATION}, \
          p 0, p 0, p r5, p 0) i .r0'
      System::Call 'kernel32::LocalFree(p r5)'
    ${EndIf}
    ; The security descriptor holds the old list ($2).
    System::Call 'kernel32::LocalFree(p r3)'
  ${EndIf}
  System::Call 'kernel32::LocalFree(p r1)'
FunctionEnd

; Reports the outcome of SetUsersAccess ($0) for $R9: $R6 says what the
; group may do now.
Function NoteUsersAccess
  ${If} $0 == 0
    ${Note} "Rechte der Benutzer (${USERS_SID}) an $R9: $R6"
  ${Else}
    ${Note} "Rechte der Benutzer (${USERS_SID}) an $R9 nicht gesetzt (Fehler $0)"
    StrCpy $DeniedAccess 1
  ${EndIf}
FunctionEnd

; No rights of their own for Users on the folder $R9, only the inherited
; ones. Earlier versions of this setup let Users add files to the
; installation folder; installing over such a version removes that.
Function RevokeUsersAccess
  StrCpy $R8 ${REVOKE_ACCESS}
  StrCpy $R7 0
  Call SetUsersAccess
  StrCpy $R6 "keine eigenen, nur geerbte"
  Call NoteUsersAccess
FunctionEnd

; Makes the file $R9 if it is missing (empty) and lets Users change it.
Function GrantUsersModify
  ${IfNot} ${FileExists} "$R9"
    FileOpen $0 "$R9" w
    FileClose $0
  ${EndIf}
  StrCpy $R8 ${SET_ACCESS}
  StrCpy $R7 ${MODIFY_RIGHTS}
  Call SetUsersAccess
  StrCpy $R6 "ändern"
  Call NoteUsersAccess
FunctionEnd

!macro GrantUsersModifyOn NAME
  StrCpy $R9 "$INSTDIR\${NAME}"
  Call GrantUsersModify
!macroend
