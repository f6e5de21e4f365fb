// Asks the profile calls a list of questions and writes down every answer:
// the text and length GetPrivateProfileStringA gives for several buffer sizes
// (with the bytes it left in the buffer) and GetPrivateProfileIntA's results.
// Built for Windows (answers from the system) and natively (answers from the
// portable platform), so the two can be compared.
//
// profile_probe OUTPUT QUERIES
// QUERIES has one question a line: file|section|key|default. The file name is
// used as given, so relative names depend on the working directory.
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "kob_platform/win32.h"
#include "probe_output.h"

namespace {

using kob::probe::escaped;

struct Query {
    std::string file;
    std::string section;
    std::string key;
    std::string defaultValue;
};

std::vector<Query> readQueries(const char* path) {
    std::vector<Query> queries;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        std::vector<std::string> fields(1);
        for (char c : line) {
            if (c == '|' && fields.size() < 4) fields.emplace_back();
            else fields.back() += c;
        }
        fields.resize(4);
        queries.push_back({fields[0], fields[1], fields[2], fields[3]});
    }
    return queries;
}

// Buffer sizes from none at all to more than any value in the corpus.
constexpr DWORD bufferSizes[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 16, 300};
// What the buffer holds before the call, so untouched bytes show.
constexpr char untouched = '#';
// One byte past the given size is shown too: nothing may be written there.
constexpr DWORD shownPastSize = 1;

std::string stringAnswers(const Query& query) {
    std::string out;
    for (DWORD size : bufferSizes) {
        std::vector<char> buffer(size + shownPastSize, untouched);
        const DWORD length = GetPrivateProfileStringA(query.section.c_str(), query.key.c_str(),
                                                      query.defaultValue.c_str(), buffer.data(), size,
                                                      query.file.c_str());
        out += " s" + std::to_string(size) + "=" + std::to_string(length) + ":\"" +
               escaped(std::string_view(buffer.data(), buffer.size())) + "\"";
    }
    return out;
}

std::string integerAnswers(const Query& query) {
    std::string out;
    for (INT defaultValue : {12345, -7}) {
        const UINT value = GetPrivateProfileIntA(query.section.c_str(), query.key.c_str(), defaultValue,
                                                 query.file.c_str());
        out += " i" + std::to_string(defaultValue) + "=" + std::to_string(value);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: profile_probe OUTPUT QUERIES\n");
        return 2;
    }
    const std::vector<Query> queries = readQueries(argv[2]);
    if (queries.empty()) {
        std::fprintf(stderr, "profile_probe: no queries in %s\n", argv[2]);
        return 2;
    }
    kob::probe::Output output(argv[1]);
    if (!output.isOpen()) {
        std::fprintf(stderr, "profile_probe: cannot write %s\n", argv[1]);
        return 2;
    }
    for (const Query& query : queries)
        output.line(escaped(query.file + "|" + query.section + "|" + query.key + "|" + query.defaultValue) +
                    stringAnswers(query) + integerAnswers(query));
    return 0;
}
