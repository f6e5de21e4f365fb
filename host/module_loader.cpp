#include "module_loader.h"

#include <atomic>
#include <stdexcept>
#include <string>

#include "dynamic_library.h"

namespace kob::host {
namespace {

std::filesystem::path privateCopyOf(const std::filesystem::path& file) {
    static std::atomic<unsigned> counter{0};
    auto target = std::filesystem::temp_directory_path() /
                  ("kob-module-" + std::to_string(library::processId()) + "-" + std::to_string(counter++) +
                   library::fileSuffix());
    std::filesystem::copy_file(file, target, std::filesystem::copy_options::overwrite_existing);
    return target;
}

}  // namespace

LoadedModule::LoadedModule(const std::filesystem::path& file, PanelServices* services, Options options) {
    if (!std::filesystem::exists(file)) throw std::runtime_error(file.string() + ": no such module file");
    std::filesystem::path toLoad = file;
    if (options.freshCopy) toLoad = copy_ = privateCopyOf(file);
    std::string why;
    handle_ = library::open(toLoad, why);
    if (!handle_) {
        if (!copy_.empty()) std::filesystem::remove(copy_);
        throw std::runtime_error(file.string() + ": cannot be loaded: " + why);
    }
    linkage_ = static_cast<LinkageRecord*>(library::find(handle_, "Linkage"));
    importTable_ = static_cast<ImportTableRecord*>(library::find(handle_, "ImportTable"));
    if (!linkage_ || !importTable_) {
        library::close(handle_);
        if (!copy_.empty()) std::filesystem::remove(copy_);
        throw std::runtime_error(file.string() + ": not a gauge module (no Linkage or ImportTable export)");
    }
    for (auto& entry : importTable_->entries)
        if (entry.id == 0x0F) entry.pointer = services;
    if (linkage_->moduleInit) linkage_->moduleInit();
}

LoadedModule::~LoadedModule() {
    if (linkage_ && linkage_->moduleDeinit) linkage_->moduleDeinit();
    if (handle_) library::close(handle_);
    if (!copy_.empty()) {
        std::error_code ignored;
        std::filesystem::remove(copy_, ignored);
    }
}

void* LoadedModule::symbol(const char* name) const { return library::find(handle_, name); }

void LoadedModule::service(std::int32_t serviceId, GaugeHeader* instance) const {
    GaugeHeader* header = instance ? instance : &soundGauge();
    header->callback(header, serviceId, 0);
}

}  // namespace kob::host
