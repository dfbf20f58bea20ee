#include "AEGP_SuiteHandler.h"

AEGP_SuiteHandler::AEGP_SuiteHandler(const SPBasicSuite* pica_basicP) : basic_(pica_basicP) {}

AEGP_SuiteHandler::~AEGP_SuiteHandler() {
    for (const Entry& e : slots_) {
        if (e.suite) {
            basic_->ReleaseSuite(e.name, e.version);
        }
    }
}

const void* AEGP_SuiteHandler::acquire(Slot slot, const char* name, int version) const {
    Entry& e = slots_[slot];
    if (e.suite) {
        return e.suite;
    }
    const void* suite = nullptr;
    if (!basic_ || basic_->AcquireSuite(name, version, &suite) != kSPNoError || !suite) {
        MissingSuiteError();
    }
    e = Entry{suite, name, version};
    return suite;
}
