# Compile settings shared by every target of the project.

# build/compile_commands.json, which clang-tidy reads (.ci/run).
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
option(CHEQUEPRINT_WERROR "Treat compiler warnings as errors" OFF)
option(CHEQUEPRINT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(chequeprint_settings INTERFACE)
target_compile_options(chequeprint_settings INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
target_compile_definitions(chequeprint_settings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  CHEQUEPRINT_VERSION="${PROJECT_VERSION}")
if(CHEQUEPRINT_WERROR)
  target_compile_options(chequeprint_settings INTERFACE -Werror)
endif()
# The hardening Debian builds its packages with: fortified libc calls (where the compiler
# optimises), a stack protector and a read-only global offset table. The sanitizers and the
# fuzzer do their own checking.
if(NOT CHEQUEPRINT_SANITIZE AND NOT CHEQUEPRINT_FUZZ)
  target_compile_definitions(chequeprint_settings INTERFACE
    $<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  target_compile_options(chequeprint_settings INTERFACE -fstack-protector-strong)
  target_link_options(chequeprint_settings INTERFACE LINKER:-z,relro,-z,now)
endif()
if(CHEQUEPRINT_SANITIZE)
  target_compile_options(chequeprint_settings INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(chequeprint_settings INTERFACE -fsanitize=address,undefined)
endif()

# One static library per folder under src/, with its own include root.
function(chequeprint_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC chequeprint_settings ${ARG_DEPENDS})
endfunction()
