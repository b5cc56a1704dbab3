; The Windows installer of tarvok.exe and tarvokctl.exe, made by
; scripts/package-windows.sh with Debian's makensis: program folder, Start-menu entry,
; uninstaller, and the entry in Windows' list of installed programs.
; Defines from the script: VERSION, STAGE (the folder of files to install), OUTFILE.
; 64-bit, as tarvok.exe is.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

Name "Tarvok ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tarvok"
InstallDirRegKey HKLM "Software\Tarvok" "InstallDir"
BrandingText "Tarvok ${VERSION}"
Icon "${STAGE}\..\tarvok.ico"
UninstallIcon "${STAGE}\..\tarvok.ico"

LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\English.nlf"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvok"

Section "Tarvok"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\tarvok.exe"
  File "${STAGE}\tarvokctl.exe"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\OFL.txt"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Tarvok.lnk" "$INSTDIR\tarvok.exe"
  WriteRegStr HKLM "Software\Tarvok" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tarvok"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Tarvok developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tarvok.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Tarvok.lnk"
  Delete "$INSTDIR\tarvok.exe"
  Delete "$INSTDIR\tarvokctl.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\OFL.txt"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Tarvok"
SectionEnd
