// The maths and text functions of PF_InData's utils->ansi. They compute the
// ordinary functions; the call log records them when a command is running.
// Maths have no error to return, so faults are injected into sprintf and
// strcpy only.

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "format.h"
#include "installers.h"

namespace host {
namespace {

// The plug-in formats into out_data->return_msg; sprintf has no size
// argument, so nothing longer than that buffer is ever written.
constexpr std::size_t kMessageSize = PF_MAX_EFFECT_MSG_LEN + 1;

A_FpLong logged(const char* name, A_FpLong x, A_FpLong result) {
    Host::Impl* host = Host::Impl::current();
    if (host) {
        host->record(name, [&] { return number(x); });
    }
    return result;
}

A_FpLong logged(const char* name, A_FpLong x, A_FpLong y, A_FpLong result) {
    Host::Impl* host = Host::Impl::current();
    if (host) {
        host->record(name, [&] { return number(x) + ", " + number(y); });
    }
    return result;
}

A_FpLong hostAtan(A_FpLong x) noexcept { return logged("atan", x, std::atan(x)); }
A_FpLong hostAtan2(A_FpLong y, A_FpLong x) noexcept { return logged("atan2", y, x, std::atan2(y, x)); }
A_FpLong hostCeil(A_FpLong x) noexcept { return logged("ceil", x, std::ceil(x)); }
A_FpLong hostCos(A_FpLong x) noexcept { return logged("cos", x, std::cos(x)); }
A_FpLong hostExp(A_FpLong x) noexcept { return logged("exp", x, std::exp(x)); }
A_FpLong hostFabs(A_FpLong x) noexcept { return logged("fabs", x, std::fabs(x)); }
A_FpLong hostFloor(A_FpLong x) noexcept { return logged("floor", x, std::floor(x)); }
A_FpLong hostFmod(A_FpLong x, A_FpLong y) noexcept { return logged("fmod", x, y, std::fmod(x, y)); }
A_FpLong hostHypot(A_FpLong x, A_FpLong y) noexcept { return logged("hypot", x, y, std::hypot(x, y)); }
A_FpLong hostLog(A_FpLong x) noexcept { return logged("log", x, std::log(x)); }
A_FpLong hostLog10(A_FpLong x) noexcept { return logged("log10", x, std::log10(x)); }
A_FpLong hostPow(A_FpLong x, A_FpLong y) noexcept { return logged("pow", x, y, std::pow(x, y)); }
A_FpLong hostSin(A_FpLong x) noexcept { return logged("sin", x, std::sin(x)); }
A_FpLong hostSqrt(A_FpLong x) noexcept { return logged("sqrt", x, std::sqrt(x)); }
A_FpLong hostTan(A_FpLong x) noexcept { return logged("tan", x, std::tan(x)); }
A_FpLong hostAsin(A_FpLong x) noexcept { return logged("asin", x, std::asin(x)); }
A_FpLong hostAcos(A_FpLong x) noexcept { return logged("acos", x, std::acos(x)); }

// Returns the number of characters written, which is less than the full
// length when the text had to be cut; negative on failure.
int hostSprintf(A_char* buffer, const A_char* format, ...) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (host && host->enter("sprintf", [&] { return "format=" + quoted(format); })) {
        return -1;
    }
    if (!buffer || !format) {
        return -1;
    }
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(buffer, kMessageSize, format, args);
    va_end(args);
    return length < 0 ? length : std::min(length, static_cast<int>(kMessageSize - 1));
}

A_char* hostStrcpy(A_char* dst, const A_char* src) noexcept {
    Host::Impl* host = Host::Impl::current();
    if (host && host->enter("strcpy", [&] { return "src=" + quoted(src); })) {
        return nullptr;
    }
    if (!dst || !src) {
        return nullptr;
    }
    return std::strcpy(dst, src);
}

}  // namespace

void installAnsi(Host::Impl& host) {
    PF_ANSICallbacks& ansi = host.utils.ansi;
    ansi.atan = hostAtan;
    ansi.atan2 = hostAtan2;
    ansi.ceil = hostCeil;
    ansi.cos = hostCos;
    ansi.exp = hostExp;
    ansi.fabs = hostFabs;
    ansi.floor = hostFloor;
    ansi.fmod = hostFmod;
    ansi.hypot = hostHypot;
    ansi.log = hostLog;
    ansi.log10 = hostLog10;
    ansi.pow = hostPow;
    ansi.sin = hostSin;
    ansi.sqrt = hostSqrt;
    ansi.tan = hostTan;
    ansi.sprintf = hostSprintf;
    ansi.strcpy = hostStrcpy;
    ansi.asin = hostAsin;
    ansi.acos = hostAcos;
}

}  // namespace host
