# addin_bench: the add-in's own cost per new item.
add_executable(addin_bench ${CMAKE_CURRENT_LIST_DIR}/AddinBench.cpp ${CMAKE_SOURCE_DIR}/addin/tests/addin_tests.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/addin/tests/addin_tests.rc PROPERTIES OBJECT_DEPENDS "${CORVANE_RESOURCE_FILES}")
target_link_libraries(addin_bench PRIVATE corvane_warnings)
target_include_directories(addin_bench PRIVATE ${CMAKE_SOURCE_DIR}/addin/tests)
target_link_libraries(addin_bench PRIVATE corvane_addin)
hostsim_link(addin_bench)
