# The 64-bit build of the tests (tests/README.md): the 32-bit toolchain's
# settings with the 64-bit compilers.
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
