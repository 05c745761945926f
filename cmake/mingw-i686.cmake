# Cross build of the shipped 32-bit program. This kernel runs no 32-bit code, so its tests are
# built but not run here.
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
