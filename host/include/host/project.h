#pragma once
// The project the host plays: one composition whose layers carry effect
// instances, each with a stream per registered parameter. The AEGP suites
// reach it through references the host hands out; commands go to one
// effect instance, the target.
//
// A new host's composition holds one footage layer carrying one instance of
// the loaded effect, which is the target. Look at and change the project
// between commands; during a command it belongs to the plug-in's calls.

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AE_GeneralPlug.h"
#include "host/host.h"

namespace host {

// A stream's value in the stream's own units, as the stream suite's value
// record carries it. The first component is the value of one-dimensional
// streams: float sliders, angles in degrees, checkboxes (0 or 1), popups
// (the item number from 1), rotation in degrees, opacity in percent. Points
// are x, y in layer pixels, three-dimensional streams x, y, z; colours are
// alpha, red, green, blue from 0 to 1. Unused components are ignored.
using StreamValue = std::array<double, 4>;

// A parameter's value as its stream holds it; zero for parameters without
// a value (buttons, groups, layers).
StreamValue paramValue(const PF_ParamDef& def);
// Writes a value into the parameter: popups and checkboxes take the nearest
// whole number, fixed-point values the nearest 16.16, colours the nearest
// byte of each channel clamped to 0..1. Parameters without a value keep theirs.
void setParamValue(PF_ParamDef& def, const StreamValue& value);

// `time` is value / scale seconds of layer time; the layer starts at the
// composition's start, so layer and composition time agree.
struct Keyframe {
    A_Time time;
    StreamValue value;
};

// What the project keeps of one stream besides its value while it has no
// keyframes. A parameter's value lives in its host parameter record
// (Host::param(i).current), which AEGP_SetStreamValue writes too: one store
// for the plug-in and for whoever sets values through the host.
struct StreamState {
    PF_ParamUIFlags uiFlags = 0;  // parameters: as registered, then as PF_UpdateParamUI last set them
    AEGP_DynStreamFlags dynamicFlags = 0;
    std::string expression;  // kept as text; the host evaluates no expressions
    bool expressionEnabled = false;

    // In time order at distinct times. With keyframes the value follows
    // them: linear between two keyframes, held before the first and after
    // the last. Popups and checkboxes have no values in between, so each of
    // their keyframes holds until the next one.
    const std::vector<Keyframe>& keyframes() const { return keyframes_; }
    // Replaces the keyframes (none: the stream keeps one value again), in
    // any order. Throws HostError for a time with scale 0, two keyframes at
    // one time or a value that is not finite.
    void setKeyframes(std::vector<Keyframe> keyframes);

private:
    std::vector<Keyframe> keyframes_;
};

// The properties of a layer the project has, by the numbers the
// application gives them. Anchor point (layer pixels), position
// (composition pixels) and scale (percent) are three-dimensional; rotation
// (degrees) and opacity (percent) are one-dimensional.
enum : AEGP_LayerStream {
    kLayerAnchorPoint = 0,
    kLayerPosition = 1,
    kLayerScale = 2,
    kLayerRotation = 3,
    kLayerOpacity = 4,
};

// A property of a layer: the value it keeps while it has no keyframes.
struct LayerStream : StreamState {
    StreamValue value{};
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

    static bool hasStream(AEGP_LayerStream which);
    // Made on first use with the application's defaults: anchor point and
    // position at the layer's centre, scale 100 %, rotation 0, opacity
    // 100 %. Throws HostError for a property the layer does not have.
    LayerStream& stream(AEGP_LayerStream which);

private:
    friend class Project;  // keeps the target layer's own size while the frame holds it

    Composition* composition_;
    A_long width_, height_;
    std::vector<std::unique_ptr<Effect>> effects_;
    std::map<AEGP_LayerStream, LayerStream> streams_;
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
