# ctest fixtures: before the first test the build's COM servers are
# registered in the build's Wine prefix (creating it if needed); after the
# last one the prefix's wineserver is ended.
get_property(servers GLOBAL PROPERTY CORVANE_COM_SERVERS)
set(server_files)
foreach(server ${servers})
  list(APPEND server_files $<TARGET_FILE:${server}>)
endforeach()
add_test(NAME register_servers
         COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/register-servers.sh ${CMAKE_BINARY_DIR}/wine-run.sh ${server_files})
set_tests_properties(register_servers PROPERTIES FIXTURES_SETUP wine_servers TIMEOUT 300)
add_test(NAME stop_wineserver
         COMMAND sh -c "WINEPREFIX='${CORVANE_WINEPREFIX}' wineserver -k; true")
set_tests_properties(stop_wineserver PROPERTIES FIXTURES_CLEANUP wine_servers)

# Prefixes of their own whose screens have 120 and 144 pixels per inch, for
# the layout tests at those resolutions (fixtures wine_dpi120, wine_dpi144).
foreach(dpi 120 144)
  set(prefix ${CMAKE_BINARY_DIR}/wineprefix-dpi${dpi})
  add_test(NAME dpi${dpi}_prefix
           COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/dpi-prefix.sh ${CMAKE_BINARY_DIR}/wine-run.sh ${dpi} ${server_files})
  set_tests_properties(dpi${dpi}_prefix PROPERTIES FIXTURES_SETUP wine_dpi${dpi} TIMEOUT 300
                                                   ENVIRONMENT CORVANE_WINE_PREFIX=${prefix})
  add_test(NAME dpi${dpi}_stop_wineserver COMMAND sh -c "WINEPREFIX='${prefix}' wineserver -k; true")
  set_tests_properties(dpi${dpi}_stop_wineserver PROPERTIES FIXTURES_CLEANUP wine_dpi${dpi})
endforeach()

