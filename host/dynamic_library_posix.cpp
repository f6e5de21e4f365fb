#include <dlfcn.h>
#include <unistd.h>

#include "dynamic_library.h"

namespace kob::host::library {

void* open(const std::filesystem::path& file, std::string& why) {
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = ::dlerror();
        why = reason ? reason : "unknown reason";
    }
    return handle;
}

void* find(void* handle, const char* name) { return ::dlsym(handle, name); }
void close(void* handle) { ::dlclose(handle); }
const char* fileSuffix() { return ".so"; }
unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

}  // namespace kob::host::library
