// Every function pointer exchanged with the host uses the host's standard
// calling convention: __stdcall on 32-bit Windows, the platform default elsewhere.
#pragma once

#if defined(_WIN32) && defined(__i386__)
#define KOB_STDCALL __stdcall
#else
#define KOB_STDCALL
#endif
