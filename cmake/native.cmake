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
  tests/app/*.cpp tests/scan/*.cpp tests/clean/*.cpp tests/settings/*.cpp
  tests/processes/*.cpp tests/update/*.cpp tests/ui/*.cpp tests/platform/*.cpp)
add_executable(cx_tests ${CX_NATIVE_TESTS} ${CX_TEST_SUPPORT})
target_include_directories(cx_tests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(cx_tests PRIVATE cx_logic GTest::gtest GTest::gmock GTest::gtest_main)
target_compile_definitions(cx_tests PRIVATE CX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(cx_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 60)

# The Windows build, as an external project rebuilt on every build; its tests join this tree's ctest.
option(CX_WITH_WIN32 "Build clutterix.exe and run its tests under Wine" ON)
if(CX_WITH_WIN32)
  include(ExternalProject)
  set(CX_WIN32_BINARY_DIR ${CMAKE_BINARY_DIR}/win32)
  ExternalProject_Add(win32
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${CX_WIN32_BINARY_DIR}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS
      -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-i686.cmake
      -DCMAKE_BUILD_TYPE=Release
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD ON)
  file(WRITE ${CMAKE_BINARY_DIR}/win32-tests.cmake "subdirs(\"${CX_WIN32_BINARY_DIR}\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/win32-tests.cmake)
endif()

include(cmake/fuzz.cmake)
