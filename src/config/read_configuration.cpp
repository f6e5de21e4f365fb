#include "config/read_configuration.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>

#include "config/sound_slot.h"
#include "kob_platform/win32.h"
#include "module/bounded_text.h"
#include "module/gauge_state.h"

namespace kob {
namespace {

constexpr std::size_t valueBufferSize = 130;
constexpr DWORD slotValueLimit = 128;  // 127 characters and the NUL
constexpr const char* defaultVolumeVar = "kob_vorlo_volume";
constexpr const char* defaultStopVar = "kob_stop_sounds";

// "Sound07", "Lvar42": the prefix, a 0 below ten, then the index.
std::string slotKey(const char* prefix, int index) {
    return std::string(prefix) + (index < 10 ? "0" : "") + std::to_string(index);
}

std::string twoDigitIndex(int index) { return (index < 10 ? "0" : "") + std::to_string(index); }

void readSoundValue(SoundSlot& slot, int index) {
    char value[valueBufferSize] = {};
    GetPrivateProfileStringA("Sounds", slotKey("Sound", index).c_str(), "", value, slotValueLimit,
                             gaugeState.iniPath);
    if (value[0] == '\0') {
        copyBounded(slot.wavPath, ("./Sound/kob/kob_xml_" + twoDigitIndex(index) + ".wav").c_str());
        slot.volume = 0.0f;
        return;
    }
    char* comma = std::strchr(value, ',');
    if (!comma) {
        copyBounded(slot.wavPath, value);
        slot.volume = 0.0f;
        return;
    }
    *comma = '\0';
    copyBounded(slot.wavPath, value);
    const double level = parseLeadingDecimal(comma + 1);
    const float offset = static_cast<float>(level - 100.0);
    slot.volume = static_cast<float>(static_cast<double>(offset) * 100.0);
}

void readVariableName(SoundSlot& slot, int index) {
    char value[valueBufferSize] = {};
    GetPrivateProfileStringA("LVars", slotKey("Lvar", index).c_str(), "", value, slotValueLimit,
                             gaugeState.iniPath);
    if (value[0] != '\0')
        copyBounded(slot.controlVarName, value);
    else
        copyBounded(slot.controlVarName, ("kob_xml_id_" + twoDigitIndex(index)).c_str());
}

void registerSlotVariable(SoundSlot& slot) {
    PanelServices& host = panelServices();
    slot.controlVarId = host.registerLvar(slot.controlVarName);
    slot.controlVarId = host.findLvar(slot.controlVarName);
}

}  // namespace

int parseLeadingInteger(const char* text) {
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
        value = value * 10 + (*p - '0');
        if (value > 0x80000000LL) value = 0x80000000LL;  // saturate; the callers bound it anyway
    }
    value = negative ? -value : value;
    if (value > 0x7FFFFFFFLL) value = 0x7FFFFFFFLL;
    return static_cast<int>(value);
}

double parseLeadingDecimal(const char* text) {
    // Only the plain decimal form counts; "inf", "nan" and hex are not numbers here.
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
    std::size_t digits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
    if (*p == '.') {
        ++p;
        while (std::isdigit(static_cast<unsigned char>(*p))) ++p, ++digits;
    }
    if (digits == 0) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* exponent = p + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (std::isdigit(static_cast<unsigned char>(*exponent))) {
            p = exponent;
            while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
        }
    }
    return std::strtod(std::string(start, p).c_str(), nullptr);
}

void readConfiguration(const char* parameter) {
    PanelServices& host = panelServices();

    // A parameter too long for the path buffer is cut to fit.
    copyBounded(gaugeState.iniPath, parameter[0] != '\0' ? parameter : defaultConfigPath);
    const char* ini = gaugeState.iniPath;

    char maxSounds[5] = {};
    GetPrivateProfileStringA("Config", "MaxSounds", "100", maxSounds, sizeof maxSounds, ini);
    std::int32_t errorFlag = static_cast<std::int32_t>(GetPrivateProfileIntA("Config", "ErrorFlag", 0, ini));
    gaugeState.resetVolumeVar = static_cast<std::int32_t>(GetPrivateProfileIntA("Config", "ResetVolumeVar", 1, ini));

    GetPrivateProfileStringA("Config", "VolumeVar", "", gaugeState.volumeVarName, sizeof gaugeState.volumeVarName,
                             ini);
    if (gaugeState.volumeVarName[0] == '\0') copyBounded(gaugeState.volumeVarName, defaultVolumeVar);
    gaugeState.volumeVarId = host.registerLvar(gaugeState.volumeVarName);

    std::int32_t slotCount = parseLeadingInteger(maxSounds);
    if (slotCount > maxSlotCount) slotCount = maxSlotCount;
    if (slotCount < 0) slotCount = 0;  // no valid table below zero slots
    gaugeState.slotCount = slotCount;

    std::memset(SlotTable, 0, sizeof(SoundSlot) * static_cast<std::size_t>(slotCount + 1));
    gaugeState.displayedSlot = slotCount;
    gaugeState.errorFlag = errorFlag == -1 ? -1 : 0;

    for (int index = slotCount - 1; index >= 0; --index) {
        SoundSlot& slot = SlotTable[index];
        readSoundValue(slot, index);
        readVariableName(slot, index);
        registerSlotVariable(slot);
        slot.started = 0;
        slot.loaded = 0;
    }

    SoundSlot& stop = SlotTable[slotCount];
    char stopName[valueBufferSize] = {};
    GetPrivateProfileStringA("Config", "LvarStop", defaultStopVar, stopName, slotValueLimit, ini);
    copyBounded(stop.controlVarName, stopName[0] != '\0' ? stopName : defaultStopVar);
    registerSlotVariable(stop);
}

}  // namespace kob
