# What both mingw-w64 toolchain files share; they set KOB_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)

# Prefer the win32 thread model by its own name; the plain name is whichever
# model the system's alternatives point at.
find_program(CMAKE_C_COMPILER NAMES ${KOB_MINGW_TRIPLE}-gcc-win32 ${KOB_MINGW_TRIPLE}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KOB_MINGW_TRIPLE}-g++-win32 ${KOB_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KOB_MINGW_TRIPLE}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KOB_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
