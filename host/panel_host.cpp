#include "panel_host.h"

#include <stdexcept>

namespace kob::host {

PanelHost* PanelHost::active_ = nullptr;

PanelHost::PanelHost() {
    if (active_) throw std::logic_error("only one PanelHost may be active at a time");
    active_ = this;
    table_.elementRoutine1 = elementEntry<1>;
    table_.elementRoutine2 = elementValueEntry<2>;
    table_.elementRoutine3 = elementEntry<3>;
    table_.elementRoutine4 = elementEntry<4>;
    table_.elementRoutine5 = elementValueEntry<5>;
    table_.elementRoutine6 = elementEntry<6>;
    table_.elementRoutine7 = elementEntry<7>;
    table_.readSimVariable = readSimVariableEntry;
    table_.findLvar = findLvarEntry;
    table_.registerLvar = registerLvarEntry;
    table_.getLvar = getLvarEntry;
    table_.setLvar = setLvarEntry;
}

PanelHost::~PanelHost() { active_ = nullptr; }

LvarId PanelHost::registerLvar(const std::string& name) {
    auto found = ids_.find(name);
    if (found != ids_.end()) return found->second;
    const auto id = static_cast<LvarId>(names_.size());
    names_.push_back(name);
    values_.push_back(0.0);
    writes_.push_back(0);
    moduleWrites_.push_back(0);
    ids_.emplace(name, id);
    return id;
}

LvarId PanelHost::findLvar(const std::string& name) const {
    auto found = ids_.find(name);
    return found == ids_.end() ? -1 : found->second;
}

double PanelHost::getLvar(LvarId id) const {
    if (id < 0 || static_cast<std::size_t>(id) >= values_.size()) return 0.0;
    return values_[static_cast<std::size_t>(id)];
}

void PanelHost::setLvar(LvarId id, double value) {
    if (id < 0 || static_cast<std::size_t>(id) >= values_.size()) return;
    values_[static_cast<std::size_t>(id)] = value;
    ++writes_[static_cast<std::size_t>(id)];
}

void PanelHost::advanceFrame(double seconds) {
    if (!paused_) clock_ += seconds;
}

namespace {
std::string nameOf(const std::vector<std::string>& names, LvarId id) {
    return id >= 0 && static_cast<std::size_t>(id) < names.size() ? names[static_cast<std::size_t>(id)] : "";
}
}  // namespace

LvarId KOB_STDCALL PanelHost::findLvarEntry(const char* name) {
    const LvarId id = active_->findLvar(name ? name : "");
    if (active_->recording) active_->lvarCalls.push_back({LvarCall::Kind::Find, name ? name : "", id, 0.0});
    return id;
}

LvarId KOB_STDCALL PanelHost::registerLvarEntry(const char* name) {
    const LvarId id = active_->registerLvar(name ? name : "");
    if (active_->recording) active_->lvarCalls.push_back({LvarCall::Kind::Register, name ? name : "", id, 0.0});
    return id;
}

double KOB_STDCALL PanelHost::getLvarEntry(LvarId id) {
    const double value = active_->getLvar(id);
    if (active_->recording) active_->lvarCalls.push_back({LvarCall::Kind::Get, nameOf(active_->names_, id), id, value});
    return value;
}

void KOB_STDCALL PanelHost::setLvarEntry(LvarId id, double value) {
    active_->setLvar(id, value);
    if (id >= 0 && static_cast<std::size_t>(id) < active_->moduleWrites_.size())
        ++active_->moduleWrites_[static_cast<std::size_t>(id)];
    if (active_->recording) active_->lvarCalls.push_back({LvarCall::Kind::Set, nameOf(active_->names_, id), id, value});
}

void KOB_STDCALL PanelHost::readSimVariableEntry(SimVariableRecord* record) {
    if (!record) return;
    record->value = record->number == 604 ? active_->clock_ : 0.0;
}

template <int N>
std::uint32_t KOB_STDCALL PanelHost::elementEntry(void* element) {
    active_->elementCalls.push_back({N, element, 0});
    return active_->elementResult + N;
}

template <int N>
std::uint32_t KOB_STDCALL PanelHost::elementValueEntry(void* element, std::uint32_t value) {
    active_->elementCalls.push_back({N, element, value});
    return active_->elementResult + N;
}

}  // namespace kob::host
