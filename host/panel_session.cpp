#include "panel_session.h"

#include "module/service_id.h"

namespace kob::host {

PanelSession::PanelSession(const std::filesystem::path& module) {
    host_.recording = false;  // a long run would keep every call
    module_ = std::make_unique<LoadedModule>(module, host_.services());
    const auto& linkage = module_->linkage();
    if (!linkage.gaugeTable[0] || !linkage.gaugeTable[1] || !linkage.gaugeTable[0]->callback)
        throw std::runtime_error(module.string() + ": not a sound gauge module (its gauge table lacks the two gauges)");
    debugger_ = std::make_unique<DebuggerGaugeDriver>(module_->debuggerGauge());
}

PanelSession::~PanelSession() {
    if (running_) shutdown();
    debugger_.reset();
    module_.reset();
}

void PanelSession::start(const std::string& parameter) {
    parameter_ = parameter;
    module_->soundGauge().parameterString = parameter_.c_str();
    module_->service(ServiceId::setup);
    module_->service(ServiceId::configure);
    module_->service(ServiceId::registerVariables);
    running_ = true;
}

void PanelSession::update(double frameSeconds) {
    host_.advanceFrame(frameSeconds);
    module_->service(ServiceId::update);
    debugger_->redraw();
}

void PanelSession::shutdown() {
    module_->service(ServiceId::shutdown);
    running_ = false;
}

}  // namespace kob::host
