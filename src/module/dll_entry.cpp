// The library's Windows entry point. The module keeps nothing per process or
// per thread, so every reason it is called for succeeds without work.
#include "kob_platform/win32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
