# Windows build: clutterix.exe (static, i686) and the tests that run under Wine.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CX_LIBJPEG ${CMAKE_SOURCE_DIR}/third_party/libjpeg-mingw-x86_64)
else()
  set(CX_LIBJPEG ${CMAKE_SOURCE_DIR}/third_party/libjpeg-mingw)
endif()
if(NOT EXISTS ${CX_LIBJPEG}/lib/libjpeg.a)
  message(FATAL_ERROR "libjpeg for mingw is missing: run scripts/setup.sh")
endif()
add_library(cx_jpeg STATIC IMPORTED)
set_target_properties(cx_jpeg PROPERTIES
  IMPORTED_LOCATION ${CX_LIBJPEG}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${CX_LIBJPEG}/include)

# XP is the oldest target: keep the API surface at 0x0501 and link everything statically.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600 NOMINMAX WIN32_LEAN_AND_MEAN)
add_link_options(-static -static-libgcc -static-libstdc++)
# The same sources give the same bytes: no link time in the headers, no build folder in the code.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options($<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>)

add_library(cx_logic STATIC ${CX_LOGIC_SOURCES})
target_include_directories(cx_logic PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(cx_logic PUBLIC cx_jpeg)

file(GLOB CX_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp ui/win32/*.cpp)
add_library(cx_win32 STATIC ${CX_WIN32_SOURCES})
target_link_libraries(cx_win32 PUBLIC cx_logic
  comctl32 shell32 shfolder wininet advapi32 psapi ole32 oleaut32 uuid gdi32 user32 kernel32)

# The manifest carries the release's version (context/version.h, the one place for it) and the
# processor the build is for.
file(STRINGS context/version.h CX_VERSION_LINES REGEX "^#define CX_VERSION_(MAJOR|MINOR) ")
foreach(line IN LISTS CX_VERSION_LINES)
  if(line MATCHES "^#define (CX_VERSION_[A-Z]+) ([0-9]+)")
    set(${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
  endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS context/version.h)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CX_MANIFEST_ARCH amd64)
else()
  set(CX_MANIFEST_ARCH x86)
endif()
configure_file(app/win32/clutterix.manifest.in ${CMAKE_BINARY_DIR}/resources/clutterix.manifest @ONLY)

# The message table of the event source "Clutterix" (app/win32/events.mc), a resource of its own.
string(REGEX REPLACE "g\\+\\+(-posix)?$" "windmc" CX_WINDMC_GUESS "${CMAKE_CXX_COMPILER}")
find_program(CX_WINDMC NAMES ${CX_WINDMC_GUESS} ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-windmc REQUIRED)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/resources/events.rc ${CMAKE_BINARY_DIR}/resources/MSG00409.bin
  COMMAND ${CX_WINDMC} -h ${CMAKE_BINARY_DIR}/resources -r ${CMAKE_BINARY_DIR}/resources ${CMAKE_SOURCE_DIR}/app/win32/events.mc
  DEPENDS app/win32/events.mc VERBATIM)

file(GLOB CX_APP_WIN32 CONFIGURE_DEPENDS app/win32/*.cpp app/win32/*.rc)
add_executable(clutterix WIN32 ${CX_APP_WIN32} ${CMAKE_BINARY_DIR}/resources/events.rc)
target_include_directories(clutterix PRIVATE ${CMAKE_BINARY_DIR}/resources)
target_link_libraries(clutterix PRIVATE cx_win32)

# The shipped data lies beside the executable: config\ and images\.
add_custom_command(TARGET clutterix POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/config $<TARGET_FILE_DIR:clutterix>/config
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/data/images $<TARGET_FILE_DIR:clutterix>/images)
include(cmake/catalogues.cmake)
cx_compile_catalogues(cx_catalogues ${CMAKE_BINARY_DIR})
add_dependencies(clutterix cx_catalogues)

# Tests under Wine, in prefixes of the build's own: one lane per ctest job of ./test (-j3), so that
# tests run side by side without sharing a prefix, a wineserver or a display. Most of a Wine test
# is waiting (for Wine's explorer, for a server's deadline), so three lanes fit on two cores.
set(CX_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CX_WINE_LANES 3)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh --lanes ${CX_WINE_LANES} ${CX_WINE_PREFIX})
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
target_compile_options(gtest PRIVATE -w)
target_compile_options(gtest_main PRIVATE -w)
target_compile_options(gmock PRIVATE -w)
include(GoogleTest)

file(GLOB CX_WINE_TESTS CONFIGURE_DEPENDS tests/wine/*.cpp)
file(GLOB CX_WINE_SUPPORT CONFIGURE_DEPENDS tests/wine/support/*.cpp)
# The test's main-thread queue and debug output are portable and serve the Wine tests of the
# workers too.
list(APPEND CX_WINE_SUPPORT ${CMAKE_SOURCE_DIR}/tests/support/sync_queue.cpp ${CMAKE_SOURCE_DIR}/tests/support/listed_item.cpp
  ${CMAKE_SOURCE_DIR}/tests/support/fake_debug_output.cpp)
if(CX_WINE_TESTS)
  add_executable(cx_wine_tests ${CX_WINE_TESTS} ${CX_WINE_SUPPORT})
  target_include_directories(cx_wine_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(cx_wine_tests PRIVATE cx_win32 gtest gmock gtest_main ws2_32 oleacc)
  add_dependencies(cx_wine_tests clutterix)
  # Stand-in browsers (and a program watched as they are) beside the tests, for the
  # running-applications check: they only wait.
  foreach(browser firefox chrome Discord)
    add_executable(fake_${browser} WIN32 tests/wine/fake_browser/main.cpp)
    set_target_properties(fake_${browser} PROPERTIES OUTPUT_NAME ${browser})
    add_dependencies(cx_wine_tests fake_${browser})
  endforeach()
  target_compile_definitions(cx_wine_tests PRIVATE
    CX_EXE_DIR="$<TARGET_FILE_DIR:clutterix>")
  # The tests that need a world of their own run in the tests below, not among the rest.
  gtest_discover_tests(cx_wine_tests TEST_PREFIX "wine." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    TEST_FILTER "-LanguageChoiceTest.*:NtfsDriveWine.*")
  # The language chosen by the display language alone: Wine takes it from the locale it starts in.
  add_test(NAME wine.languages.display_language COMMAND cx_wine_tests --gtest_filter=LanguageChoiceTest.*)
  set_tests_properties(wine.languages.display_language PROPERTIES ENVIRONMENT "LANG=ru_RU.UTF-8;LC_ALL=ru_RU.UTF-8")
  # An NTFS image, mounted with ntfs-3g, as drive D: and its raw device.
  add_test(NAME wine.ntfs_drive COMMAND ${CMAKE_SOURCE_DIR}/tests/wine/ntfs_drive.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
    $<TARGET_FILE:cx_wine_tests> --gtest_filter=NtfsDriveWine.*)
  set_tests_properties(wine.ntfs_drive PROPERTIES SKIP_RETURN_CODE 77)

  # The runs at a high DPI have a prefix of their own, whose screen holds the window at 200 %:
  # the DPI they set in the registry never reaches another test's prefix.
  file(GLOB CX_DPI_TESTS CONFIGURE_DEPENDS tests/wine/dpi/*.cpp)
  add_executable(cx_dpi_tests ${CX_DPI_TESTS} ${CX_WINE_SUPPORT})
  set_target_properties(cx_dpi_tests PROPERTIES
    CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;--screen;1920x1440;${CMAKE_BINARY_DIR}/dpiprefix")
  target_include_directories(cx_dpi_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(cx_dpi_tests PRIVATE cx_win32 gtest gmock gtest_main ws2_32)
  add_dependencies(cx_dpi_tests clutterix)
  target_compile_definitions(cx_dpi_tests PRIVATE CX_EXE_DIR="$<TARGET_FILE_DIR:clutterix>")
  # One prefix, one test at a time: each sets the DPI that the programs it starts read.
  gtest_discover_tests(cx_dpi_tests TEST_PREFIX "wine." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES RESOURCE_LOCK dpiprefix)

  # The setup program of this build (scripts/make-setup.sh, as the release makes it), and an
  # "older release" to install it over: version 1.1, with the stand-in program as its exe.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(CX_SETUP_ARCH x64)
  else()
    set(CX_SETUP_ARCH x86)
  endif()
  find_program(CX_MAKENSIS makensis)
  if(NOT CX_MAKENSIS)
    message(FATAL_ERROR "makensis is missing: run scripts/setup.sh")
  endif()
  set(CX_SETUP ${CMAKE_BINARY_DIR}/setup/clutterix-setup.exe)
  set(CX_OLDER_SETUP ${CMAKE_BINARY_DIR}/setup-older/clutterix-setup.exe)
  file(GLOB CX_DATA_FILES CONFIGURE_DEPENDS data/config/* data/images/* data/lang/*.po)
  file(GLOB CX_SETUP_LANGUAGES CONFIGURE_DEPENDS installer/lang/*.nsh)
  set(CX_SETUP_INPUTS installer/clutterix.nsi ${CX_SETUP_LANGUAGES} scripts/make-setup.sh context/version.h app/win32/clutterix.ico ${CX_DATA_FILES})
  add_custom_command(OUTPUT ${CX_SETUP}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-setup.sh --arch ${CX_SETUP_ARCH} --exe $<TARGET_FILE:clutterix>
            --data ${CMAKE_SOURCE_DIR}/data --out ${CX_SETUP}
    DEPENDS clutterix ${CX_SETUP_INPUTS} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  add_custom_command(OUTPUT ${CX_OLDER_SETUP}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-setup.sh --arch ${CX_SETUP_ARCH} --exe $<TARGET_FILE:fake_firefox>
            --data ${CMAKE_SOURCE_DIR}/data --out ${CX_OLDER_SETUP} --version 1.1
    DEPENDS fake_firefox ${CX_SETUP_INPUTS} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  # The MSI packages of the same staged files (scripts/make-msi.sh, with wixl).
  set(CX_MSI ${CMAKE_BINARY_DIR}/setup/clutterix.msi)
  set(CX_OLDER_MSI ${CMAKE_BINARY_DIR}/setup-older/clutterix.msi)
  add_custom_command(OUTPUT ${CX_MSI}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-msi.sh --arch ${CX_SETUP_ARCH} --stage ${CMAKE_BINARY_DIR}/setup/Clutterix
            --out ${CX_MSI}
    DEPENDS ${CX_SETUP} scripts/make-msi.sh WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  add_custom_command(OUTPUT ${CX_OLDER_MSI}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-msi.sh --arch ${CX_SETUP_ARCH} --stage ${CMAKE_BINARY_DIR}/setup-older/Clutterix
            --out ${CX_OLDER_MSI} --version 1.1
    DEPENDS ${CX_OLDER_SETUP} scripts/make-msi.sh WORKING_DIRECTORY ${CMAKE_SOURCE_DIR} VERBATIM)
  add_custom_target(setup_programs ALL DEPENDS ${CX_SETUP} ${CX_OLDER_SETUP} ${CX_MSI} ${CX_OLDER_MSI})

  # Each setup test starts in a prefix made anew (--fresh), with nothing installed: the tests live
  # in a folder without clutterix.exe, so wine-run.sh installs nothing there by itself.
  file(GLOB CX_SETUP_TESTS CONFIGURE_DEPENDS tests/wine/setup/*.cpp)
  add_executable(cx_setup_tests ${CX_SETUP_TESTS} ${CX_WINE_SUPPORT})
  set_target_properties(cx_setup_tests PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/setup-tests
    CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/scripts/wine-run.sh;--fresh;--lanes;2;${CMAKE_BINARY_DIR}/setupprefix")
  target_include_directories(cx_setup_tests PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(cx_setup_tests PRIVATE cx_win32 gtest gmock gtest_main ws2_32 version)
  add_dependencies(cx_setup_tests setup_programs)
  target_compile_definitions(cx_setup_tests PRIVATE CX_SETUP="${CX_SETUP}" CX_OLDER_SETUP="${CX_OLDER_SETUP}"
    CX_MSI="${CX_MSI}" CX_OLDER_MSI="${CX_OLDER_MSI}"
    CX_EXE_DIR="$<TARGET_FILE_DIR:clutterix>")
  gtest_discover_tests(cx_setup_tests TEST_PREFIX "wine." DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 180)
endif()

# The benchmark's helpers (bench/scan.sh builds them on demand; never part of the tests).
add_executable(cx_bench_walk EXCLUDE_FROM_ALL bench/walk.cpp)
target_include_directories(cx_bench_walk PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(cx_bench_walk PRIVATE cx_win32)
add_executable(cx_bench_drive EXCLUDE_FROM_ALL bench/drive.cpp tests/wine/support/gui_driver.cpp)
target_include_directories(cx_bench_drive PRIVATE ${CMAKE_SOURCE_DIR})
# The driver shares the Wine tests' window helpers, which ask the platform layer about the user.
target_link_libraries(cx_bench_drive PRIVATE cx_win32 comctl32 psapi user32 gdi32)
add_executable(cx_bench_list_fill EXCLUDE_FROM_ALL bench/list_fill.cpp)
target_link_libraries(cx_bench_list_fill PRIVATE cx_win32)
