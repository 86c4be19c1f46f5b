; The per-user installer of Studyhop, made by scripts/windows-build:
;   makensis -DSTAGE=folder -DOUT=setup.exe -DVERSION=x.y -DFILES=files.nsh -DICON=x.ico installer.nsi
; FILES lists the File commands of the programs, FILES.uninstall their removal.
; It needs no administrator rights: the programs go to the user's
; Programs folder, the associations and the uninstall entry to HKCU.
Unicode true
; The 64-bit stub: runs where 32-bit Wine is missing, and on every 64-bit Windows.
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"

Name "Studyhop"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\Studyhop"
InstallDirRegKey HKCU "Software\Studyhop" "InstallDir"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "Studyhop"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "Studyhop のインストーラー"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Studyhop developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\studyhop.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Studyhop を起動する"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Studyhop"

!macro Association EXT CLASS DESCRIPTION
  WriteRegStr HKCU "Software\Classes\${EXT}" "" "${CLASS}"
  WriteRegStr HKCU "Software\Classes\${CLASS}" "" "${DESCRIPTION}"
  WriteRegStr HKCU "Software\Classes\${CLASS}\DefaultIcon" "" "$INSTDIR\studyhop.exe,0"
  ; The program works in the file's folder and opens the chooser on the file.
  WriteRegStr HKCU "Software\Classes\${CLASS}\shell\open\command" "" '"$INSTDIR\studyhop.exe" --open "%1"'
!macroend

!macro RemoveAssociation EXT CLASS
  DeleteRegKey HKCU "Software\Classes\${CLASS}"
  ; The extension is left alone when another program has taken it since.
  ReadRegStr $0 HKCU "Software\Classes\${EXT}" ""
  StrCmp $0 "${CLASS}" 0 +2
    DeleteRegKey HKCU "Software\Classes\${EXT}"
!macroend

Section "Studyhop"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The sample files, into Documents\Studyhop; nothing there is replaced.
  CreateDirectory "$DOCUMENTS\Studyhop"
  SetOutPath "$DOCUMENTS\Studyhop"
  SetOverwrite off
  File "${STAGE}/samples/*.*"
  SetOverwrite on

  ; The Start menu entry starts the program in Documents\Studyhop (its
  ; working folder is the output path set above).
  CreateDirectory "$SMPROGRAMS\Studyhop"
  CreateShortCut "$SMPROGRAMS\Studyhop\Studyhop.lnk" "$INSTDIR\studyhop.exe"
  CreateShortCut "$SMPROGRAMS\Studyhop\Studyhop のアンインストール.lnk" "$INSTDIR\uninstall.exe"

  !insertmacro Association ".qz2" "Studyhop.Questions" "Studyhop 問題ファイル"
  !insertmacro Association ".qzb" "Studyhop.LegacyQuestions" "Studyhop 問題ファイル（旧形式）"
  ; Explorer shows the new associations at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr HKCU "Software\Studyhop" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Studyhop"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Studyhop developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\studyhop.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there, file by file; a folder goes only
; when nothing else is left in it. Documents\Studyhop is the user's: the
; question files there hold the user's statistics, so they stay.
Section "Uninstall"
  !include "${FILES}.uninstall"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Studyhop\Studyhop.lnk"
  Delete "$SMPROGRAMS\Studyhop\Studyhop のアンインストール.lnk"
  RMDir "$SMPROGRAMS\Studyhop"
  !insertmacro RemoveAssociation ".qz2" "Studyhop.Questions"
  !insertmacro RemoveAssociation ".qzb" "Studyhop.LegacyQuestions"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
  DeleteRegKey HKCU "Software\Studyhop"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
