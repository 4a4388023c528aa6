# Compile settings shared by every target of the project.
option(CHEQUEPRINT_WERROR "Treat compiler warnings as errors" OFF)
option(CHEQUEPRINT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(chequeprint_settings INTERFACE)
target_compile_options(chequeprint_settings INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(chequeprint_settings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  CHEQUEPRINT_VERSION="${PROJECT_VERSION}")
if(CHEQUEPRINT_WERROR)
  target_compile_options(chequeprint_settings INTERFACE -Werror)
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

# One Qt Test executable per unit, registered with CTest; widgets draw offscreen.
function(chequeprint_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test chequeprint_settings ${ARG_DEPENDS})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()

# The same data test once more on a shared PostgreSQL database of the test server; it skips,
# saying so, when there is none (see scripts/test.sh).
function(chequeprint_server_test name)
  add_test(NAME ${name}_postgres COMMAND ${name})
  set_tests_properties(${name}_postgres PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;CHEQUEPRINT_TEST_BACKEND=postgres"
    SKIP_REGULAR_EXPRESSION "SKIP   : .*PostgreSQL test server")
endfunction()
