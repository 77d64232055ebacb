# The configuration file's tests: typed INI access, the INI document against
# the platform's profile functions, and the folder configuration file.
target_sources(addin_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/IniFileTests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NotifyFoldersIniTests.cpp)

# A save killed at any moment: the child that saves, and the test that kills it.
add_executable(config_save_child ${CMAKE_CURRENT_LIST_DIR}/SaveChild.cpp ${CMAKE_CURRENT_LIST_DIR}/addin_tests.rc)
target_compile_options(config_save_child PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${CORVANE_WARNINGS}>)
target_link_libraries(config_save_child PRIVATE corvane_addin)
hostsim_link(config_save_child)
corvane_test(config_kill_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/SaveKillTests.cpp LIBS comkit)
add_dependencies(config_kill_tests config_save_child)
