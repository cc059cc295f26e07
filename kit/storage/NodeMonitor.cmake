# The node monitor: watch_node() and stop_watching() with the inotify engine behind them.
# A library of its own because its messages travel through BMessenger (kit_app), which
# itself builds on kit_storage. Included from kit/CMakeLists.txt after the kits.
add_library(kit_node_monitor STATIC
	${CMAKE_CURRENT_LIST_DIR}/NodeMonitor.cpp
	${CMAKE_CURRENT_LIST_DIR}/../linux/InotifyMonitor.cpp
	${CMAKE_CURRENT_LIST_DIR}/../linux/InotifyEvents.cpp)
target_include_directories(kit_node_monitor PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(kit_node_monitor PUBLIC kit_storage kit_app PRIVATE kit_linux)
