# startup_bench: the add-in's start-up as Outlook times it, and the binding
# of the watched folders after it, with slow public folder stores.
# Built, not run by ctest:
#   build/wine-run.sh build/bin/startup_bench.exe [rounds]
add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/StartupBench.cpp ${CMAKE_SOURCE_DIR}/addin/tests/addin_tests.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/addin/tests/addin_tests.rc PROPERTIES OBJECT_DEPENDS "${CORVANE_RESOURCE_FILES}")
target_link_libraries(startup_bench PRIVATE corvane_warnings)
target_link_libraries(startup_bench PRIVATE corvane_addin)
hostsim_link(startup_bench)
