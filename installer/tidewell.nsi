; Tidewell's installer: puts the band, its companion, its help file and the
; command-line cleaner into one folder under Program Files, registers the
; band with the browser and leaves an uninstaller for Programs and Features.
;
;   makensis -DBAND_DIR=<folder of Tidewell.dll> -DOUTFILE=<setup.exe> -DVERSION=<x.y.z>
;            -DBROKER_POLICY_GUID=<{...}> tidewell.nsi
;
; `make dist` passes all four, the identifier from band/guids.h. The installer and the band are 32-bit, so on
; 64-bit Windows the files go to the 32-bit Program Files folder and the
; browser that loads the band is the 32-bit one.

Unicode true

!include "x64.nsh"

!ifndef VERSION
  !define VERSION "0.1.0"
!endif
!ifndef BAND_DIR
  !define BAND_DIR "..\build\win32\band"
!endif
!ifndef OUTFILE
  !define OUTFILE "..\build\dist\Tidewell-setup.exe"
!endif

!ifndef BROKER_POLICY_GUID
  !error "BROKER_POLICY_GUID: pass TW_GUID_BrokerPolicy of band/guids.h"
!endif

!define PRODUCT "Tidewell"
!define PUBLISHER "The Tidewell developers"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tidewell"
!define PRODUCT_KEY "Software\RaRidezaz\Tidewell"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
; Lets the browser's low tab process start the broker beside the band
; silently at medium integrity (Policy 3). Registering the band writes the
; same key; the installer writes it too, so that it names the folder the
; files went to, and the uninstaller removes it even where the band cannot
; be loaded to unregister itself.
!define POLICY_KEY "Software\Microsoft\Internet Explorer\Low Rights\ElevationPolicy\${BROKER_POLICY_GUID}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tidewell"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 the Tidewell developers"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tidewell"
  SetOutPath "$INSTDIR"
  File "${BAND_DIR}\Tidewell.dll"
  ; Removes index files at the next logon on older systems; it must lie
  ; beside Tidewell.dll.
  File "${BAND_DIR}\Sunderly.dll"
  File "${BAND_DIR}\Tidewell.chm"
  ; The cleaner for the command line, and its windowless form for
  ; scheduled tasks.
  File "${BAND_DIR}\tidewell-clean.exe"
  File "${BAND_DIR}\tidewell-cleanw.exe"
  ; Where a scheduled task finds the cleaner: the folder differs between
  ; 32-bit and 64-bit Windows, and the user may have chosen another. The
  ; installer is 32-bit, so this is the 32-bit view of HKLM.
  WriteRegStr HKLM "${PRODUCT_KEY}" "InstallDir" "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Tidewell.dll,0"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1

  ; A band that did not register is not in the browser: say so, and end
  ; with a non-zero exit code so that a silent install does not pass for a
  ; good one. The files stay, and the uninstaller removes them.
  WriteRegStr HKLM "${POLICY_KEY}" "AppName" "tidewell-cleanw.exe"
  WriteRegStr HKLM "${POLICY_KEY}" "AppPath" "$INSTDIR"
  WriteRegDWORD HKLM "${POLICY_KEY}" "Policy" 3
  ; A 32-bit installer writes the 32-bit view of HKLM\Software; the
  ; browser's 64-bit processes read the 64-bit one.
  ${If} ${RunningX64}
    SetRegView 64
    WriteRegStr HKLM "${POLICY_KEY}" "AppName" "tidewell-cleanw.exe"
    WriteRegStr HKLM "${POLICY_KEY}" "AppPath" "$INSTDIR"
    WriteRegDWORD HKLM "${POLICY_KEY}" "Policy" 3
    SetRegView 32
  ${EndIf}

  ClearErrors
  RegDLL "$INSTDIR\Tidewell.dll"
  IfErrors 0 registered
    DetailPrint "Tidewell.dll could not be registered."
    MessageBox MB_OK|MB_ICONSTOP "Tidewell.dll could not be registered. Run the setup again as an administrator." /SD IDOK
    SetErrorLevel 2
  registered:
SectionEnd

Section "Uninstall"
  UnRegDLL "$INSTDIR\Tidewell.dll"
  DeleteRegKey HKLM "${POLICY_KEY}"
  ${If} ${RunningX64}
    SetRegView 64
    DeleteRegKey HKLM "${POLICY_KEY}"
    SetRegView 32
  ${EndIf}

  ; A browser that is still open holds Tidewell.dll: it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\Tidewell.dll"
  Delete /REBOOTOK "$INSTDIR\Sunderly.dll"
  Delete "$INSTDIR\Tidewell.chm"
  ; A scheduled task that is running it holds it: it goes at the next restart.
  Delete /REBOOTOK "$INSTDIR\tidewell-clean.exe"
  Delete /REBOOTOK "$INSTDIR\tidewell-cleanw.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  ; Index file removals scheduled for the next logon would run Sunderly.dll,
  ; which is gone now. The user's options under
  ; HKCU\Software\RaRidezaz\Tidewell and
  ; HKCU\Software\AppDataLow\Software\RaRidezaz\Tidewell stay, so that a
  ; later install finds them again.
  DeleteRegValue HKCU "${RUNONCE_KEY}" "DeleteHistoryIndex"
  DeleteRegValue HKCU "${RUNONCE_KEY}" "DeleteCookieIndex"
  DeleteRegValue HKCU "${RUNONCE_KEY}" "DeleteCacheIndex"

  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegValue HKLM "${PRODUCT_KEY}" "InstallDir"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "Software\RaRidezaz"

  IfRebootFlag 0 done
    MessageBox MB_OK|MB_ICONINFORMATION "Some files of Tidewell are in use and will be removed when Windows restarts." /SD IDOK
  done:
SectionEnd
