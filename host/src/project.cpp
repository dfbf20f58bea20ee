// The project's composition, layers and effect instances.

#include "host/project.h"

#include <dlfcn.h>

#include <algorithm>
#include <utility>

#include "host_impl.h"
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
    return carriesTarget(*this) ? composition_->project().host_.frame.width : width_;
}

A_long Layer::height() const {
    return carriesTarget(*this) ? composition_->project().host_.frame.height : height_;
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

Effect& Layer::addEffect() {
    const Project& project = composition_->project();
    effects_.push_back(std::make_unique<Effect>(*this, project.host_.params, project.effectName()));
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

Project& Host::project() {
    return impl_->project;
}

}  // namespace host
