# tembrook_import: the page parsers (TBookDataInportOption), the list's row
# comparison and the import road with its sink and starter interfaces.
# Standard library only, on top of the model and the text helpers. Consumers
# include "BookDataInportOptionUnit.h", "BookSaleCompare.h" and "ImportRoad.h".
add_library(tembrook_import STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BookDataInportOptionUnit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BookDataInportOptionUnit.h
  ${CMAKE_CURRENT_LIST_DIR}/BookSaleCompare.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BookSaleCompare.h
  ${CMAKE_CURRENT_LIST_DIR}/ImportRoad.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImportRoad.h)
target_include_directories(tembrook_import PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tembrook_import
  PUBLIC tembrook_model tembrook_text
  PRIVATE tembrook_settings)
