; A 32-bit setup program (makensis's default target), for the end-to-end
; tests of setups that write through the redirection of 32-bit programs on
; 64-bit Windows: its Program Files folder is "Program Files (x86)", its
; system folder SysWOW64, and its keys under HKLM\Software land below
; Software\Wow6432Node; HKCU\Software is shared.
; Built with: makensis -DOUTFILE=<setup.exe> kdemo32_setup.nsi
Unicode true
Name "KDemo32"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
InstallDir "$PROGRAMFILES\KDemo32 App"

!define VENDOR "Software\KDemo32Vendor"
!define UNINST "Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo32"

!macro WriteText path text
  FileOpen $0 "${path}" w
  FileWrite $0 "${text}"
  FileClose $0
!macroend

Section
  SetOutPath "$INSTDIR"
  !insertmacro WriteText "$INSTDIR\kdemo32.exe" "MZ KDemo32 program"
  CreateDirectory "$INSTDIR\data"
  !insertmacro WriteText "$INSTDIR\data\readme.txt" "KDemo32 read me"
  WriteUninstaller "$INSTDIR\uninst.exe"
  ; A library in the system folder of 32-bit programs.
  !insertmacro WriteText "$SYSDIR\kdemo32.dll" "MZ KDemo32 library"

  WriteRegStr HKLM "${VENDOR}" "InstallDir" "$INSTDIR"
  WriteRegDWORD HKLM "${VENDOR}\Options" "Level" 3
  WriteRegStr HKCU "${VENDOR}" "Theme" "light"
  WriteRegStr HKLM "${UNINST}" "DisplayName" "KDemo32 App"
  WriteRegStr HKLM "${UNINST}" "UninstallString" '"$INSTDIR\uninst.exe"'
SectionEnd

Section "Uninstall"
SectionEnd
