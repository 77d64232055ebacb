# zlib for the PNG screenshots, linked statically (libz.a, never the import
# library libz.dll.a) so that no binary needs zlib1.dll. The target is
# corvane::zlib; the cross compiler's own zlib comes from the Debian package
# libz-mingw-w64-dev.
find_path(CORVANE_ZLIB_INCLUDE_DIR zlib.h)
find_library(CORVANE_ZLIB_LIBRARY NAMES libz.a)
if(NOT CORVANE_ZLIB_INCLUDE_DIR OR NOT CORVANE_ZLIB_LIBRARY)
  message(FATAL_ERROR "zlib for ${CORVANE_TRIPLET} (zlib.h and the static libz.a) not found: "
                      "install the Debian package libz-mingw-w64-dev (sh tools/install-deps.sh)")
endif()
add_library(corvane::zlib STATIC IMPORTED)
set_target_properties(corvane::zlib PROPERTIES IMPORTED_LOCATION ${CORVANE_ZLIB_LIBRARY}
                                               INTERFACE_INCLUDE_DIRECTORIES ${CORVANE_ZLIB_INCLUDE_DIR})
