#pragma once
// The frei0r API with the C linkage its hosts look the functions up by
// (Debian's header does not say so for C++).

extern "C" {
#include <frei0r.h>
}
