#include "AEGP_SuiteHandler.h"

void AEGP_SuiteHandler::MissingSuiteError() const {
    // An integer, not a std::exception: the entry point returns it to the
    // host as the command's error code.
    throw static_cast<PF_Err>(PF_Err_BAD_CALLBACK_PARAM);
}
