#pragma once
// An owned reference to one effect instance on a layer.
//
// The reference is disposed by dispose() and by the destructor; a handle is
// never copied. init() (all forms) and apply() overwrite a held reference
// without disposing it, so dispose before initialising again.

#include <string>

#include "AEGP_SuiteHandler.h"
#include "AE_GeneralPlug.h"

namespace Nerevo {

class EffectHandle {
public:
    EffectHandle(int pluginId, PF_InData* in_data, AEGP_SuiteHandler& suites);
    ~EffectHandle();

    EffectHandle(const EffectHandle&) = delete;
    EffectHandle& operator=(const EffectHandle&) = delete;

    // The effect instance the current command was sent to.
    PF_Err init();
    // Adopts an existing reference, disposing the held one first.
    PF_Err init(AEGP_EffectRefH effect);
    PF_Err init(AEGP_LayerH layer, int index);
    PF_Err dispose();

    PF_Err apply(int key);
    PF_Err apply(AEGP_LayerH layer, int key);

    PF_Err getEffectFlags(int& flags) const;
    PF_Err setEffectFlags(int mask, int flags) const;
    PF_Err reorder(int index) const;
    PF_Err getKey(int& key) const;

    // The effect's name and position in the layer's effect list, read
    // through its own stream group.
    PF_Err getName(std::basic_string<unsigned short>& name) const;
    PF_Err setName(const std::basic_string<unsigned short>& name) const;
    PF_Err getIndex(int& index) const;

    AEGP_EffectRefH get() const { return effect_; }

private:
    int pluginId_;
    PF_InData* in_data_;
    AEGP_SuiteHandler* suites_;
    AEGP_EffectRefH effect_ = nullptr;
};

}  // namespace Nerevo
