#pragma once
// The project the host plays: one composition whose layers carry effect
// instances, each with a stream per registered parameter. The AEGP suites
// reach it through references the host hands out; commands go to one
// effect instance, the target.
//
// A new host's composition holds one footage layer carrying one instance of
// the loaded effect, which is the target. Look at and change the project
// between commands; during a command it belongs to the plug-in's calls.

#include <memory>
#include <string>
#include <vector>

#include "AE_GeneralPlug.h"
#include "host/host.h"

namespace host {

// What the project keeps of one parameter stream of an effect instance.
// The values live in the host's parameter records (Host::param).
struct StreamState {
    PF_ParamUIFlags uiFlags = 0;  // as registered, then as PF_UpdateParamUI last set them
    AEGP_DynStreamFlags dynamicFlags = 0;
    std::string expression;
    bool expressionEnabled = false;
};

class Composition;
class Layer;

class Effect {
public:
    Effect(Layer& layer, const std::vector<ParamRecord>& params, std::u16string name);

    std::u16string name;  // the name of the effect's own stream group
    AEGP_EffectFlags flags = AEGP_EffectFlags_ACTIVE;
    AEGP_DynStreamFlags groupFlags = 0;  // dynamic flags of that group

    Layer& layer() const { return *layer_; }
    // Position in the layer's effect list, from 0.
    int index() const;
    // The stream of parameter `index`, 1 up to the last registered
    // parameter (the input layer has none); throws HostError otherwise.
    StreamState& stream(int index);
    const StreamState& stream(int index) const;
    bool hasStream(int index) const;

private:
    Layer* layer_;
    const std::vector<ParamRecord>* params_;
    // By parameter index, made on first use: the parameters are registered
    // after the effect exists. Entry 0 stands for the input layer and is unused.
    mutable std::vector<StreamState> streams_;
};

class Layer {
public:
    Layer(Composition& composition, AEGP_ObjectType type, A_long width, A_long height);

    AEGP_ObjectType type;

    Composition& composition() const { return *composition_; }
    // The layer carrying the target effect has the frame's size, which the
    // host puts into PF_InData; setting its size sets the frame's.
    A_long width() const;
    A_long height() const;
    void setSize(A_long width, A_long height);

    // A new instance of the loaded effect at the end of the effect list.
    Effect& addEffect();
    const std::vector<std::unique_ptr<Effect>>& effects() const { return effects_; }
    // Moves one of the layer's effects to position `index` of the list;
    // throws HostError for a position outside it.
    void moveEffect(const Effect& effect, int index);

private:
    friend class Project;  // keeps the target layer's own size while the frame holds it

    Composition* composition_;
    A_long width_, height_;
    std::vector<std::unique_ptr<Effect>> effects_;
};

class Composition {
public:
    explicit Composition(Project& project) : project_(&project) {}

    Project& project() const { return *project_; }
    Layer& addLayer(AEGP_ObjectType type, A_long width, A_long height);
    const std::vector<std::unique_ptr<Layer>>& layers() const { return layers_; }

private:
    Project* project_;
    std::vector<std::unique_ptr<Layer>> layers_;
};

class Project {
public:
    // The key under which the loaded effect is installed.
    static constexpr AEGP_InstalledEffectKey kEffectKey = 1;

    explicit Project(Host::Impl& host);

    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;

    Composition& composition() { return composition_; }
    // The effect instance effect_ref stands for in every command.
    Effect& target() const { return *target_; }
    // Commands go to this effect from now on; the frame takes its layer's size.
    void setTarget(Effect& effect);

    bool contains(const Layer* layer) const;
    // The name a new instance of the loaded effect gets: its module's file
    // name without the extension.
    const std::u16string& effectName() const { return effectName_; }

private:
    friend class Layer;  // sizes and effects need the host's frame and parameters

    Host::Impl& host_;
    std::u16string effectName_;
    Composition composition_;
    Effect* target_ = nullptr;
};

}  // namespace host
