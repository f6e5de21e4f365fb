#include "trace_writer.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

namespace kob::bench {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// CSV quoting for a field that may hold commas or quotes (variable names may).
void writeQuoted(std::FILE* file, const std::string& text) {
    std::fputc('"', file);
    for (const char c : text) {
        if (c == '"') std::fputc('"', file);
        std::fputc(c, file);
    }
    std::fputc('"', file);
}

}  // namespace

TraceWriter::TraceWriter(const std::filesystem::path& file) : path_(file), file_(std::fopen(file.string().c_str(), "w")) {
    if (!file_) throw std::runtime_error("cannot write the trace " + file.string() + ": " + std::strerror(errno));
    std::fputs("update,time,changes\n", file_);
}

TraceWriter::~TraceWriter() {
    if (file_) std::fclose(file_);
}

void TraceWriter::afterFrame(const host::FrameReport& report) {
    const auto& names = report.host.lvarNames();
    const auto& values = report.host.lvarValues();
    std::string changes;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i < previous_.size() && sameBits(previous_[i], values[i])) continue;
        if (!changes.empty()) changes += ';';
        char number[32];
        std::snprintf(number, sizeof number, "%.10g", values[i]);
        changes += names[i] + "=" + number;
    }
    previous_ = values;
    std::fprintf(file_, "%llu,%.6f,", static_cast<unsigned long long>(report.update), report.time);
    writeQuoted(file_, changes);
    std::fputc('\n', file_);
}

void TraceWriter::finish() {
    const bool failed = std::ferror(file_) != 0;
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed || closeFailed) throw std::runtime_error("could not write the whole trace " + path_.string());
}

}  // namespace kob::bench
