; velmora-2.0-setup.exe: installs Velmora for the current user only, with no
; administrator rights, into %LOCALAPPDATA%\Programs\Velmora, registers the
; ".zol" file type and the folder verbs "Encriptar..." and "Encriptar
; (seguro)..." for that user, adds a Start-menu folder, puts the install
; folder on the user's PATH (for velmora-cli.exe in a console), and adds an
; entry to the user's list of installed programs. Velmora is free software
; under the MIT licence, shown before installing. Silent with /S.
;
; makensis -DDIST=<folder with the files> -DICON=<padlock.ico> -DOUTFILE=<setup.exe> velmora.nsi

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinMessages.nsh"

!define PRODUCT "Velmora"
!define VERSION "2.0"
!define CLASSES "Software\Classes"
!define PROG_ID "Velmor.velmora"
!define VERB_KEY "Directory\shell\Encriptar..."
!define SEALED_VERB_KEY "Directory\shell\Encriptar (seguro)..."
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
; SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, NULL, NULL)
!define NOTIFY_ASSOCIATIONS "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
!define START_MENU "$SMPROGRAMS\Velmora"
!define UNINSTALL_LINK "Desinstalar Velmora.lnk"
!define ENVIRONMENT "Environment"

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

; Splits $0 at ";" and gives in $1 its entries except those equal to $2
; (compared without case, as Windows compares paths), in their order and
; joined by ";" again, so "a;;b;" keeps its empty entries; $3 is 1 when an
; entry was left out, 0 otherwise.
!macro PATH_WITHOUT PREFIX
Function ${PREFIX}PathWithout
  StrCpy $1 ""
  StrCpy $3 0
  StrCpy $4 0 ; where the entry starts
  StrCpy $5 0 ; where the search is
  StrCpy $8 0 ; how many entries $1 holds
  ${Do}
    StrCpy $6 $0 1 $5
    ${If} $6 == ";"
    ${OrIf} $6 == ""
      IntOp $7 $5 - $4
      StrCpy $9 $0 $7 $4
      ${If} $9 == $2
        StrCpy $3 1
      ${Else}
        ${If} $8 <> 0
          StrCpy $1 "$1;"
        ${EndIf}
        StrCpy $1 "$1$9"
        IntOp $8 $8 + 1
      ${EndIf}
      ${If} $6 == ""
        ${ExitDo}
      ${EndIf}
      IntOp $4 $5 + 1
    ${EndIf}
    IntOp $5 $5 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro PATH_WITHOUT ""
!insertmacro PATH_WITHOUT "un."

; Whether the user's environment has a value named Path: $0 is 1 or 0.
Function HasPathValue
  StrCpy $0 0
  StrCpy $1 0
  ${Do}
    EnumRegValue $2 HKCU "${ENVIRONMENT}" $1
    ${If} $2 == ""
      ${ExitDo}
    ${EndIf}
    ${If} $2 == "Path"
      StrCpy $0 1
      ${ExitDo}
    ${EndIf}
    IntOp $1 $1 + 1
  ${Loop}
FunctionEnd

; velmora-cli.exe from any new console: the install folder added at the end
; of the user's PATH, unless it is there already, or a folder name with ";"
; would make it two entries, or the value is longer than this installer can
; read and write whole (NSIS_MAX_STRLEN, 1,024 characters): a PATH is never
; written back cut. The entry added is kept in the uninstall entry, and the
; uninstaller removes exactly that one.
Function AddToPath
  StrCpy $0 $INSTDIR
  StrCpy $2 $INSTDIR
  Call PathWithout
  ${If} $3 == 0
    DetailPrint "La carpeta contiene «;»: no se añade al PATH."
    Return
  ${EndIf}
  ClearErrors
  ReadRegStr $0 HKCU "${ENVIRONMENT}" "Path"
  ${If} ${Errors}
    Call HasPathValue
    ${If} $0 == 1
      DetailPrint "El PATH del usuario no se puede leer entero: no se modifica."
      Return
    ${EndIf}
    StrCpy $0 ""
  ${EndIf}
  StrCpy $2 $INSTDIR
  Call PathWithout
  ${If} $3 == 1
    Return
  ${EndIf}
  ; The new value's length, with its ";", measured in parts: a string longer
  ; than NSIS's would already be cut.
  StrLen $1 $0
  StrLen $2 $INSTDIR
  IntOp $1 $1 + $2
  IntOp $1 $1 + 1
  ${If} $1 >= ${NSIS_MAX_STRLEN}
    DetailPrint "El PATH del usuario es demasiado largo: no se modifica."
    Return
  ${EndIf}
  ${If} $0 == ""
    StrCpy $1 $INSTDIR
  ${Else}
    StrCpy $1 "$0;$INSTDIR"
  ${EndIf}
  WriteRegExpandStr HKCU "${ENVIRONMENT}" "Path" $1
  WriteRegStr HKCU "${UNINSTALL_KEY}" "PathEntry" $INSTDIR
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${ENVIRONMENT}" /TIMEOUT=5000
FunctionEnd

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
  ; The padlock beside both verbs in the folders' menu: a value of the verbs'
  ; own keys, beside the entries above, which keep their values.
  WriteRegStr HKCU "${CLASSES}\${VERB_KEY}" "Icon" "$INSTDIR\velmora.exe,0"
  WriteRegStr HKCU "${CLASSES}\${SEALED_VERB_KEY}" "Icon" "$INSTDIR\velmora.exe,0"
  System::Call "${NOTIFY_ASSOCIATIONS}"

  ; Velmora without an argument registers itself and shows the instructions.
  CreateDirectory "${START_MENU}"
  CreateShortCut "${START_MENU}\Velmora.lnk" "$INSTDIR\velmora.exe" "" \
    "$INSTDIR\velmora.exe" 0 SW_SHOWNORMAL "" "Registra Velmora y muestra las instrucciones"
  CreateShortCut "${START_MENU}\LEEME.lnk" "$INSTDIR\LEEME.txt"
  CreateShortCut "${START_MENU}\${UNINSTALL_LINK}" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The installed files' size, in KB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  Call AddToPath
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
  Delete "${START_MENU}\Velmora.lnk"
  Delete "${START_MENU}\LEEME.lnk"
  Delete "${START_MENU}\${UNINSTALL_LINK}"
  RMDir "${START_MENU}"

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

  ; The PATH entry the installer added, if it did, and nothing else.
  ClearErrors
  ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "PathEntry"
  ${IfNot} ${Errors}
    ClearErrors
    ReadRegStr $0 HKCU "${ENVIRONMENT}" "Path"
    ${IfNot} ${Errors}
      StrCpy $2 $R0
      Call un.PathWithout
      ${If} $3 == 1
        ${If} $1 == ""
          DeleteRegValue HKCU "${ENVIRONMENT}" "Path"
        ${Else}
          WriteRegExpandStr HKCU "${ENVIRONMENT}" "Path" $1
        ${EndIf}
        SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:${ENVIRONMENT}" /TIMEOUT=5000
      ${EndIf}
    ${EndIf}
  ${EndIf}

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
