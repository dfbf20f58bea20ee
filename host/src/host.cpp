// Commands: fresh in and out data for each, the parameter array, global
// data between commands and the resource check afterwards.

#include <algorithm>
#include <iostream>
#include <mutex>
#include <vector>

#include "installers.h"
#include "render/render_frame.h"

namespace host {
namespace {

// Per thread, so that hosts in one process (one per video filter instance)
// can run commands at the same time without reaching each other's state.
thread_local Host::Impl* runningHere = nullptr;
// Every host running a command, on any thread: a thread the plug-in starts
// itself knows no host, and reaches the one that is running, or none when
// several are.
std::mutex runningMutex;
std::vector<Host::Impl*> runningAnywhere;

// An effect API version of our time; plug-ins may compare against it.
constexpr PF_SpecVersion kApiVersion = {13, 28};

PF_InData makeInData(Host::Impl& host, PF_UtilCallbacks* utils, SPBasicSuite* basic) {
    const Host::Frame& frame = host.currentFrame();
    PF_InData in{};
    in.inter = host.inter;
    if (host.frameRender) {
        in.inter.checkout_param = checkoutParamInRender;
    }
    in.utils = utils;
    in.effect_ref = host.effectRef();
    in.quality = PF_Quality_HI;
    in.version = kApiVersion;
    in.num_params = static_cast<A_long>(host.effect.params.size());
    in.current_time = frame.currentTime;
    in.time_step = frame.timeStep;
    in.local_time_step = frame.timeStep;
    in.total_time = frame.currentTime + frame.timeStep;  // the layer lasts at least through this frame
    in.time_scale = frame.timeScale;
    in.field = PF_Field_FRAME;
    in.width = frame.width;
    in.height = frame.height;
    in.extent_hint = PF_Rect{0, 0, frame.width, frame.height};
    in.downsample_x = frame.downsampleX;
    in.downsample_y = frame.downsampleY;
    in.pixel_aspect_ratio = PF_RationalScale{1, 1};
    in.global_data = host.globalData;
    in.pica_basicP = basic;
    return in;
}

// What one command gets. The callback tables are copies, so a plug-in that
// writes into them affects this command only.
struct CommandData {
    explicit CommandData(Host::Impl& host)
        : utils(host.utils), basic(*host.suites.basicSuite()), in(makeInData(host, &utils, &basic)) {
        out.global_data = host.globalData;
    }
    CommandData(const CommandData&) = delete;
    CommandData& operator=(const CommandData&) = delete;

    PF_UtilCallbacks utils;
    SPBasicSuite basic;
    PF_InData in;
    PF_OutData out{};
};

void beginCommand(Host::Impl& host, PF_Cmd cmd) {
    host.command = cmd;
    ++host.commandSerial;
    host.suites.resetCounts();
    host.problems.clear();
    {
        std::lock_guard<std::mutex> lock(host.notesMutex);
        host.notes.clear();
    }
    if (cmd == PF_Cmd_PARAMS_SETUP) {
        host.beginParamsSetup();
    }
}

// The global data a successful global setup hands over is the host's until
// global setdown, when the plug-in must have disposed it.
void takeGlobalData(Host::Impl& host, PF_Cmd cmd, PF_Err err) {
    if (cmd == PF_Cmd_GLOBAL_SETUP && err == PF_Err_NONE) {
        host.globalData = host.outData.global_data;
        host.globalSetUp = true;
        host.adoptHandle(host.globalData);
    } else if (cmd == PF_Cmd_GLOBAL_SETDOWN) {
        std::uint64_t size = 0;
        if (host.globalData && host.memory.handles.size(host.globalData, size)) {
            host.note("global data handle of " + std::to_string(size) + " bytes not disposed at global setdown");
        }
        host.globalData = nullptr;
        host.globalSetUp = false;
    }
}

void checkResources(Host::Impl& host) {
    host.problems = host.suites.outstanding();
    for (const std::uint64_t size : host.memory.handles.heldByPlugin(host.commandSerial)) {
        host.problems.push_back("handle of " + std::to_string(size) + " bytes neither disposed nor handed to the host");
    }
    for (std::string& world : host.memory.worlds.heldByPlugin(host.commandSerial)) {
        host.problems.push_back(std::move(world));
    }
    {
        std::lock_guard<std::mutex> lock(host.effect.mutex);
        host.effect.references.reportHeld(host.commandSerial, host.problems);
    }
    std::lock_guard<std::mutex> lock(host.notesMutex);
    host.problems.insert(host.problems.end(), host.notes.begin(), host.notes.end());
}

void endCommand(Host::Impl& host, PF_Cmd cmd, PF_Err err) {
    if (cmd == PF_Cmd_PARAMS_SETUP) {
        host.endParamsSetup();
    }
    takeGlobalData(host, cmd, err);
    checkResources(host);
}

}  // namespace

Host::Impl::Impl(Host& owner, const std::string& modulePath) : owner(owner), module(modulePath) {
    for (const Installer install : kInstallers) {
        install(*this);
    }
}

Host::Impl* Host::Impl::current() {
    if (runningHere) {
        return runningHere;
    }
    std::lock_guard<std::mutex> lock(runningMutex);
    if (runningAnywhere.empty()) {
        return nullptr;
    }
    Impl* const only = runningAnywhere.front();
    const bool alone = std::all_of(runningAnywhere.begin(), runningAnywhere.end(), [only](Impl* h) { return h == only; });
    return alone ? only : nullptr;
}

Host::Impl::Running::Running(Impl& host) : host_(&host), previous_(runningHere) {
    runningHere = &host;
    std::lock_guard<std::mutex> lock(runningMutex);
    runningAnywhere.push_back(&host);
}

Host::Impl::Running::~Running() {
    runningHere = previous_;
    std::lock_guard<std::mutex> lock(runningMutex);
    runningAnywhere.erase(std::find(runningAnywhere.begin(), runningAnywhere.end(), host_));
}

PF_Err Host::Impl::enter(const char* name, CallArgs args) {
    record(name, args);
    return faults.onCall(name);
}

void Host::Impl::record(const char* name, CallArgs args) {
    if (log.recording()) {
        log.record(name, args.text());
    }
}

PF_Err Host::Impl::enterWithRef(PF_ProgPtr ref, const char* name, CallArgs args, Impl*& host) {
    host = current();
    if (!host) {
        return PF_Err_INVALID_CALLBACK;
    }
    if (const PF_Err err = host->enter(name, args)) {
        return err;
    }
    return ref == host->effectRef() ? PF_Err_NONE : PF_Err_BAD_CALLBACK_PARAM;
}

void Host::Impl::note(std::string problem) {
    std::lock_guard<std::mutex> lock(notesMutex);
    notes.push_back(std::move(problem));
}

void Host::Impl::adoptHandle(PF_Handle handle) { memory.handles.adopt(handle); }

Host::Host(const std::string& modulePath) : impl_(std::make_unique<Impl>(*this, modulePath)) {}

Host::~Host() {
    if (!impl_->globalSetUp) {
        return;
    }
    // Nobody can ask for problems() any more, so they go to the error stream.
    try {
        send(PF_Cmd_GLOBAL_SETDOWN);
        for (const std::string& problem : impl_->problems) {
            std::cerr << "host: at unload: " << problem << '\n';
        }
    } catch (...) {
        std::cerr << "host: the plug-in threw during global setdown at unload\n";
    }
}

PF_Err Host::send(PF_Cmd cmd, void* extra, PF_LayerDef* output) {
    Impl& host = *impl_;
    beginCommand(host, cmd);

    CommandData data(host);
    std::vector<PF_ParamDef*> params;
    for (ParamRecord& record : host.effect.params) {
        params.push_back(&record.current);
    }

    PF_Err err = PF_Err_NONE;
    {
        Impl::Running scope(host);
        err = host.module.entry()(cmd, &data.in, &data.out, params.data(), output, extra);
    }
    host.outData = data.out;
    endCommand(host, cmd, err);
    return err;
}

void Host::withCommandData(const std::function<void(PF_InData&, PF_OutData&)>& body) {
    Impl& host = *impl_;
    beginCommand(host, PF_Cmd_SMART_RENDER);
    CommandData data(host);
    {
        Impl::Running scope(host);
        body(data.in, data.out);
    }
    host.outData = data.out;
    endCommand(host, PF_Cmd_SMART_RENDER, PF_Err_NONE);
}

PF_Err Host::globalSetup() {
    return send(PF_Cmd_GLOBAL_SETUP);
}

PF_Err Host::paramsSetup() {
    return send(PF_Cmd_PARAMS_SETUP);
}

PF_Err Host::about() {
    return send(PF_Cmd_ABOUT);
}

const PF_OutData& Host::outData() const {
    return impl_->outData;
}

const std::vector<ParamRecord>& Host::params() const { return impl_->effect.params; }

ParamRecord& Host::param(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= impl_->effect.params.size()) {
        throw HostError("no parameter at index " + std::to_string(index));
    }
    return impl_->effect.params[static_cast<std::size_t>(index)];
}

int Host::paramIndex(const std::string& name) const {
    for (const ParamRecord& record : impl_->effect.params) {
        if (record.name == name) {
            return record.index;
        }
    }
    throw HostError("no parameter named \"" + name + "\"");
}

bool Host::customUIRegistered() const { return impl_->effect.customUIRegistered; }

const PF_CustomUIInfo& Host::customUI() const { return impl_->effect.customUI; }

const std::vector<std::string>& Host::registeredPlugins() const { return impl_->effect.registeredPlugins; }

void* Host::symbol(const std::string& name) const {
    return impl_->module.symbol(name);
}

Host::Frame& Host::frame() {
    return impl_->frame;
}

SuiteRegistry& Host::suites() {
    return impl_->suites;
}

CallLog& Host::log() {
    return impl_->log;
}

Faults& Host::faults() {
    return impl_->faults;
}

const std::vector<std::string>& Host::problems() const {
    return impl_->problems;
}

std::size_t Host::liveHandles() const { return impl_->memory.handles.live(); }

Host::Holdings Host::holdings() const {
    Holdings held;
    held.calls = impl_->log.size();
    held.problems = impl_->problems.size();
    held.handles = impl_->memory.handles.live();
    held.worlds = impl_->memory.worlds.live();
    std::lock_guard<std::mutex> lock(impl_->effect.mutex);
    held.texts = impl_->effect.texts.size();
    held.references = impl_->effect.references.held();
    held.plugins = impl_->effect.registeredPlugins.size();
    return held;
}

Host* Host::current() {
    Impl* host = Impl::current();
    return host ? &host->owner : nullptr;
}

}  // namespace host
