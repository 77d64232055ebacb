# Cross-build for 32-bit Windows with MinGW-w64 (posix thread model): the
# build that a 32-bit Outlook loads; its tests run under 32-bit Wine in a
# win32 prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CORVANE_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER   ${CORVANE_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVANE_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${CORVANE_TRIPLET}-windres)
set(CORVANE_WIDL       ${CORVANE_TRIPLET}-widl)
set(CORVANE_WIDL_FLAGS --win32)
set(CORVANE_WINE_LIBDIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
set(CMAKE_FIND_ROOT_PATH /usr/${CORVANE_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The .def file names the exports undecorated, as COM looks them up.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,--enable-stdcall-fixup")
set(CORVANE_WINEARCH win32)
