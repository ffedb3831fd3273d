; The Windows installer of Inventario, made by scripts/windows-installer.sh:
;   makensis -DVERSION=x.y.z -DSTAGE=<folder> -DOUTFILE=<setup.exe> inventario.nsi
; Per machine, into C:\Inventario, which the Users group may change: the
; program keeps term.ini, its logs and the inventory files beside itself.
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

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Inventario"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  !include "${STAGE}\install.nsh"
  ; Users (S-1-5-32-545, whatever the language of Windows) may change files here.
  nsExec::ExecToLog 'icacls "$INSTDIR" /grant *S-1-5-32-545:(OI)(CI)M /C'
  Pop $0
  DetailPrint "icacls: $0"
  WriteUninstaller "$INSTDIR\uninstall.exe"
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
  ; left when the operator's own files are still there
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Inventario\*.lnk"
  RMDir "$SMPROGRAMS\Inventario"
  Delete "$DESKTOP\Inventario.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
