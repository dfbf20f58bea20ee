#pragma once
// Owning holders of the host's Drawbot pens and paths. A holder creates its
// object, a copy retains it and every holder releases its own reference when
// it goes.

#include "DrawbotSuite.h"

namespace Nerevo {

// A failing Drawbot call, with the host's error code.
class DRAWBOT_Exception {
public:
    explicit DRAWBOT_Exception(int error) : error_(error) {}
    virtual ~DRAWBOT_Exception() = default;

    int error() const { return error_; }

private:
    int error_;
};

// One reference to a Drawbot object of type T (a pen or path reference).
// Creating and retaining throw DRAWBOT_Exception on failure. Releasing cannot
// report a failure: it happens in the destructor, and the host reclaims its
// drawing objects when the event ends anyway.
template <typename T>
class SharedRefImpl {
public:
    SharedRefImpl(const SharedRefImpl& other) : suite_(other.suite_), ref_(other.ref_) {
        if (ref_) {
            check(suite_->RetainObject(object()));
        }
    }
    SharedRefImpl& operator=(const SharedRefImpl&) = delete;

    virtual ~SharedRefImpl() {
        if (ref_) {
            suite_->ReleaseObject(object());
            ref_ = nullptr;
        }
    }

    T get() const { return ref_; }

protected:
    explicit SharedRefImpl(const DRAWBOT_SupplierSuite1* suite) : suite_(suite) {}

    static void check(SPErr err) {
        if (err != kSPNoError) {
            throw DRAWBOT_Exception(err);
        }
    }

    const DRAWBOT_SupplierSuite1* suite_;
    T ref_ = nullptr;

private:
    DRAWBOT_ObjectRef object() const { return reinterpret_cast<DRAWBOT_ObjectRef>(ref_); }
};

class DRAWBOT_PenP : public SharedRefImpl<_DRAWBOT_PenRef*> {
public:
    DRAWBOT_PenP(const DRAWBOT_SupplierSuite1* suite, DRAWBOT_SupplierRef supplier, const DRAWBOT_ColorRGBA& color,
                 float size)
        : SharedRefImpl(suite) {
        check(suite_->NewPen(supplier, &color, size, &ref_));
    }
};

class DRAWBOT_PathP : public SharedRefImpl<_DRAWBOT_PathRef*> {
public:
    DRAWBOT_PathP(const DRAWBOT_SupplierSuite1* suite, DRAWBOT_SupplierRef supplier) : SharedRefImpl(suite) {
        check(suite_->NewPath(supplier, &ref_));
    }
};

}  // namespace Nerevo
