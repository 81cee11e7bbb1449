; A setup program that does what real setups do, for the end-to-end test of
; kelvora-cli: program files and folders, a changed file, keys and values
; under HKLM\Software\<vendor> and HKCU, an Uninstall entry, shared DLL
; counters raised, a value of several kilobytes and a Unicode file name.
; Built with: makensis -DOUTFILE=<setup.exe> kdemo_setup.nsi
; With -DFAILING it builds instead a setup that ends at once with the exit
; code 5 and changes nothing.
Unicode true
Target amd64-unicode
Name "KDemo"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
InstallDir "$PROGRAMFILES64\KDemo App"

!define SHARED "Software\Microsoft\Windows\CurrentVersion\SharedDLLs"
!define VENDOR "Software\KDemoVendor\KDemo"
!define UNINST "Software\Microsoft\Windows\CurrentVersion\Uninstall\KDemo"

!macro WriteText path text
  FileOpen $0 "${path}" w
  FileWrite $0 "${text}"
  FileClose $0
!macroend

!ifdef FAILING
Function .onInit
  SetErrorLevel 5
  Quit
FunctionEnd
Section
SectionEnd
!else
Section
  SetOutPath "$INSTDIR"
  CreateDirectory "$INSTDIR\data\images"
  !insertmacro WriteText "$INSTDIR\kdemo.exe" "MZ KDemo program"
  !insertmacro WriteText "$INSTDIR\data\readme.txt" "KDemo read me"
  !insertmacro WriteText "$INSTDIR\data\Ünïcødé 文件.txt" "unicode"
  !insertmacro WriteText "$INSTDIR\data\images\logo.bmp" "BM"
  WriteUninstaller "$INSTDIR\uninst.exe"

  ; A file that was there before is rewritten.
  !insertmacro WriteText "$PROGRAMFILES64\KDemoPre\settings.ini" "[KDemo]$\r$\nlanguage=en$\r$\n"

  ; A shared DLL already used by another program: its counter goes up.
  ReadRegDWORD $1 HKLM "${SHARED}" "$COMMONFILES64\KDemoA.dll"
  IntOp $1 $1 + 1
  WriteRegDWORD HKLM "${SHARED}" "$COMMONFILES64\KDemoA.dll" $1
  ; A shared DLL of its own, counted from one.
  !insertmacro WriteText "$COMMONFILES64\KDemoB.dll" "MZ KDemo shared library"
  WriteRegDWORD HKLM "${SHARED}" "$COMMONFILES64\KDemoB.dll" 1

  WriteRegStr HKLM "${VENDOR}" "InstallDir" "$INSTDIR"
  WriteRegDWORD HKLM "${VENDOR}" "Version" 0x0102
  WriteRegStr HKLM "${VENDOR}\Plugins" "" "default"
  WriteRegStr HKCU "${VENDOR}" "Theme" "dark"
  WriteRegStr HKCU "Software\KDemoPre" "Setting" "new"
  DeleteRegValue HKCU "Software\KDemoPre" "Obsolete"
  WriteRegStr HKLM "${UNINST}" "DisplayName" "KDemo App"
  WriteRegStr HKLM "${UNINST}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegDWORD HKLM "${UNINST}" "NoModify" 1

  ; A binary value of 6 KiB (longer than an NSIS string can be).
  System::Call 'advapi32::RegCreateKeyExW(p -2147483646, w "${VENDOR}", i 0, p 0, i 0, i 0xF003F, p 0, *p .r1, p 0) i .r0'
  System::Alloc 6144
  Pop $2
  System::Call 'ntdll::RtlFillMemory(p r2, p 6144, i 0x5A)'
  System::Call 'advapi32::RegSetValueExW(p r1, w "Blob", i 0, i 3, p r2, i 6144) i .r0'
  System::Call 'advapi32::RegCloseKey(p r1)'
  System::Free $2
SectionEnd

Section "Uninstall"
SectionEnd
!endif
