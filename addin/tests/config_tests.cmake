# The configuration file's tests: typed INI access, the INI document against
# the platform's profile functions, and the folder configuration file.
target_sources(addin_tests PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/IniFileTests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NotifyFoldersIniTests.cpp)
