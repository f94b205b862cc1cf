# tembrook_net_import: the import road's transfer starter on THTTPDataTransfer
# (used by the main window and the command-line exporter). Consumers include
# "ImportTransferStarter.h".
add_library(tembrook_net_import STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ImportTransferStarter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ImportTransferStarter.h)
target_include_directories(tembrook_net_import PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(tembrook_net_import
  PUBLIC tembrook_import tembrook_net
  PRIVATE tembrook_settings Qt6::Core)
