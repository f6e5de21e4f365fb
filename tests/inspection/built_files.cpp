#include "built_files.h"

#include <stdexcept>

namespace kob::test {

const std::vector<BuiltModule>& builtModules() {
    static const std::vector<BuiltModule> modules = {
        {"windows-i686", KOB_WINDOWS_I686_MODULE, FileFormat::Pe, 4, KOB_I686_OBJDUMP, "KOB_WINDOWS_I686_MODULE"},
        {"windows-x64", KOB_WINDOWS_X64_MODULE, FileFormat::Pe, 8, KOB_X86_64_OBJDUMP, "KOB_WINDOWS_X64_MODULE"},
        {"native", KOB_NATIVE_MODULE, FileFormat::Elf, sizeof(void*), KOB_OBJDUMP, ""},
    };
    return modules;
}

void PrintTo(const BuiltModule& module, std::ostream* out) { *out << module.build << " " << module.file.string(); }

std::vector<BuiltModule> windowsModules() {
    std::vector<BuiltModule> modules;
    for (const auto& module : builtModules())
        if (module.format == FileFormat::Pe) modules.push_back(module);
    return modules;
}

std::string testNameOf(const BuiltModule& module) {
    std::string name = module.build;
    for (char& c : name)
        if (c == '-') c = '_';
    return name;
}

std::string readelfTool() { return KOB_READELF; }
std::string resourceTool() { return KOB_WRESTOOL; }
std::filesystem::path resourceSourceDir() { return KOB_RESOURCE_SOURCE_DIR; }

void requireFile(const BuiltModule& module) {
    if (std::filesystem::is_regular_file(module.file)) return;
    std::string how = "build the " + module.build + " preset first (scripts/test.sh does)";
    if (!module.cacheVariable.empty())
        how += ", or point the native configure's " + module.cacheVariable + " at the file";
    throw std::runtime_error(module.file.string() + " is missing: " + how);
}

void requireTool(const std::string& tool, const std::string& package) {
    if (tool.empty() || tool.ends_with("-NOTFOUND"))
        throw std::runtime_error("a tool from the Debian package " + package +
                                 " is missing; scripts/install-deps.sh installs it");
}

}  // namespace kob::test
