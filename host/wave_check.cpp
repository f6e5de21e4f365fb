#include "wave_check.h"

#include <cstdio>
#include <cstring>

#include "audio/wave_file.h"
#include "kob_platform/win32.h"

namespace kob::host {
namespace {

constexpr DWORD kMinBufferBytes = 4;           // DSBSIZE_MIN
constexpr DWORD kMaxBufferBytes = 0x0FFFFFFF;  // DSBSIZE_MAX
constexpr DWORD kMinRate = 100;
constexpr DWORD kMaxRate = 200000;

std::string fourcc(FOURCC code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const auto c = static_cast<char>((code >> (8 * i)) & 0xFF);
        text += c >= 0x20 && c < 0x7F ? c : '?';
    }
    return "\"" + text + "\"";
}

WaveCheck refused(std::string reason) { return {WaveCheck::Verdict::Refused, std::move(reason)}; }

// An mmio handle closed on every way out.
class MmioHandle {
public:
    explicit MmioHandle(const std::string& path)
        : handle_(mmioOpenA(const_cast<LPSTR>(path.c_str()), nullptr, MMIO_ALLOCBUF | MMIO_READ)) {}
    ~MmioHandle() {
        if (handle_) mmioClose(handle_, 0);
    }
    MmioHandle(const MmioHandle&) = delete;
    MmioHandle& operator=(const MmioHandle&) = delete;
    HMMIO get() const { return handle_; }

private:
    HMMIO handle_;
};

// What DirectSound's CreateSoundBuffer says to the 16 PCM bytes of the format.
std::string formatProblem(const PCMWAVEFORMAT& f) {
    const WAVEFORMAT& w = f.wf;
    if (w.wFormatTag != WAVE_FORMAT_PCM)
        return "format tag " + std::to_string(w.wFormatTag) + " is not PCM (1): DirectSound refuses it";
    if (w.nChannels == 0 || w.nChannels > 2)
        return std::to_string(w.nChannels) + " channels: DirectSound plays 1 or 2";
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
        return std::to_string(f.wBitsPerSample) + " bits per sample: DirectSound plays 8 or 16";
    const DWORD blockAlign = DWORD{w.nChannels} * f.wBitsPerSample / 8;
    if (w.nBlockAlign != blockAlign)
        return "block align " + std::to_string(w.nBlockAlign) + " should be " + std::to_string(blockAlign) +
               " (channels x bits / 8): DirectSound refuses it";
    if (w.nSamplesPerSec < kMinRate || w.nSamplesPerSec > kMaxRate)
        return std::to_string(w.nSamplesPerSec) + " Hz: DirectSound plays 100 to 200000 Hz";
    if (w.nAvgBytesPerSec != w.nSamplesPerSec * blockAlign)
        return "byte rate " + std::to_string(w.nAvgBytesPerSec) + " should be " +
               std::to_string(w.nSamplesPerSec * blockAlign) + " (rate x block align): DirectSound refuses it";
    return {};
}

}  // namespace

WaveCheck checkWave(const std::string& path) {
    // The module's existence test, which decides between the ErrorFlag value and a load.
    if (std::FILE* file = fopenWindowsPath(path.c_str(), "r")) {
        std::fclose(file);
    } else {
        return {WaveCheck::Verdict::Missing, "no such file"};
    }

    // The reader's steps, in its order, each with its reason.
    const MmioHandle file(path);
    const HMMIO h = file.get();
    if (!h) return refused("cannot be opened for reading");
    MMCKINFO riff = {};
    if (mmioDescend(h, &riff, nullptr, 0) != 0) return refused("too short to be a WAV file");
    if (riff.ckid != mmioFOURCC('R', 'I', 'F', 'F'))
        return refused("not a WAV file: it begins with " + fourcc(riff.ckid) + ", not \"RIFF\"");
    if (riff.fccType != mmioFOURCC('W', 'A', 'V', 'E'))
        return refused("a RIFF file of type " + fourcc(riff.fccType) + ", not \"WAVE\"");
    MMCKINFO fmt = {};
    fmt.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(h, &fmt, &riff, MMIO_FINDCHUNK) != 0) return refused("no \"fmt \" chunk");
    if (fmt.cksize < 16)
        return refused("the \"fmt \" chunk holds " + std::to_string(fmt.cksize) + " bytes, fewer than 16");
    PCMWAVEFORMAT format = {};
    static_assert(sizeof format == 16);
    if (mmioRead(h, reinterpret_cast<HPSTR>(&format), 16) != 16) return refused("the file ends inside its format");
    if (const std::string problem = formatProblem(format); !problem.empty()) return refused(problem);

    if (mmioSeek(h, static_cast<LONG>(riff.dwDataOffset + 4), SEEK_SET) == -1) return refused("cannot be read");
    MMCKINFO data = {};
    data.ckid = mmioFOURCC('d', 'a', 't', 'a');
    if (mmioDescend(h, &data, &riff, MMIO_FINDCHUNK) != 0)
        return refused("no \"data\" chunk (within the RIFF chunk's declared size)");
    if (data.cksize < kMinBufferBytes)
        return refused("the data chunk holds " + std::to_string(data.cksize) +
                       " bytes: DirectSound wants at least 4");
    if (data.cksize > kMaxBufferBytes)
        return refused("the data chunk holds " + std::to_string(data.cksize) +
                       " bytes: DirectSound takes at most 268435455");
    const LONG fileSize = mmioSeek(h, 0, SEEK_END);
    if (fileSize >= 0 && std::uint64_t{data.dwDataOffset} + data.cksize > static_cast<std::uint64_t>(fileSize))
        return refused("the data chunk declares " + std::to_string(data.cksize) + " bytes but the file ends after " +
                       std::to_string(static_cast<std::uint64_t>(fileSize) - data.dwDataOffset));

    // The module's own reader has the last word.
    WaveFile wave;
    if (FAILED(wave.open(path.c_str()))) return refused("the module's WAV reader refuses it");
    return {};
}

}  // namespace kob::host
