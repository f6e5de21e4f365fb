#include "module_image.h"

#include <algorithm>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "command.h"

namespace kob::test {
namespace {

std::uint64_t hex(const std::string& text) { return std::stoull(text, nullptr, 16); }

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> wordsOf(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::string hexText(std::uint64_t value) {
    std::ostringstream out;
    out << "0x" << std::hex << value;
    return out.str();
}

}  // namespace

// objdump -h: one line per section (index, name, size, VMA, LMA, file offset,
// alignment), then a line of its flags.
void ModuleImage::readSections(const std::string& headerDump) {
    static const std::regex sectionLine(
        R"(^\s*\d+\s+(\S+)\s+([0-9a-f]+)\s+([0-9a-f]+)\s+[0-9a-f]+\s+[0-9a-f]+\s+2\*\*\d+\s*$)");
    const auto lines = linesOf(headerDump);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        if (!std::regex_match(lines[i], m, sectionLine)) continue;
        Section section{m[1], hex(m[3]), hex(m[2]), false};
        if (i + 1 < lines.size()) section.code = lines[i + 1].find("CODE") != std::string::npos;
        sections_.push_back(section);
    }
    if (sections_.empty()) throw std::runtime_error(file_ + ": objdump listed no sections");
}

// objdump -s: per section a heading, then lines of an address and sixteen
// bytes in four groups; the groups take 36 columns whatever the line's length.
void ModuleImage::readContents(const std::string& contentDump) {
    std::vector<std::uint8_t>* current = nullptr;
    std::uint64_t expected = 0;
    for (const auto& line : linesOf(contentDump)) {
        if (line.rfind("Contents of section ", 0) == 0) {
            current = nullptr;
            continue;
        }
        if (line.size() < 2 || line[0] != ' ') continue;
        const std::size_t addressEnd = line.find(' ', 1);
        if (addressEnd == std::string::npos) continue;
        const std::uint64_t address = hex(line.substr(1, addressEnd - 1));
        std::string digits;
        for (char c : line.substr(addressEnd, 36))
            if (c != ' ') digits += c;
        if (!current || address != expected) {
            current = &contents_[address];
            expected = address;
        }
        for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
            current->push_back(static_cast<std::uint8_t>(hex(digits.substr(i, 2))));
        expected += digits.size() / 2;
    }
}

ModuleImage ModuleImage::readPe(const std::filesystem::path& file, const std::string& objdump) {
    ModuleImage image;
    image.file_ = file.string();
    image.readSections(commandOutput({objdump, "-h", image.file_}));
    image.readContents(commandOutput({objdump, "-s", image.file_}));

    static const std::regex magic(R"(^Magic\s+(010b|020b)\b.*)");
    static const std::regex imageBase(R"(^ImageBase\s+([0-9a-f]+)\s*$)");
    static const std::regex dllName(R"(^\s*DLL Name: (\S+)\s*$)");
    static const std::regex exportAddress(R"(^\s*\[\s*(\d+)\] \+base\[\s*\d+\]\s+([0-9a-f]+) Export RVA\s*$)");
    static const std::regex exportName(R"(^\s*\[\s*(\d+)\] (\S+)\s*$)");
    static const std::regex relocation(R"(^\s*reloc\s+\d+\s+offset\s+[0-9a-f]+\s+\[([0-9a-f]+)\]\s+(HIGHLOW|DIR64)\s*$)");

    std::uint64_t base = 0;
    std::map<std::string, std::uint64_t> exportRvas;  // by ordinal index, as text
    std::map<std::string, std::string> exportOrdinals;  // name to ordinal index
    enum class Part { Other, ExportAddresses, ExportNames } part = Part::Other;
    std::vector<std::uint64_t> relocationRvas;
    for (const auto& line : linesOf(commandOutput({objdump, "-p", image.file_}))) {
        std::smatch m;
        if (line.rfind("Export Address Table -- ", 0) == 0) {
            part = Part::ExportAddresses;
        } else if (line.rfind("[Ordinal/Name Pointer] Table", 0) == 0) {
            part = Part::ExportNames;
        } else if (line.empty()) {
            if (part == Part::ExportNames) part = Part::Other;
        } else if (std::regex_match(line, m, magic)) {
            image.pointerSize_ = m[1] == "010b" ? 4 : 8;
        } else if (std::regex_match(line, m, imageBase)) {
            base = hex(m[1]);
        } else if (std::regex_match(line, m, dllName)) {
            image.importedLibraries_.push_back(m[1]);
        } else if (part == Part::ExportAddresses && std::regex_match(line, m, exportAddress)) {
            exportRvas[m[1]] = hex(m[2]);
        } else if (part == Part::ExportNames && std::regex_match(line, m, exportName)) {
            exportOrdinals[m[2]] = m[1];
        } else if (std::regex_match(line, m, relocation)) {
            if ((m[2] == "HIGHLOW") == (image.pointerSize_ == 4)) relocationRvas.push_back(hex(m[1]));
        }
    }
    if (image.pointerSize_ == 0) throw std::runtime_error(image.file_ + ": objdump shows no PE optional header");
    for (const auto& [name, ordinal] : exportOrdinals) {
        auto rva = exportRvas.find(ordinal);
        if (rva == exportRvas.end())
            throw std::runtime_error(image.file_ + ": export " + name + " has no address");
        image.exports_[name] = base + rva->second;
    }
    for (auto rva : relocationRvas) image.relocatedPointers_.insert(base + rva);
    return image;
}

ModuleImage ModuleImage::readElf(const std::filesystem::path& file, const std::string& objdump,
                                 const std::string& readelf) {
    ModuleImage image;
    image.file_ = file.string();
    image.readSections(commandOutput({objdump, "-h", image.file_}));
    image.readContents(commandOutput({objdump, "-s", image.file_}));

    const std::string header = commandOutput({readelf, "-h", image.file_});
    if (header.find("ELF64") != std::string::npos)
        image.pointerSize_ = 8;
    else if (header.find("ELF32") != std::string::npos)
        image.pointerSize_ = 4;
    else
        throw std::runtime_error(image.file_ + ": readelf shows no ELF class");

    // Num: Value Size Type Bind Vis Ndx Name; defined global symbols are the exports.
    for (const auto& line : linesOf(commandOutput({readelf, "--dyn-syms", "-W", image.file_}))) {
        const auto words = wordsOf(line);
        if (words.size() < 8 || words[0].back() != ':' || words[6] == "UND" || words[6] == "Ndx") continue;
        if (words[4] != "GLOBAL" && words[4] != "WEAK") continue;
        std::string name = words[7].substr(0, words[7].find('@'));
        image.exports_[name] = hex(words[1]);
    }
    // Offset Info Type [Symbol value, Symbol name +] Addend.
    for (const auto& line : linesOf(commandOutput({readelf, "-r", "-W", image.file_}))) {
        const auto words = wordsOf(line);
        if (words.size() < 4) continue;
        if (words[2] == "R_X86_64_RELATIVE" || words[2] == "R_386_RELATIVE") {
            const std::uint64_t at = hex(words[0]);
            image.relocatedPointers_.insert(at);
            image.relocationValues_[at] = hex(words.back());
        } else if (words[2] == "R_X86_64_64" && words.size() >= 7) {
            const std::uint64_t at = hex(words[0]);
            image.relocatedPointers_.insert(at);
            image.relocationValues_[at] = hex(words[3]) + hex(words.back());
        }
    }
    return image;
}

std::vector<std::string> ModuleImage::exportNames() const {
    std::vector<std::string> names;
    for (const auto& entry : exports_) names.push_back(entry.first);
    return names;
}

std::uint64_t ModuleImage::exportAddress(const std::string& name) const {
    auto found = exports_.find(name);
    if (found == exports_.end()) throw std::runtime_error(file_ + ": no export " + name);
    return found->second;
}

const ModuleImage::Section* ModuleImage::sectionAt(std::uint64_t address) const {
    for (const auto& section : sections_)
        if (address >= section.start && address < section.start + section.size) return &section;
    return nullptr;
}

bool ModuleImage::contains(std::uint64_t address) const { return sectionAt(address) != nullptr; }

bool ModuleImage::isCode(std::uint64_t address) const {
    const Section* section = sectionAt(address);
    return section && section->code;
}

std::vector<std::uint8_t> ModuleImage::bytes(std::uint64_t address, std::size_t size) const {
    auto block = contents_.upper_bound(address);
    if (block == contents_.begin())
        throw std::runtime_error(file_ + ": no contents at " + hexText(address));
    --block;
    const std::uint64_t offset = address - block->first;
    if (offset + size > block->second.size())
        throw std::runtime_error(file_ + ": no contents for " + std::to_string(size) + " bytes at " +
                                 hexText(address));
    return {block->second.begin() + static_cast<std::ptrdiff_t>(offset),
            block->second.begin() + static_cast<std::ptrdiff_t>(offset + size)};
}

std::uint32_t ModuleImage::u32(std::uint64_t address) const {
    const auto b = bytes(address, 4);
    return static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24);
}

std::uint64_t ModuleImage::pointer(std::uint64_t address) const {
    const auto b = bytes(address, pointerSize_);
    std::uint64_t stored = 0;
    for (std::size_t i = pointerSize_; i-- > 0;) stored = stored << 8 | b[i];
    if (!relocatedPointers_.contains(address)) {
        if (stored != 0)
            throw std::runtime_error(file_ + ": the pointer at " + hexText(address) + " (" + hexText(stored) +
                                     ") has no relocation");
        return 0;
    }
    auto value = relocationValues_.find(address);
    return value != relocationValues_.end() ? value->second : stored;
}

std::string ModuleImage::cString(std::uint64_t address) const {
    std::string text;
    for (;; ++address) {
        const auto b = bytes(address, 1);
        if (b[0] == 0) return text;
        text += static_cast<char>(b[0]);
    }
}

}  // namespace kob::test
