# The fuzz targets of the INI document and the file-table reader (tests/fuzz), built by clang as an external project, and a
# bounded run of it in ctest that fails on any crash, leak or broken round trip. The run starts
# from the committed seeds and keeps what it learns in the build tree, never in the sources.
find_program(CX_CLANGXX NAMES clang++ clang++-14)
option(CX_WITH_FUZZ "Build the libFuzzer target and run it for a bounded time in ctest" ON)
if(CX_WITH_FUZZ AND CX_CLANGXX)
  include(ExternalProject)
  set(CX_FUZZ_BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz)
  ExternalProject_Add(fuzz
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/fuzz
    BINARY_DIR ${CX_FUZZ_BINARY_DIR}
    CMAKE_GENERATOR Ninja
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${CX_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
               -DCMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  set(CX_FUZZ_CORPUS ${CX_FUZZ_BINARY_DIR}/corpus)
  file(MAKE_DIRECTORY ${CX_FUZZ_CORPUS})
  # About 30 s; inputs up to 4 KiB, 10 s at most for one input.
  add_test(NAME fuzz.ini_document
    COMMAND ${CX_FUZZ_BINARY_DIR}/ini_fuzzer -max_total_time=30 -max_len=4096 -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 ${CX_FUZZ_CORPUS} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/ini
    WORKING_DIRECTORY ${CX_FUZZ_BINARY_DIR})
  set_tests_properties(fuzz.ini_document PROPERTIES TIMEOUT 120)
  # About 20 s; an input is a record or a whole tiny volume, up to 80 KiB.
  set(CX_MFT_CORPUS ${CX_FUZZ_BINARY_DIR}/corpus-mft)
  file(MAKE_DIRECTORY ${CX_MFT_CORPUS})
  add_test(NAME fuzz.mft_reader
    COMMAND ${CX_FUZZ_BINARY_DIR}/mft_fuzzer -max_total_time=20 -max_len=81920 -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 ${CX_MFT_CORPUS} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/mft
    WORKING_DIRECTORY ${CX_FUZZ_BINARY_DIR})
  set_tests_properties(fuzz.mft_reader PROPERTIES TIMEOUT 120)
elseif(CX_WITH_FUZZ)
  message(WARNING "clang++ not found: the fuzz test is left out (scripts/setup.sh installs it)")
endif()
