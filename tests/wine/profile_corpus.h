// INI files with the conventions and accidents designers' files have, and the
// questions to ask about each, for comparing profile readers.
#pragma once

#include <string>
#include <vector>

namespace kob::test::wine {

struct ProfileFile {
    std::string name;
    std::string bytes;
};

struct ProfileQuery {
    std::string file;  // as passed to the profile calls
    std::string section;
    std::string key;
    std::string defaultValue;
};

std::vector<ProfileFile> profileCorpus();
std::vector<ProfileQuery> profileQueries();

// The queries in the probe's format: one "file|section|key|default" a line.
std::string queryList(const std::vector<ProfileQuery>& queries);

}  // namespace kob::test::wine
