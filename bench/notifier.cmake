# notifier_bench: the notifier's cost per item as its list grows.
add_executable(notifier_bench ${CMAKE_CURRENT_LIST_DIR}/NotifierBench.cpp ${CMAKE_SOURCE_DIR}/notifier/notifier_pictures.rc)
target_link_libraries(notifier_bench PRIVATE corvane_warnings)
target_link_libraries(notifier_bench PRIVATE zarqnotifier_plugin)
hostsim_link(notifier_bench)
add_dependencies(notifier_bench ZarqNotifier corvane rovane)
