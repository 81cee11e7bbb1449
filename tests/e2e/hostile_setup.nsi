; A setup program that writes what an undo package finds hardest: every
; registry value type, Unicode key, value and file names, names with %, ^,
; &, !, quotes and spaces (% only in registry names: Wine 8's command
; processor cannot take it in a batch file's names), a path beyond 260 characters, a value changed to
; another type, a deleted value and a deleted key. For the end-to-end test of
; the undo package. Built with: makensis -DOUTFILE=<setup.exe> hostile_setup.nsi
Unicode true
Target amd64-unicode
Name "KHostile"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
InstallDir "$PROGRAMFILES64\KHostile ^&! 'q'"

!define KEY "Software\KHostile"
; 120 + 120 characters: with the install folder the file's path is beyond 260.
!define L120 "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL"
!define M120 "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM"

!macro WriteText path text
  FileOpen $0 "${path}" w
  FileWrite $0 "${text}"
  FileClose $0
!macroend

; A value of any type: its data made by System's struct syntax.
!macro RawValue name type struct count
  System::Call 'advapi32::RegCreateKeyExW(p -2147483646, w "${KEY}", i 0, p 0, i 0, i 0xF003F, p 0, *p .r1, p 0) i .r0'
  System::Call '*(${struct}) p .r2'
  System::Call 'advapi32::RegSetValueExW(p r1, w "${name}", i 0, i ${type}, p r2, i ${count}) i .r0'
  System::Call 'advapi32::RegCloseKey(p r1)'
  System::Free $2
!macroend

Section
  SetOutPath "$INSTDIR"
  !insertmacro WriteText "$INSTDIR\f & g^h!i 'q'.txt" "hostile"
  CreateDirectory "$INSTDIR\Ünïcødé 文件夹"
  !insertmacro WriteText "$INSTDIR\Ünïcødé 文件夹\файл ü.txt" "unicode"
  ; A folder and file beyond MAX_PATH, through the \\?\ form.
  System::Call 'kernel32::CreateDirectoryW(w "\\?\$INSTDIR\${L120}", p 0)'
  System::Call 'kernel32::CreateDirectoryW(w "\\?\$INSTDIR\${L120}\${M120}", p 0)'
  !insertmacro WriteText "\\?\$INSTDIR\${L120}\${M120}\deep file.txt" "deep"

  WriteRegStr HKLM "${KEY}" "Text $\"quoted$\" ^&! %PATH%" "it's $\"quoted$\" \ ^&! %PATH%"
  WriteRegStr HKLM "${KEY}" "" "default ü 文"
  WriteRegExpandStr HKLM "${KEY}" "Expand" "%SystemRoot%\system32;ü"
  WriteRegMultiStr /REGEDIT5 HKLM "${KEY}" "Multi" 6f,00,6e,00,65,00,00,00,fc,00,00,00,00,00
  WriteRegBin HKLM "${KEY}" "Binary" 480069ff00
  WriteRegDWORD HKLM "${KEY}" "Dword" 0xFFFFFFFF
  !insertmacro RawValue "Qword" 11 "l 0x0807060504030201" 8
  !insertmacro RawValue "None" 0 "&i2 0xFECA" 2
  WriteRegStr HKLM "${KEY}\Ünïcødé 键 100% ^&!" "值 ü" "ünï"
  WriteRegStr HKCU "Software\KHostilePre" "Changed" "new"
  WriteRegDWORD HKCU "Software\KHostilePre" "Retyped" 7
  DeleteRegValue HKCU "Software\KHostilePre" "Gone $\"q$\" ü"
  DeleteRegKey HKCU "Software\KHostilePre\Gone key ü"
SectionEnd
