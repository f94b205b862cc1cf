# tembrook_platform_gui: the desktop services the user-interface components
# need from the system: opening an address with the desktop's handler, and the
# operating system's version record. Both can be replaced by tests.
add_library(tembrook_platform_gui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ShellLaunch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShellLaunch.h
  ${CMAKE_CURRENT_LIST_DIR}/OSVersion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OSVersion.h)
target_include_directories(tembrook_platform_gui PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tembrook_platform_gui
  PUBLIC Qt6::Gui
  PRIVATE tembrook_settings)
