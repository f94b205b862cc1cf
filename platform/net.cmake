# tembrook_platform_net: the internet client on libcurl's multi interface, the
# connection state (QNetworkInformation reachability, replaceable by tests)
# and the thread base whose completion is handed to the user-interface thread
# through the Qt event loop. Consumers include "InternetClient.h",
# "ConnectionState.h" and "Thread.h".
find_package(CURL 7.88 REQUIRED)
find_package(Threads REQUIRED)
add_library(tembrook_platform_net STATIC
  ${CMAKE_CURRENT_LIST_DIR}/InternetClient.cpp
  ${CMAKE_CURRENT_LIST_DIR}/InternetClient.h
  ${CMAKE_CURRENT_LIST_DIR}/CurlLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CurlLibrary.h
  ${CMAKE_CURRENT_LIST_DIR}/ConnectionState.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ConnectionState.h
  ${CMAKE_CURRENT_LIST_DIR}/Thread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Thread.h)
target_include_directories(tembrook_platform_net PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# libcurl is loaded at run time (CurlLibrary.h), not linked: only its headers.
target_include_directories(tembrook_platform_net PRIVATE
  $<TARGET_PROPERTY:CURL::libcurl,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(tembrook_platform_net
  PUBLIC Qt6::Core Threads::Threads
  PRIVATE Qt6::Network ${CMAKE_DL_LIBS} tembrook_settings)
