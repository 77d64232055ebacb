; The product's COM servers: installed and registered in this order,
; unregistered and removed in the same order. One line per DLL; the file is
; taken from the build of the architecture being installed (bin/ of the
; 64-bit or the 32-bit build folder).
!macro CorvaneServers _ACTION
  !insertmacro ${_ACTION} rovane.dll
  !insertmacro ${_ACTION} corvane.dll
  !insertmacro ${_ACTION} ZarqNotifier.dll
  !insertmacro ${_ACTION} corvaneProps.dll
!macroend

; The files the product writes at run time, beside its DLLs: the
; configuration file, its backup and the log of each component that keeps
; one, named after its DLL (rovane.dll writes none). The setup makes them
; and lets ordinary users change them; nothing else in the folder.
!macro CorvaneUserFiles _ACTION
  !insertmacro ${_ACTION} ${CONFIG_FILE}
  !insertmacro ${_ACTION} ${CONFIG_FILE}.bak
  !insertmacro ${_ACTION} corvane.log
  !insertmacro ${_ACTION} ZarqNotifier.log
  !insertmacro ${_ACTION} corvaneProps.log
!macroend
