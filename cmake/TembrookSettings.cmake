# One INTERFACE target carries the compile settings every project target shares:
# warnings, the Qt casts that would let CP932 bytes slip into a QString, and
# the sanitizer switches. Targets link it PRIVATE.
add_library(tembrook_settings INTERFACE)
target_compile_options(tembrook_settings INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(tembrook_settings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_FROM_BYTEARRAY QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING)

if(TEMBROOK_SANITIZE AND TEMBROOK_TSAN)
  message(FATAL_ERROR "TEMBROOK_SANITIZE and TEMBROOK_TSAN cannot be combined")
endif()
if(TEMBROOK_SANITIZE)
  set(_tb_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(tembrook_settings INTERFACE ${_tb_san})
  target_link_options(tembrook_settings INTERFACE ${_tb_san})
endif()
if(TEMBROOK_TSAN)
  set(_tb_san -fsanitize=thread -fno-omit-frame-pointer)
  target_compile_options(tembrook_settings INTERFACE ${_tb_san})
  target_link_options(tembrook_settings INTERFACE ${_tb_san})
endif()
