// The host side of the panel services: named variables, the simulator's
// numbered variables, and stand-ins for the element routines. One PanelHost
// is active at a time; the service table's plain function pointers reach it.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "module/panel_services.h"

namespace kob::host {

struct LvarCall {
    enum class Kind { Register, Find, Get, Set } kind;
    std::string name;  // the variable's name, or "" for an unknown id
    LvarId id;
    double value;      // the value written (Set) or read (Get)
};

struct ElementRoutineCall {
    int routine;       // 1 to 7
    void* element;
    std::uint32_t value;
};

class PanelHost {
public:
    PanelHost();
    ~PanelHost();
    PanelHost(const PanelHost&) = delete;
    PanelHost& operator=(const PanelHost&) = delete;

    PanelServices* services() { return &table_; }

    // Named variables, as the XML gauges see them.
    LvarId registerLvar(const std::string& name);
    LvarId findLvar(const std::string& name) const;
    double getLvar(LvarId id) const;
    void setLvar(LvarId id, double value);
    bool hasLvar(const std::string& name) const { return findLvar(name) >= 0; }
    double value(const std::string& name) const { return getLvar(findLvar(name)); }
    void set(const std::string& name, double value) { setLvar(registerLvar(name), value); }
    const std::vector<std::string>& lvarNames() const { return names_; }
    // Every variable's value, indexed by id (as lvarNames).
    const std::vector<double>& lvarValues() const { return values_; }
    // How often each variable was written, by anyone and by the module, indexed by id.
    const std::vector<std::uint64_t>& writeCounts() const { return writes_; }
    const std::vector<std::uint64_t>& moduleWriteCounts() const { return moduleWrites_; }

    // Simulator variable 604: a clock that moves each frame unless paused.
    void advanceFrame(double seconds);
    void setPaused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }
    double simulationClock() const { return clock_; }

    // What the module asked of the host, in order.
    bool recording = true;
    std::vector<LvarCall> lvarCalls;
    std::vector<ElementRoutineCall> elementCalls;
    std::uint32_t elementResult = 0;  // what the element routines give back

private:
    static PanelHost* active_;
    PanelServices table_{};
    std::vector<std::string> names_;
    std::vector<double> values_;
    std::vector<std::uint64_t> writes_;
    std::vector<std::uint64_t> moduleWrites_;
    std::unordered_map<std::string, LvarId> ids_;
    double clock_ = 0.0;
    bool paused_ = false;

    static LvarId KOB_STDCALL findLvarEntry(const char* name);
    static LvarId KOB_STDCALL registerLvarEntry(const char* name);
    static double KOB_STDCALL getLvarEntry(LvarId id);
    static void KOB_STDCALL setLvarEntry(LvarId id, double value);
    static void KOB_STDCALL readSimVariableEntry(SimVariableRecord* record);
    template <int N>
    static std::uint32_t KOB_STDCALL elementEntry(void* element);
    template <int N>
    static std::uint32_t KOB_STDCALL elementValueEntry(void* element, std::uint32_t value);
};

}  // namespace kob::host
