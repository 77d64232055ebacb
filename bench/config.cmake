# config_bench: the configuration file written and read whole through the
# in-memory INI document against key by key through the profile functions.
# Built, not run by ctest:
#   build/wine-run.sh build/bin/config_bench.exe
add_executable(config_bench ${CMAKE_CURRENT_LIST_DIR}/ConfigBench.cpp)
target_link_libraries(config_bench PRIVATE corvane_warnings)
target_link_libraries(config_bench PRIVATE corvane_addin)
