# rovane_bench: times rovane's Export, Find and Import on a generated subtree
# against a bare registry walk and Wine's regedit. Built, not run by ctest:
#   build/wine-run.sh build/bin/rovane_bench.exe
set(rovane_bench_generated ${CMAKE_BINARY_DIR}/registry/rovane_i.c)
set_source_files_properties(${rovane_bench_generated} PROPERTIES GENERATED TRUE)
add_executable(rovane_bench ${CMAKE_CURRENT_LIST_DIR}/RegistryBench.cpp ${rovane_bench_generated})
target_include_directories(rovane_bench PRIVATE ${CMAKE_BINARY_DIR}/registry ${CMAKE_SOURCE_DIR}/registry
                                                ${CMAKE_SOURCE_DIR}/registry/tests)
target_link_libraries(rovane_bench PRIVATE corvane_warnings)
target_link_libraries(rovane_bench PRIVATE comkit)
add_dependencies(rovane_bench rovane)
