# tembrook_platform_net: the internet client on libcurl's multi interface, the
# connection state (QNetworkInformation reachability through the
# tembrook_netinfo module, replaceable by tests) and the thread base whose
# completion is handed to the user-interface thread through the Qt event loop. Consumers include "InternetClient.h",
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
  ${CMAKE_CURRENT_LIST_DIR}/DynamicLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DynamicLibrary.h
  ${CMAKE_CURRENT_LIST_DIR}/NetworkInformation.h
  ${CMAKE_CURRENT_LIST_DIR}/Thread.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Thread.h)
target_include_directories(tembrook_platform_net PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# libcurl is loaded at run time (CurlLibrary.h), not linked: only its headers.
target_include_directories(tembrook_platform_net PRIVATE
  $<TARGET_PROPERTY:CURL::libcurl,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(tembrook_platform_net
  PUBLIC Qt6::Core Threads::Threads
  PRIVATE ${CMAKE_DL_LIBS} tembrook_settings)

# Qt Network's reachability, as a module the connection state opens with
# dlopen when a backend may load (NetworkInformation.h). Built into the
# module folder, where the programs look for it relative to their own.
add_library(tembrook_netinfo MODULE
  ${CMAKE_CURRENT_LIST_DIR}/NetworkInformationModule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NetworkInformation.h)
target_link_libraries(tembrook_netinfo PRIVATE Qt6::Network tembrook_settings)
set_target_properties(tembrook_netinfo PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${TEMBROOK_MODULE_BUILD_DIR}
  CXX_VISIBILITY_PRESET hidden)
# Whoever links the connection state gets the module built beside it.
add_dependencies(tembrook_platform_net tembrook_netinfo)
file(RELATIVE_PATH _tb_netinfo_reldir ${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TEMBROOK_MODULE_DIR})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/ConnectionState.cpp PROPERTIES
  COMPILE_DEFINITIONS TEMBROOK_NETINFO_RELDIR="${_tb_netinfo_reldir}")
