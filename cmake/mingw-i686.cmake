# Cross build of the shipped 32-bit program. Its tests are no CTest entries: make test runs them
# under 32-bit Wine, through qemu where the kernel runs no 32-bit code (tools/run-win32-tests.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
