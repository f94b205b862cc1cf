# tembrook_platform_base: today's local date and the locale's date and
# thousands separators, each settable by tests. Standard library only (plus
# the C library's locale and time calls). Consumers include "Clock.h" and
# "LocaleSettings.h".
add_library(tembrook_platform_base STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocaleSettings.cpp)
target_include_directories(tembrook_platform_base PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tembrook_platform_base PRIVATE tembrook_settings)
