// Loading a library from file the platform's way: dlopen natively,
// LoadLibrary on Windows. The rest of loading a gauge module is the same on
// both (module_loader.cpp).
#pragma once

#include <filesystem>
#include <string>

namespace kob::host::library {

// The library's handle, or null with the system's reason in `why`.
void* open(const std::filesystem::path& file, std::string& why);
// An export's address, or null.
void* find(void* handle, const char* name);
void close(void* handle);
// What a private copy of a library is named with: ".so" or ".dll".
const char* fileSuffix();
unsigned long processId();

}  // namespace kob::host::library
