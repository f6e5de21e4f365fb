# Cross build of the product, kob_vorlo3.gau: 32-bit Windows with the
# mingw-w64 toolchain's win32 thread model, so nothing needs libwinpthread.
set(KOB_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
