# Native Linux build: portable logic against the test doubles, with sanitizers.
set(CX_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
add_compile_options(${CX_SANITIZE})
add_link_options(${CX_SANITIZE})

find_package(GTest REQUIRED)
find_package(JPEG REQUIRED)
find_package(Threads REQUIRED)
include(GoogleTest)

add_library(cx_logic STATIC ${CX_LOGIC_SOURCES})
target_include_directories(cx_logic PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(cx_logic PUBLIC JPEG::JPEG Threads::Threads)

file(GLOB CX_TEST_SUPPORT CONFIGURE_DEPENDS tests/support/*.cpp)
file(GLOB CX_NATIVE_TESTS CONFIGURE_DEPENDS
  tests/app/*.cpp tests/ini/*.cpp tests/scan/*.cpp tests/clean/*.cpp tests/settings/*.cpp
  tests/processes/*.cpp tests/update/*.cpp tests/ui/*.cpp tests/platform/*.cpp)
add_executable(cx_tests ${CX_NATIVE_TESTS} ${CX_TEST_SUPPORT})
target_include_directories(cx_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(cx_tests PRIVATE cx_logic GTest::gtest GTest::gmock GTest::gtest_main)
target_compile_definitions(cx_tests PRIVATE CX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(cx_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 60)
# The shipped catalogues, compiled as the Windows build compiles them, for the tests that read them.
include(cmake/catalogues.cmake)
cx_compile_catalogues(cx_catalogues ${CMAKE_BINARY_DIR})
add_dependencies(cx_tests cx_catalogues)
target_compile_definitions(cx_tests PRIVATE CX_CATALOGUE_DIR="${CMAKE_BINARY_DIR}/lang")

# The Windows build, as an external project rebuilt on every build; its tests join this tree's ctest.
# Where the kernel cannot run 32-bit programs, the same code is also built for x86_64 and the tests
# under Wine run that build in 64-bit Wine (scripts/wine-target.sh); the product stays i686.
option(CX_WITH_WIN32 "Build clutterix.exe and run its tests under Wine" ON)
if(CX_WITH_WIN32)
  include(ExternalProject)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-target.sh
    OUTPUT_VARIABLE CX_WINE_TARGET OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(CX_WINE_TARGETS win32)
  if(CX_WINE_TARGET STREQUAL "win64")
    list(APPEND CX_WINE_TARGETS win64)
  endif()
  foreach(target IN LISTS CX_WINE_TARGETS)
    if(target STREQUAL "win64")
      set(toolchain mingw-x86_64.cmake)
    else()
      set(toolchain mingw-i686.cmake)
    endif()
    ExternalProject_Add(${target}
      SOURCE_DIR ${CMAKE_SOURCE_DIR}
      BINARY_DIR ${CMAKE_BINARY_DIR}/${target}
      CMAKE_GENERATOR Ninja
      CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/${toolchain}
        -DCMAKE_BUILD_TYPE=Release
      BUILD_ALWAYS ON
      INSTALL_COMMAND ""
      USES_TERMINAL_BUILD ON)
  endforeach()
  if(CX_WINE_TARGET STREQUAL "win64")
    message(STATUS "This kernel cannot run 32-bit programs: the Wine tests run the x86_64 build")
  endif()
  file(WRITE ${CMAKE_BINARY_DIR}/wine-tests.cmake "subdirs(\"${CMAKE_BINARY_DIR}/${CX_WINE_TARGET}\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/wine-tests.cmake)
endif()

include(cmake/fuzz.cmake)

# The release scripts' own checks (no Windows build needed).
add_test(NAME release.winget_manifest COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/winget_test.sh)
# Every text the program shows is in every catalogue, translated, with its placeholders.
add_test(NAME lang.catalogues COMMAND ${CMAKE_SOURCE_DIR}/tests/scripts/catalogues_test.py)
