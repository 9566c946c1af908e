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
  # A bounded run of one fuzzer: `seconds` long, inputs up to `max_len` bytes, 10 s at most for one
  # input, from the seeds in tests/fuzz/corpus/<seeds>.
  function(cx_fuzz_test name fuzzer seconds max_len seeds)
    set(learnt ${CX_FUZZ_BINARY_DIR}/corpus-${seeds})
    file(MAKE_DIRECTORY ${learnt})
    add_test(NAME ${name}
      COMMAND ${CX_FUZZ_BINARY_DIR}/${fuzzer} -max_total_time=${seconds} -max_len=${max_len} -timeout=10
              -rss_limit_mb=2048 -print_final_stats=1 ${learnt} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${seeds}
      WORKING_DIRECTORY ${CX_FUZZ_BINARY_DIR})
    set_tests_properties(${name} PROPERTIES TIMEOUT 120)
  endfunction()
  cx_fuzz_test(fuzz.ini_document ini_fuzzer 30 4096 ini)
  # An input is a record or a whole tiny volume.
  cx_fuzz_test(fuzz.mft_reader mft_fuzzer 20 81920 mft)
elseif(CX_WITH_FUZZ)
  message(WARNING "clang++ not found: the fuzz test is left out (scripts/setup.sh installs it)")
endif()
