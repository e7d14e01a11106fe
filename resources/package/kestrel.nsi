; The Windows setup program: a per-user install (no administrator rights) into
; %LOCALAPPDATA%\Programs\Kestrel, as Kestrel4 writes Kestrel4.ini and its item libraries
; beside itself. scripts/package.sh defines VERSION, STAGE (the files to install), FILES (the
; File and Delete lines made from resources/package/contents.txt), ICON and OUTFILE.
; The programs are 64-bit Windows programs, and so is their setup.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "Kestrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrel"
!define MENU_FOLDER "$SMPROGRAMS\Kestrel"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kestrel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
AllowSkipFiles off

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Kestrel setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Kestrel4's main window is a dialog titled "Kestrel". Files in use cannot be replaced, and
; a half-replaced program is worse than none: ask the user to close it, or fail when silent.
!macro CLOSE_KESTREL4
  ${Do}
    FindWindow $0 "#32770" "Kestrel"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      SetErrorLevel 3
      Quit
    ${EndIf}
    ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Kestrel is running. Close it, then choose Retry." IDCANCEL`
      SetErrorLevel 3
      Quit
    ${EndIf}
  ${Loop}
!macroend

Function .onInit
  !insertmacro CLOSE_KESTREL4
FunctionEnd

Section "Kestrel"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortcut "${MENU_FOLDER}\Kestrel.lnk" "$INSTDIR\Kestrel4.exe"
  CreateShortcut "${MENU_FOLDER}\Glyphpad.lnk" "$INSTDIR\Glyphpad.exe"
  CreateShortcut "${MENU_FOLDER}\Kestrel manual.lnk" "$INSTDIR\Kestrel4.html"

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kestrel4.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  !insertmacro CLOSE_KESTREL4
FunctionEnd

; What the user made stays unless asked: the settings, the item libraries (starter items
; included, which may have been redrawn), logos, sets and setting files. Silent uninstalls
; remove them only with /REMOVEUSERFILES.
Function un.RemoveUserFiles
  Delete "$INSTDIR\Kestrel4.ini"
  Delete "$INSTDIR\cursor\*.crs"
  Delete "$INSTDIR\stamp\*.stp"
  Delete "$INSTDIR\*.lgo"
  Delete "$INSTDIR\*.csp"
  Delete "$INSTDIR\*.kst"
  Delete "$INSTDIR\*.bmp"
  RMDir "$INSTDIR\cursor"
  RMDir "$INSTDIR\stamp"
FunctionEnd

Section "Uninstall"
  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "${MENU_FOLDER}\Kestrel.lnk"
  Delete "${MENU_FOLDER}\Glyphpad.lnk"
  Delete "${MENU_FOLDER}\Kestrel manual.lnk"
  RMDir "${MENU_FOLDER}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEUSERFILES" $1
  ${IfNot} ${Errors}
    Call un.RemoveUserFiles
  ${ElseIfNot} ${Silent}
    ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your settings, cursors, stamps, logos and setting files?" IDYES`
      Call un.RemoveUserFiles
    ${EndIf}
  ${EndIf}
  RMDir "$INSTDIR\cursor"
  RMDir "$INSTDIR\stamp"
  RMDir "$INSTDIR"
SectionEnd
