# tembrook_platform_base: today's local date and the locale's date and
# thousands separators, each settable by tests, and the allocator's set-up for
# a bulk process. Standard library only (plus the C library's locale, time and
# allocator calls). Consumers include "Clock.h", "LocaleSettings.h" and
# "ProcessHeap.h".
add_library(tembrook_platform_base STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Clock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LocaleSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ProcessHeap.cpp)
target_include_directories(tembrook_platform_base PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tembrook_platform_base PRIVATE tembrook_settings)
