; The product's COM servers: the macro CorvaneServers, which CMake writes
; from its list of the servers it builds (cmake/CorvaneServerList.cmake).
; One line per DLL; the file is taken from the build of the architecture
; being installed (bin/ of the 64-bit or the 32-bit build folder). Both builds
; have the same list; the 64-bit build's is read.
!include "${BUILD64}\corvane-servers.nsh"

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
