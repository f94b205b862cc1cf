# tembrook_text: the CP932 string conventions, the text and date helpers, the
# runtime's integer conversion and number format, and the error types.
# Standard library only. Consumers include the headers by name
# ("SjisString.h", "TextHelpers.h", ...).
add_library(tembrook_text STATIC
  ${CMAKE_CURRENT_LIST_DIR}/Errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SjisString.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TextHelpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DateUtils.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StrToInt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NumberFormat.cpp)
target_include_directories(tembrook_text PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tembrook_text PRIVATE tembrook_settings)
