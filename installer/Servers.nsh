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
