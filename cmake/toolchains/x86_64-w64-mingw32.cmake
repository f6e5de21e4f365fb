# Cross build of the 64-bit Windows DLL, kob_vorlo3.dll, that runs under Wine.
set(KOB_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
