// The project's composition, layers and effect instances.

#include "host/project.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "host_impl.h"
#include "project/stream_values.h"
#include "utf16.h"

namespace host {
namespace {

// The module's file name without directory and extension: the application
// names an effect after its registration, which this host does not read.
std::u16string moduleStem(const Module& module) {
    Dl_info info{};
    void* entry = module.symbol("EntryPointFunc");
    if (!entry || !dladdr(entry, &info) || !info.dli_fname) {
        return u"Effect";
    }
    std::string name = info.dli_fname;
    name = name.substr(name.rfind('/') + 1);
    return toUtf16(name.substr(0, name.rfind('.')));
}

}  // namespace

void StreamState::setKeyframes(std::vector<Keyframe> keyframes) {
    for (const Keyframe& keyframe : keyframes) {
        if (keyframe.time.scale == 0) {
            throw HostError("a keyframe time needs a scale other than 0");
        }
        if (!std::all_of(keyframe.value.begin(), keyframe.value.end(), [](double v) { return std::isfinite(v); })) {
            throw HostError("a keyframe value must be finite");
        }
    }
    const auto earlier = [](const Keyframe& a, const Keyframe& b) { return compareTimes(a.time, b.time) < 0; };
    std::stable_sort(keyframes.begin(), keyframes.end(), earlier);
    const auto sameTime = [](const Keyframe& a, const Keyframe& b) { return compareTimes(a.time, b.time) == 0; };
    const auto twice = std::adjacent_find(keyframes.begin(), keyframes.end(), sameTime);
    if (twice != keyframes.end()) {
        throw HostError("two keyframes at " + std::to_string(twice->time.value) + "/" +
                        std::to_string(twice->time.scale) + " s");
    }
    keyframes_ = std::move(keyframes);
}

Effect::Effect(Layer& layer, const std::vector<ParamRecord>& params, std::u16string name)
    : name(std::move(name)), layer_(&layer), params_(&params) {}

int Effect::index() const {
    const auto& effects = layer_->effects();
    const auto found =
        std::find_if(effects.begin(), effects.end(), [&](const std::unique_ptr<Effect>& e) { return e.get() == this; });
    return static_cast<int>(found - effects.begin());
}

bool Effect::hasStream(int index) const {
    return index >= 1 && static_cast<std::size_t>(index) < params_->size();
}

const StreamState& Effect::stream(int index) const {
    if (!hasStream(index)) {
        throw HostError("the effect has no stream for parameter " + std::to_string(index));
    }
    for (std::size_t i = streams_.size(); i <= static_cast<std::size_t>(index); ++i) {
        StreamState state;
        state.uiFlags = (*params_)[i].registered.ui_flags;
        streams_.push_back(state);
    }
    return streams_[static_cast<std::size_t>(index)];
}

StreamState& Effect::stream(int index) {
    return const_cast<StreamState&>(static_cast<const Effect&>(*this).stream(index));
}

Layer::Layer(Composition& composition, AEGP_ObjectType type, A_long width, A_long height)
    : type(type), composition_(&composition), width_(width), height_(height) {}

namespace {

bool carriesTarget(const Layer& layer) {
    return &layer.composition().project().target().layer() == &layer;
}

}  // namespace

A_long Layer::width() const {
    return carriesTarget(*this) ? composition_->project().host_.currentFrame().width : width_;
}

A_long Layer::height() const {
    return carriesTarget(*this) ? composition_->project().host_.currentFrame().height : height_;
}

void Layer::setSize(A_long width, A_long height) {
    width_ = width;
    height_ = height;
    if (carriesTarget(*this)) {
        Host::Frame& frame = composition_->project().host_.frame;
        frame.width = width;
        frame.height = height;
    }
}

bool Layer::hasStream(AEGP_LayerStream which) {
    return which >= kLayerAnchorPoint && which <= kLayerOpacity;
}

LayerStream& Layer::stream(AEGP_LayerStream which) {
    if (!hasStream(which)) {
        throw HostError("a layer has no property " + std::to_string(which));
    }
    const auto found = streams_.find(which);
    if (found != streams_.end()) {
        return found->second;
    }
    LayerStream made;
    const double centreX = width() / 2.0;
    const double centreY = height() / 2.0;
    switch (which) {
    case kLayerAnchorPoint:
    case kLayerPosition: made.value = {centreX, centreY, 0, 0}; break;
    case kLayerScale: made.value = {100, 100, 100, 0}; break;
    case kLayerOpacity: made.value = {100, 0, 0, 0}; break;
    default: break;  // rotation 0
    }
    return streams_.emplace(which, made).first->second;
}

Effect& Layer::addEffect() {
    const Project& project = composition_->project();
    effects_.push_back(std::make_unique<Effect>(*this, project.host_.effect.params, project.effectName()));
    return *effects_.back();
}

void Layer::moveEffect(const Effect& effect, int index) {
    const int count = static_cast<int>(effects_.size());
    if (&effect.layer() != this || index < 0 || index >= count) {
        throw HostError("cannot move an effect to position " + std::to_string(index) + " of " +
                        std::to_string(count));
    }
    const int from = effect.index();
    std::unique_ptr<Effect> moving = std::move(effects_[static_cast<std::size_t>(from)]);
    effects_.erase(effects_.begin() + from);
    effects_.insert(effects_.begin() + index, std::move(moving));
}

Layer& Composition::addLayer(AEGP_ObjectType type, A_long width, A_long height) {
    layers_.push_back(std::make_unique<Layer>(*this, type, width, height));
    return *layers_.back();
}

Project::Project(Host::Impl& host) : host_(host), effectName_(moduleStem(host.module)), composition_(*this) {
    Layer& footage = composition_.addLayer(AEGP_ObjectType_AV, host.frame.width, host.frame.height);
    target_ = &footage.addEffect();
}

void Project::setTarget(Effect& effect) {
    Layer& from = target_->layer();
    Layer& to = effect.layer();
    from.width_ = host_.frame.width;
    from.height_ = host_.frame.height;
    target_ = &effect;
    host_.frame.width = to.width_;
    host_.frame.height = to.height_;
}

bool Project::contains(const Layer* layer) const {
    const auto& layers = composition_.layers();
    return std::any_of(layers.begin(), layers.end(),
                       [&](const std::unique_ptr<Layer>& l) { return l.get() == layer; });
}

Project& Host::project() { return impl_->effect.project; }

}  // namespace host
