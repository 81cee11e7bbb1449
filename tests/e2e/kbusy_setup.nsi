; A small setup for the busy-machine test (busy_machine_test.sh): built with
; -DAPP=1 or -DAPP=2 and -DOUTFILE=...; it installs KSetupApp<APP> and takes
; a few seconds, while a background program writes.
Unicode true
Target amd64-unicode
Name "KSetupApp${APP}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
InstallDir "$PROGRAMFILES64\KSetupApp${APP}"

!define VENDOR "Software\KSetupVendor\App${APP}"
!define UNINST "Software\Microsoft\Windows\CurrentVersion\Uninstall\KSetupApp${APP}"

Section
  SetOutPath "$INSTDIR"
  FileOpen $0 "$INSTDIR\app.exe" w
  FileWrite $0 "MZ KSetupApp${APP}"
  FileClose $0
  Sleep 1000
  FileOpen $0 "$INSTDIR\readme.txt" w
  FileWrite $0 "KSetupApp${APP}"
  FileClose $0
  WriteRegStr HKLM "${VENDOR}" "InstallDir" "$INSTDIR"
  WriteRegDWORD HKLM "${VENDOR}" "Version" ${APP}
  WriteRegStr HKCU "${VENDOR}" "Theme" "dark"
  WriteRegStr HKLM "${UNINST}" "DisplayName" "KSetupApp${APP}"
  WriteRegStr HKLM "${UNINST}" "UninstallString" "$INSTDIR\uninst.exe"
  WriteUninstaller "$INSTDIR\uninst.exe"
  Sleep 1000
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\app.exe"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${VENDOR}"
  DeleteRegKey HKCU "${VENDOR}"
  DeleteRegKey HKLM "${UNINST}"
SectionEnd
