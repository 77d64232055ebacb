# notifier_bench: the notifier's cost per item as its list grows.
add_executable(notifier_bench ${CMAKE_CURRENT_LIST_DIR}/NotifierBench.cpp ${CMAKE_SOURCE_DIR}/notifier/ZarqPlugin.cpp
               ${CMAKE_SOURCE_DIR}/notifier/notifier_pictures.rc)
target_compile_options(notifier_bench PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${CORVANE_WARNINGS}>)
target_include_directories(notifier_bench PRIVATE ${CMAKE_SOURCE_DIR}/notifier ${CMAKE_BINARY_DIR}/notifier
                                                  ${CMAKE_BINARY_DIR}/addin)
target_link_libraries(notifier_bench PRIVATE zarqnotifier_window psapi)
hostsim_link(notifier_bench)
add_dependencies(notifier_bench ZarqNotifier corvane rovane)
