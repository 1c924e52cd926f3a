; velmora-2.0-setup.exe: installs Velmora for the current user only, with no
; administrator rights, into %LOCALAPPDATA%\Programs\Velmora, registers the
; ".zol" file type and the folder verbs "Encriptar..." and "Encriptar
; (seguro)..." for that user, and adds an entry to the user's list of
; installed programs. Velmora is free software under the MIT licence, shown
; before installing. Silent with /S.
;
; makensis -DDIST=<folder with the files> -DICON=<padlock.ico> -DOUTFILE=<setup.exe> velmora.nsi

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define PRODUCT "Velmora"
!define VERSION "2.0"
!define CLASSES "Software\Classes"
!define PROG_ID "Velmor.velmora"
!define VERB_KEY "Directory\shell\Encriptar..."
!define SEALED_VERB_KEY "Directory\shell\Encriptar (seguro)..."
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
; SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, NULL, NULL)
!define NOTIFY_ASSOCIATIONS "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmora"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${DIST}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

VIProductVersion "2.0.0.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "2.0.0.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de ${PRODUCT} ${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "Copyright (c) 2026 Velmora maintainers. MIT License"

Section "Velmora"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${DIST}\velmora.exe"
  File "${DIST}\velmora-cli.exe"
  File "${DIST}\secreto.ico"
  File "${DIST}\velmora.hlp"
  File "${DIST}\LEEME.txt"
  File "${DIST}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The five entries the program writes when started without an argument,
  ; with the same values, in the same order, for the current user.
  WriteRegStr HKCU "${CLASSES}\${PROG_ID}" "" "Carpeta de Archivos Encriptada por Velmora"
  WriteRegStr HKCU "${CLASSES}\.zol" "" "${PROG_ID}"
  WriteRegStr HKCU "${CLASSES}\${PROG_ID}\shell\open\command" "" '"$INSTDIR\velmora.exe" %1/C'
  WriteRegStr HKCU "${CLASSES}\${PROG_ID}\DefaultIcon" "" "$INSTDIR\secreto.ico"
  WriteRegStr HKCU "${CLASSES}\${VERB_KEY}\command" "" '"$INSTDIR\velmora.exe" %1'
  ; The second folder verb, written after them as the program does.
  WriteRegStr HKCU "${CLASSES}\${SEALED_VERB_KEY}\command" "" '"$INSTDIR\velmora.exe" /S %1'
  System::Call "${NOTIFY_ASSOCIATIONS}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\velmora.exe"
  Delete "$INSTDIR\velmora-cli.exe"
  Delete "$INSTDIR\secreto.ico"
  Delete "$INSTDIR\velmora.hlp"
  Delete "$INSTDIR\LEEME.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  ; The program identifier and the verbs are Velmora's own keys; ".zol" and
  ; the folders' shell key lose only the value written here, and are removed
  ; only when nothing else is left in them.
  DeleteRegKey HKCU "${CLASSES}\${PROG_ID}"
  DeleteRegValue HKCU "${CLASSES}\.zol" ""
  DeleteRegKey /ifempty HKCU "${CLASSES}\.zol"
  DeleteRegKey HKCU "${CLASSES}\${VERB_KEY}"
  DeleteRegKey HKCU "${CLASSES}\${SEALED_VERB_KEY}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\Directory\shell"
  DeleteRegKey /ifempty HKCU "${CLASSES}\Directory"
  System::Call "${NOTIFY_ASSOCIATIONS}"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
