; The setup program of Kelvora, made by tools/package.sh:
;   makensis -DVERSION=1.2.3 -DSTAGE=<folder> -DOUTFILE=<setup.exe> -DSIZE_KB=<n> kelvora.nsi
; STAGE holds the files to install and files.nsh, which installs and removes
; them one by one (its two macros): the uninstaller removes exactly what the
; setup made, so the archives and the log that Kelvora keeps beside itself
; stay unless the user asks for them to go too.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define UNINST "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvora"
!define RUN "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS "Software\Varnok\Kelvora"

Name "Kelvora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Kelvora"
; A new version goes where the last one is.
InstallDirRegKey HKLM "${UNINST}" "InstallLocation"
BrandingText "Kelvora ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Kelvora"
VIAddVersionKey /LANG=1033 "CompanyName" "Varnok"
VIAddVersionKey /LANG=1033 "FileDescription" "Kelvora setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) the Kelvora developers"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "${STAGE}/files.nsh"

; makensis works in the folder of this script.
!define MUI_ICON "../src/app/kelvora.ico"
!define MUI_UNICON "../src/app/kelvora.ico"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Kelvora.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
  SetShellVarContext all
  !insertmacro KelvoraInstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Kelvora.lnk" "$INSTDIR\Kelvora.exe"

  WriteRegStr HKLM "${UNINST}" "DisplayName" "Kelvora"
  WriteRegStr HKLM "${UNINST}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST}" "Publisher" "Varnok"
  WriteRegStr HKLM "${UNINST}" "DisplayIcon" "$INSTDIR\Kelvora.exe,0"
  WriteRegStr HKLM "${UNINST}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST}" "EstimatedSize" ${SIZE_KB}
  WriteRegDWORD HKLM "${UNINST}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST}" "NoRepair" 1
SectionEnd

; What Kelvora itself keeps beside itself: the archives, the snapshots and the
; resume marker of a monitoring, the log, the places it learned as the
; machine's activity and those the user added to its catalogue, and the
; temporary files of a save cut short; and the user's settings.
!macro RemoveUserData
  Delete "$INSTDIR\*.qor"
  Delete "$INSTDIR\*.SNS"
  Delete "$INSTDIR\Continue.dat"
  Delete "$INSTDIR\Log.txt"
  Delete "$INSTDIR\Learned.txt"
  Delete "$INSTDIR\Volatile.user.txt"
  Delete "$INSTDIR\*.~*.tmp"
  DeleteRegKey HKCU "${SETTINGS}"
  DeleteRegKey /ifempty HKCU "Software\Varnok"
!macroend

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Kelvora.lnk"
  !insertmacro KelvoraUninstallFiles
  Delete "$INSTDIR\uninstall.exe"
  ; A monitoring left pending starts this copy at the next logon (the Run
  ; value and the logon task of the same name beside it); both go.
  ReadRegStr $0 HKLM "${RUN}" "Kelvora"
  ${If} $0 == "$INSTDIR\Kelvora.exe"
    DeleteRegValue HKLM "${RUN}" "Kelvora"
    nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN Kelvora /F'
    Pop $0
  ${EndIf}
  RMDir "$INSTDIR"
  ; What is left in the folder, and the settings, are the user's: removed
  ; when asked for on the command line or answered so.
  StrCpy $1 0
  ${GetOptions} $CMDLINE "/REMOVEDATA" $0
  ${IfNot} ${Errors}
    StrCpy $1 1
  ${Else}
    EnumRegValue $2 HKCU "${SETTINGS}" 0
    ${If} ${FileExists} "$INSTDIR\*.*"
    ${OrIf} $2 != ""
      MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove the archives of the monitored applications, the log and the settings of Kelvora?$\r$\nWithout the archives Kelvora can no longer uninstall those applications." /SD IDNO IDNO keep
      StrCpy $1 1
      keep:
    ${EndIf}
  ${EndIf}
  ${If} $1 == 1
    !insertmacro RemoveUserData
    RMDir "$INSTDIR"
  ${EndIf}
  DeleteRegKey HKLM "${UNINST}"
SectionEnd
