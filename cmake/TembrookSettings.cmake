# One INTERFACE target carries the compile settings every project target shares:
# warnings, the Qt casts that would let CP932 bytes slip into a QString, and
# the sanitizer switches, the hardening of optimised builds. Targets link it
# PRIVATE.
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

# Optimised builds without a sanitizer are hardened as Debian builds its
# packages: the C library's checked string and memory functions where the
# compiler knows the buffer sizes, and relocations read-only after start-up.
# (The sanitizers do the same checks themselves and clash with the former.)
if(NOT TEMBROOK_SANITIZE AND NOT TEMBROOK_TSAN AND NOT TEMBROOK_BUILD_FUZZ)
  target_compile_definitions(tembrook_settings INTERFACE
    $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
  target_link_options(tembrook_settings INTERFACE LINKER:-z,relro LINKER:-z,now)
endif()
