# Helpers shared by the components' CMakeLists.

# corvane_com_server(<target> IDL <idl> DEF <def> RC <rc> SOURCES ... [LIBS ...])
# An in-process COM server: its type library is generated from the IDL and
# embedded as resource 1 TYPELIB (the RC file includes "<target>.tlb").
function(corvane_com_server target)
  cmake_parse_arguments(ARG "" "IDL;DEF;RC" "SOURCES;LIBS" ${ARGN})
  corvane_idl(${target} ${ARG_IDL})
  add_library(${target} SHARED ${ARG_SOURCES} ${${target}_IID_SOURCE} ${ARG_RC} ${ARG_DEF}
              ${CMAKE_SOURCE_DIR}/common/com/ComServerExports.cpp)
  set_source_files_properties(${ARG_RC} PROPERTIES OBJECT_DEPENDS ${${target}_TLB})
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${CORVANE_WARNINGS}>)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} comkit)
  set_property(GLOBAL APPEND PROPERTY CORVANE_COM_SERVERS ${target})
  set(${target}_HEADER ${${target}_HEADER} PARENT_SCOPE)
  set(${target}_IID_SOURCE ${${target}_IID_SOURCE} PARENT_SCOPE)
  set(${target}_TLB ${${target}_TLB} PARENT_SCOPE)
endfunction()

# corvane_test(<target> SOURCES ... [LIBS ...] [NEEDS_SERVERS])
# A GoogleTest program run by ctest under Wine. NEEDS_SERVERS: it creates
# objects by ProgID, so the build's COM servers are registered first.
function(corvane_test target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${CORVANE_WARNINGS}>)
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED wine_servers TIMEOUT 600)
endfunction()
