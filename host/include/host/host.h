#pragma once
// A headless host for effect plug-in modules.
//
// It loads a module with dlopen, finds its EntryPointFunc and plays the
// application: it fills PF_InData / PF_OutData for every command, keeps the
// plug-in's global data between commands, records the parameters the plug-in
// registers and keeps their current values, and serves every callback and
// suite the plug-in calls. For tests it keeps a call log, injects faults and
// checks after each command that every suite acquired was released and every
// handle was freed or handed to the host.
//
// One command runs at a time per host. Callbacks without a context argument
// (handles, maths) reach the host that is running the current command.

#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "host/call_log.h"
#include "host/faults.h"
#include "host/suite_registry.h"

namespace host {

// A parameter as the plug-in registered it through add_param.
struct ParamRecord {
    int index = 0;                       // position in the parameter list (0 = input layer)
    PF_ParamDef registered{};            // the definition as passed to add_param
    PF_ParamDef current{};               // the value the host holds now (handed out by checkout_param)
    std::string name;
    std::vector<std::string> popupItems;  // popups: the items, separators ("(-") included
    std::string checkboxLabel;            // checkboxes: the label text
};

// Thrown by the host for its own failures (module not found, symbol missing,
// unknown parameter name); never for errors the plug-in returns.
struct HostError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Image;
class Project;
class UserInterface;
struct RenderOptions;
struct RenderResult;

class Host {
public:
    // Loads the module; throws HostError naming the path and dlerror() on failure.
    explicit Host(const std::string& modulePath);
    // Sends PF_Cmd_GLOBAL_SETDOWN when global setup succeeded, then unloads.
    ~Host();

    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // Sends one command with freshly filled in/out data and the current
    // parameter array. Records the resulting PF_OutData (see outData()) and
    // runs the end-of-command resource check (see problems()).
    PF_Err send(PF_Cmd cmd, void* extra = nullptr, PF_LayerDef* output = nullptr);

    // Conveniences: GLOBAL_SETUP, then PARAMS_SETUP; About.
    PF_Err globalSetup();
    PF_Err paramsSetup();
    PF_Err about();

    // The out data of the last command (return_msg, my_version, out_flags, ...).
    const PF_OutData& outData() const;

    // Parameters registered by the last PARAMS_SETUP, in index order; the
    // input layer (index 0) is included as the host's own record.
    const std::vector<ParamRecord>& params() const;
    ParamRecord& param(int index);
    // Index of the parameter with this name; throws HostError if none.
    int paramIndex(const std::string& name) const;

    bool customUIRegistered() const;
    const PF_CustomUIInfo& customUI() const;

    // Names the plug-in registered with AEGP_RegisterWithAEGP; the plug-in
    // id handed out for entry i is i + 1.
    const std::vector<std::string>& registeredPlugins() const;

    // Address of an exported data symbol of the module (e.g. "PluginInfo"), or null.
    void* symbol(const std::string& name) const;

    // Time and geometry the host puts into PF_InData.
    struct Frame {
        A_long currentTime = 0;
        A_long timeStep = 1;
        A_u_long timeScale = 24;
        A_long width = 100;    // layer size at full resolution
        A_long height = 100;
        PF_RationalScale downsampleX{1, 1};
        PF_RationalScale downsampleY{1, 1};
    };
    Frame& frame();

    // The composition, layers and effect instances the AEGP suites reach.
    Project& project();

    // The panels' user-interface events (host/panel.h).
    UserInterface ui();

    SuiteRegistry& suites();
    CallLog& log();
    Faults& faults();

    // What the resource check found after the last command: suites acquired
    // but not released, handles neither disposed nor handed to the host,
    // worlds not disposed, AEGP references and memory handles not given
    // back, and misuse the host noticed.
    // Empty when everything was given back.
    const std::vector<std::string>& problems() const;

    // Handles alive now: those the host holds on the plug-in's behalf
    // (global data, pre-render data) and any the plug-in leaked, which the
    // resource check has reported.
    std::size_t liveHandles() const;
    // Worlds the host handed out that are not disposed yet (reported by the
    // resource check of the command that made them; freed when the host goes).
    std::size_t liveWorlds() const;

    // What the host keeps, counted in entries of its tables and logs. It
    // depends on what the plug-in holds and on the parameters it registered,
    // never on how many frames or commands ran: a long session must not grow.
    struct Holdings {
        std::size_t calls = 0;       // in the call log
        std::size_t problems = 0;    // of the last command
        std::size_t texts = 0;       // plug-in text the parameter definitions point at
        std::size_t handles = 0;     // live handles
        std::size_t worlds = 0;      // live worlds
        std::size_t references = 0;  // AEGP handles handed out and not given back
        std::size_t plugins = 0;     // names registered with AEGP_RegisterWithAEGP
    };
    Holdings holdings() const;

    // Runs `body` as if inside a command (PF_Cmd_SMART_RENDER): with the
    // in and out data, callbacks and suites a command gets, followed by the
    // end-of-command resource check (see problems()). For calling library
    // code that expects to run inside the host.
    void withCommandData(const std::function<void(PF_InData&, PF_OutData&)>& body);

    // Threads iterate_generic runs on, and the count AEGP_GetNumThreads
    // reports; 0 (the default) means as many as the machine has cores.
    void setThreadCount(int count);
    int threadCount() const;

    // From the n-th abort check on (counted from now, 1-based) abort reports
    // PF_Interrupt_CANCEL, as when the user cancels; 0 withdraws the cancel.
    void cancelAtAbortCheck(int n);

    // The host running the current command, for callbacks without context.
    static Host* current();

    struct Impl;

private:
    friend RenderResult renderFrame(Host& host, const Image& layer, const RenderOptions& options);
    std::unique_ptr<Impl> impl_;
};

}  // namespace host
