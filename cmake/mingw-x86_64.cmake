# 64-bit Windows: the test bench where the kernel cannot run 32-bit programs.
set(CX_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
