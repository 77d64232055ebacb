# soak_bench: 10,000 items through the add-in with every alert and the
# plug-ins switched on; memory, handles and GDI/USER objects before and after.
# Built, not run by ctest:
#   build/wine-run.sh build/bin/soak_bench.exe
add_executable(soak_bench ${CMAKE_CURRENT_LIST_DIR}/SoakBench.cpp ${CMAKE_SOURCE_DIR}/addin/tests/addin_tests.rc)
target_link_libraries(soak_bench PRIVATE corvane_warnings)
target_include_directories(soak_bench PRIVATE ${CMAKE_SOURCE_DIR}/addin/tests)
target_link_libraries(soak_bench PRIVATE corvane_addin psapi)
hostsim_link(soak_bench)
add_dependencies(soak_bench ZarqNotifier)
if(TARGET ZarqProbe)
  add_dependencies(soak_bench ZarqProbe)
endif()
