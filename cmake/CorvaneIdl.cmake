# corvane_idl(<name> <idl-file> [INCLUDES dir...] [HEADER_DEFINES d...] [TLB_DEFINES d...]
#             [IMPORTLIBS tlb...] [LIBRARY target])
# Runs widl on an IDL file and defines <name>_HEADER, <name>_IID_SOURCE and
# <name>_TLB (absolute paths in the current binary folder). The header and
# the type library may be generated with different preprocessor symbols:
# a published name that C++ cannot declare keeps its name in the type
# library and gets another one in the header. IMPORTLIBS: type libraries
# the IDL names in importlib(), found by their folders. LIBRARY: a static
# library of the header and the identifiers, with this binary folder and
# common/ as its include folders, for everything that talks to the
# interfaces: as the platform's uuid library, every binary takes only the
# identifiers it uses, and building the library makes the header and the
# type library.
#
# widl writes no help strings on enumeration members. When the IDL file keeps
# them in comments (`member = value, // "text"`), the build step
# tools/typelib/enum_help.py writes them into the type library.
function(corvane_idl name idl)
  cmake_parse_arguments(ARG "" "LIBRARY" "INCLUDES;HEADER_DEFINES;TLB_DEFINES;IMPORTLIBS" ${ARGN})
  get_filename_component(idl_abs ${idl} ABSOLUTE)
  get_filename_component(idl_dir ${idl_abs} DIRECTORY)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${name})
  set(incs -I${idl_dir} -I${CMAKE_SOURCE_DIR}/common -I/usr/include/wine/wine/windows)
  foreach(dir ${ARG_INCLUDES})
    list(APPEND incs -I${dir})
  endforeach()
  set(libdirs -L${CORVANE_WINE_LIBDIR})
  foreach(tlb ${ARG_IMPORTLIBS})
    get_filename_component(tlb_dir ${tlb} DIRECTORY)
    list(APPEND libdirs -L${tlb_dir})
  endforeach()
  set(hdefs)
  foreach(d ${ARG_HEADER_DEFINES})
    list(APPEND hdefs -D${d})
  endforeach()
  set(tdefs)
  foreach(d ${ARG_TLB_DEFINES})
    list(APPEND tdefs -D${d})
  endforeach()
  file(STRINGS ${idl_abs} member_help REGEX "^[ \t]*[A-Za-z_][A-Za-z0-9_]*[ \t]*=[^/]*//[ \t]*\"")
  if(member_help)
    set(widl_tlb ${out}.widl.tlb)
    set(help_step COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/typelib/enum_help.py
                          ${idl_abs} ${widl_tlb} ${out}.tlb)
    set(help_depends ${CMAKE_SOURCE_DIR}/tools/typelib/enum_help.py)
  else()
    set(widl_tlb ${out}.tlb)
    set(help_step)
    set(help_depends)
  endif()
  add_custom_command(
    OUTPUT ${out}.h ${out}_i.c ${out}.tlb
    COMMAND ${CORVANE_WIDL} ${CORVANE_WIDL_FLAGS} ${incs} ${hdefs} ${libdirs} -h -H ${out}.h -u -U ${out}_i.c ${idl_abs}
    COMMAND ${CORVANE_WIDL} ${CORVANE_WIDL_FLAGS} ${incs} ${tdefs} ${libdirs} -t -T ${widl_tlb} ${idl_abs}
    ${help_step}
    DEPENDS ${idl_abs} ${ARG_IMPORTLIBS} ${help_depends}
    IMPLICIT_DEPENDS C ${idl_abs}
    COMMENT "widl ${name}.idl"
    VERBATIM)
  set(${name}_HEADER ${out}.h PARENT_SCOPE)
  set_source_files_properties(${out}_i.c PROPERTIES GENERATED TRUE)
  set(${name}_IID_SOURCE ${out}_i.c PARENT_SCOPE)
  set(${name}_TLB ${out}.tlb PARENT_SCOPE)
  if(ARG_LIBRARY)
    add_library(${ARG_LIBRARY} STATIC ${out}_i.c ${out}.h)
    target_include_directories(${ARG_LIBRARY} PUBLIC ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_SOURCE_DIR}/common)
  endif()
endfunction()
