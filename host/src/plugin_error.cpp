#include "host/plugin_error.h"

#include <cstring>

namespace host {

std::string describeError(PF_Err err) {
    const char* name = nullptr;
    switch (err) {
        case PF_Err_OUT_OF_MEMORY: name = "PF_Err_OUT_OF_MEMORY"; break;
        case PF_Err_INTERNAL_STRUCT_DAMAGED: name = "PF_Err_INTERNAL_STRUCT_DAMAGED"; break;
        case PF_Err_INVALID_INDEX: name = "PF_Err_INVALID_INDEX"; break;
        case PF_Err_UNRECOGNIZED_PARAM_TYPE: name = "PF_Err_UNRECOGNIZED_PARAM_TYPE"; break;
        case PF_Err_INVALID_CALLBACK: name = "PF_Err_INVALID_CALLBACK"; break;
        case PF_Err_BAD_CALLBACK_PARAM: name = "PF_Err_BAD_CALLBACK_PARAM"; break;
        case PF_Interrupt_CANCEL: name = "PF_Interrupt_CANCEL"; break;
        case PF_Err_CANNOT_PARSE_KEYFRAME_TEXT: name = "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT"; break;
        default: break;
    }
    return std::to_string(err) + (name ? std::string(" ") + name : "");
}

namespace {

std::string shownMessage(const PF_OutData& said) {
    if (!(said.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE)) {
        return {};
    }
    // The plug-in may have filled the whole buffer without a terminator.
    const std::string text(said.return_msg, strnlen(said.return_msg, sizeof said.return_msg));
    return text.empty() ? text : ": " + text;
}

}  // namespace

PluginError::PluginError(const std::string& command, PF_Err code, const PF_OutData& said)
    : std::runtime_error("the plug-in failed " + command + " with error " + describeError(code) + shownMessage(said)),
      err(code) {}

}  // namespace host
