#include "module_loader.h"

#include "kob_platform/win32.h"

#include <atomic>
#include <stdexcept>

namespace kob::host {
namespace {

std::filesystem::path privateCopyOf(const std::filesystem::path& file) {
    static std::atomic<unsigned> counter{0};
    auto target = std::filesystem::temp_directory_path() /
                  ("kob-module-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".dll");
    std::filesystem::copy_file(file, target, std::filesystem::copy_options::overwrite_existing);
    return target;
}

std::string lastErrorText() {
    char text[256] = {};
    const DWORD code = GetLastError();
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                       sizeof text, nullptr) == 0)
        return "error " + std::to_string(code);
    std::string reason = text;
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
        reason.pop_back();
    return reason;
}

HMODULE handleOf(void* handle) { return static_cast<HMODULE>(handle); }

// GetProcAddress gives a code pointer; the exports looked up here are data.
void* exported(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(handleOf(handle), name));
}

}  // namespace

LoadedModule::LoadedModule(const std::filesystem::path& file, PanelServices* services, Options options) {
    if (!std::filesystem::exists(file)) throw std::runtime_error(file.string() + ": no such module file");
    std::filesystem::path toLoad = file;
    if (options.freshCopy) toLoad = copy_ = privateCopyOf(file);
    handle_ = LoadLibraryA(toLoad.string().c_str());
    if (!handle_) {
        const std::string why = lastErrorText();
        if (!copy_.empty()) std::filesystem::remove(copy_);
        throw std::runtime_error(file.string() + ": cannot be loaded: " + why);
    }
    linkage_ = static_cast<LinkageRecord*>(exported(handle_, "Linkage"));
    importTable_ = static_cast<ImportTableRecord*>(exported(handle_, "ImportTable"));
    if (!linkage_ || !importTable_) {
        FreeLibrary(handleOf(handle_));
        if (!copy_.empty()) std::filesystem::remove(copy_);
        throw std::runtime_error(file.string() + ": not a gauge module (no Linkage or ImportTable export)");
    }
    for (auto& entry : importTable_->entries)
        if (entry.id == 0x0F) entry.pointer = services;
    if (linkage_->moduleInit) linkage_->moduleInit();
}

LoadedModule::~LoadedModule() {
    if (linkage_ && linkage_->moduleDeinit) linkage_->moduleDeinit();
    if (handle_) FreeLibrary(handleOf(handle_));
    if (!copy_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(copy_, ignored);
    }
}

void* LoadedModule::symbol(const char* name) const { return exported(handle_, name); }

void LoadedModule::service(std::int32_t serviceId, GaugeHeader* instance) const {
    GaugeHeader* header = instance ? instance : &soundGauge();
    header->callback(header, serviceId, 0);
}

}  // namespace kob::host
