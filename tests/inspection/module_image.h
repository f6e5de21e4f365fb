// A built module file as a loader sees it, read through binutils (objdump,
// readelf) rather than a parser of our own: its sections' bytes, exports,
// imported libraries and the pointers that the loader relocates.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kob::test {

class ModuleImage {
public:
    // A Windows DLL (PE32 or PE32+), read with the objdump of its toolchain.
    static ModuleImage readPe(const std::filesystem::path& file, const std::string& objdump);
    // A Linux shared library, read with objdump and readelf.
    static ModuleImage readElf(const std::filesystem::path& file, const std::string& objdump,
                               const std::string& readelf);

    std::size_t pointerSize() const { return pointerSize_; }

    // Exported names, sorted.
    std::vector<std::string> exportNames() const;
    // The address of an export, with the image at its preferred base; throws when absent.
    std::uint64_t exportAddress(const std::string& name) const;
    // The libraries the import table names (Windows DLLs only), as spelt there.
    const std::vector<std::string>& importedLibraries() const { return importedLibraries_; }

    std::uint32_t u32(std::uint64_t address) const;
    std::vector<std::uint8_t> bytes(std::uint64_t address, std::size_t size) const;
    // The pointer stored at address as the loader leaves it with the image at
    // its preferred base. Null pointers need no relocation; throws when a
    // non-null pointer has none, since the loader would not adjust it.
    std::uint64_t pointer(std::uint64_t address) const;
    // A NUL-terminated string at address.
    std::string cString(std::uint64_t address) const;

    // Whether address falls in a section of the image, in its code.
    bool contains(std::uint64_t address) const;
    bool isCode(std::uint64_t address) const;

private:
    struct Section {
        std::string name;
        std::uint64_t start = 0;
        std::uint64_t size = 0;
        bool code = false;
    };

    void readSections(const std::string& headerDump);
    void readContents(const std::string& contentDump);
    const Section* sectionAt(std::uint64_t address) const;

    std::string file_;
    std::size_t pointerSize_ = 0;
    std::vector<Section> sections_;
    std::map<std::uint64_t, std::vector<std::uint8_t>> contents_;  // by start address
    std::map<std::string, std::uint64_t> exports_;
    std::vector<std::string> importedLibraries_;
    std::set<std::uint64_t> relocatedPointers_;
    // ELF relocations carry the relocated value themselves (base 0).
    std::map<std::uint64_t, std::uint64_t> relocationValues_;
};

}  // namespace kob::test
