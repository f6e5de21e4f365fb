// The built module files under inspection and the tools that read them, as
// the native configure was told (see tests/CMakeLists.txt).
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace kob::test {

enum class FileFormat { Pe, Elf };

struct BuiltModule {
    std::string build;       // the preset that makes it
    std::filesystem::path file;
    FileFormat format;
    std::size_t pointerSize;
    std::string objdump;     // binutils for its format
    std::string cacheVariable;  // where the native configure takes its path from
};

// The 32-bit .gau, the 64-bit Windows DLL and the native library.
const std::vector<BuiltModule>& builtModules();
// Tests show a build by its name.
void PrintTo(const BuiltModule& module, std::ostream* out);

// The first two.
std::vector<BuiltModule> windowsModules();
// The build's name as a test name may spell it.
std::string testNameOf(const BuiltModule& module);

std::string readelfTool();
std::string resourceTool();  // wrestool
std::filesystem::path resourceSourceDir();

// Throws std::runtime_error naming the file and how it is made when it is
// missing, so that a test fails with that message rather than skipping.
void requireFile(const BuiltModule& module);
void requireTool(const std::string& tool, const std::string& package);

}  // namespace kob::test
