# The configuration file: typed INI access, the in-memory INI document and
# the folder configuration file object.
target_sources(corvane_addin PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/IniDocument.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NotifyFoldersIni.cpp)
