; The Windows installer of Inventario, made by scripts/windows-installer.sh:
;   makensis -DVERSION=x.y.z -DSTAGE=<folder> -DOUTFILE=<setup.exe> inventario.nsi
; Per machine, into C:\Inventario. The program's own files are read and
; execute only for Users; Users may add files to the folder (the inventory
; files and workbooks, each then theirs to change) and change term.ini,
; LogErrori.TXT and LOGSalvaRiga.Dat, which the installer lays out empty when
; absent. Every icacls command and its exit code go to LogInstallazione.txt;
; a failure stops the install (setup.exe /S then ends with a non-zero code).
; Silent: setup.exe /S (and /D=FOLDER for another folder). The uninstaller
; removes what was installed and leaves term.ini, the logs and the files.
; A 64-bit installer for the 64-bit program (it needs no 32-bit Windows layer).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

Name "Inventario ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "C:\Inventario"
BrandingText "Inventario ${VERSION}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Inventario"
; Well-known SIDs, the same in every language of Windows ("Utenti" in Italian).
!define SYSTEM "*S-1-5-18"
!define ADMINS "*S-1-5-32-544"
!define USERS "*S-1-5-32-545"
!define CREATOR_OWNER "*S-1-3-0"
!define INSTALL_LOG "$INSTDIR\LogInstallazione.txt"

; Icacls ARGUMENTS: runs Windows' own icacls, logs the command and its exit
; code, and stops the install on anything but 0.
!macro Icacls ARGUMENTS
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" ${ARGUMENTS}'
  Pop $0
  FileOpen $1 "${INSTALL_LOG}" a
  FileSeek $1 0 END
  FileWrite $1 'icacls ${ARGUMENTS} -> $0$\r$\n'
  FileClose $1
  StrCmp $0 "0" +4
    MessageBox MB_ICONSTOP|MB_OK `Impossibile impostare i permessi di $INSTDIR (icacls ${ARGUMENTS}: $0). Installazione interrotta.` /SD IDOK
    SetErrorLevel 2
    Abort "icacls: $0"
!macroend

; Operator FILE: laid out empty when absent (kept as it is otherwise), then
; Users may change that file alone.
!macro OperatorFile FILE
  IfFileExists "$INSTDIR\${FILE}" +7
    FileOpen $1 "$INSTDIR\${FILE}" w
    FileClose $1
    FileOpen $1 "${INSTALL_LOG}" a
    FileSeek $1 0 END
    FileWrite $1 'creato ${FILE}$\r$\n'
    FileClose $1
  !insertmacro Icacls '"$INSTDIR\${FILE}" /grant ${USERS}:M'
!macroend

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Inventario"
  SetShellVarContext all
  CreateDirectory "$INSTDIR"
  Delete "${INSTALL_LOG}"
  ; The folder's rights first, before any file lands in it: nothing from the
  ; parent (C:\ lets Authenticated Users change what is made under it),
  ; read and execute for Users, all for the system and the administrators,
  ; and to whoever adds a file, the right to change that file.
  !insertmacro Icacls '"$INSTDIR" /inheritance:r /grant:r ${SYSTEM}:(OI)(CI)F ${ADMINS}:(OI)(CI)F ${USERS}:(OI)(CI)RX ${CREATOR_OWNER}:(OI)(IO)M'
  ; Users may add files to the folder itself (not to its subfolders).
  !insertmacro Icacls '"$INSTDIR" /grant ${USERS}:(WD)'
  SetOutPath "$INSTDIR"
  !include "${STAGE}\install.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; What an earlier install or a user set on the files inside goes: they
  ; take the folder's rights alone (an upgrade over a folder Users could change).
  !insertmacro Icacls '"$INSTDIR\*" /reset /T /Q'
  !insertmacro OperatorFile "term.ini"
  !insertmacro OperatorFile "LogErrori.TXT"
  !insertmacro OperatorFile "LOGSalvaRiga.Dat"
  CreateDirectory "$SMPROGRAMS\Inventario"
  CreateShortcut "$SMPROGRAMS\Inventario\Inventario.lnk" "$INSTDIR\inventario.exe" "" "$INSTDIR\inventario.exe" 0
  CreateShortcut "$SMPROGRAMS\Inventario\Inventario (demo).lnk" "$INSTDIR\demo.cmd" "" "$INSTDIR\inventario.exe" 0 SW_SHOWMINIMIZED
  CreateShortcut "$SMPROGRAMS\Inventario\Guida.lnk" "$INSTDIR\Guida.txt"
  CreateShortcut "$SMPROGRAMS\Inventario\Disinstalla Inventario.lnk" "$INSTDIR\uninstall.exe"
  CreateShortcut "$DESKTOP\Inventario.lnk" "$INSTDIR\inventario.exe" "" "$INSTDIR\inventario.exe" 0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Inventario"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !include "${STAGE}\uninstall.nsh"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$INSTDIR\LogInstallazione.txt"
  ; left when the operator's own files are still there
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Inventario\*.lnk"
  RMDir "$SMPROGRAMS\Inventario"
  Delete "$DESKTOP\Inventario.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
