#pragma once
// The host's state, shared by the files that serve the plug-in's callbacks
// and suites: what ties the rooms together (the module, commands, call log
// and faults) and each room's own state, which keeps its own lock.

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "AE_GeneralPlug.h"
#include "call_args.h"
#include "host/host.h"
#include "host/project.h"
#include "memory/memory.h"
#include "module/module.h"
#include "project/effect_state.h"
#include "render/render_settings.h"

namespace host {

struct Host::Impl {
    Impl(Host& owner, const std::string& modulePath);

    // The host running the current command on this thread; on a thread of
    // the plug-in's own, the one host running a command. Null between commands.
    static Impl* current();
    // Makes `host` the current host on this thread for a scope (a command,
    // or a thread an iteration starts for one), and restores the previous
    // one even when the plug-in throws.
    class Running {
    public:
        explicit Running(Impl& host);
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        Impl* host_;
        Impl* previous_;
    };
    PF_ProgPtr effectRef() { return reinterpret_cast<PF_ProgPtr>(this); }

    // Records a call when the log records and returns the error the fault
    // plan injects, or 0.
    PF_Err enter(const char* name, CallArgs args = {});
    // The same for a callback that names its host through effect_ref: sets
    // `host` to the running host and fails when `ref` is not its reference.
    static PF_Err enterWithRef(PF_ProgPtr ref, const char* name, CallArgs args, Impl*& host);
    // Records a call that cannot fail.
    void record(const char* name, CallArgs args = {});
    // A misuse the end-of-command check reports (freeing twice, ...).
    void note(std::string problem);

    // PARAMS_SETUP starts the parameter list anew after the input layer; the
    // parameters added meanwhile join it when the command has returned.
    void beginParamsSetup();
    void endParamsSetup();

    // Hands a plug-in handle over to the host: it is no leak any more, and
    // the host frees it at the latest when it goes (global data, pre-render data).
    void adoptHandle(PF_Handle handle);
    AEGP_PluginID registerPlugin(std::string name);

    Host& owner;
    // Declared before the rest of the state so that it is unloaded last,
    // after everything that may still point into the module.
    Module module;
    SuiteRegistry suites;
    CallLog log;
    Faults faults;
    Frame frame;
    Memory memory;
    RenderSettings render;
    class FrameRender* frameRender = nullptr;  // the frame renderFrame is rendering, set between commands

    // What commands see: the frame renderFrame renders, else the host's own settings.
    const Host::Frame& currentFrame() const;
    int threadCount() const;
    AEGP_ObjectType objectType(const Layer& layer) const;

    // The callback tables as the installers filled them; every command gets
    // fresh copies, so a plug-in that writes into them affects one command.
    PF_InteractCallbacks inter{};
    PF_UtilCallbacks utils{};

    PF_Cmd command = PF_Cmd_ABOUT;
    std::uint64_t commandSerial = 0;  // counts commands; handles remember theirs

    // Changed between commands only.
    PF_OutData outData{};
    PF_Handle globalData = nullptr;
    bool globalSetUp = false;
    std::vector<std::string> problems;

    EffectState effect{*this};

    // Misuse the callbacks noticed during the current command, from any thread.
    std::mutex notesMutex;
    std::vector<std::string> notes;
};

}  // namespace host
