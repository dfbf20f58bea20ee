#pragma once
// Every area of the host that serves the plug-in installs itself at the
// host's construction: it fills its entries of the in-data callback tables
// and adds its suites to the registry. A new area is a source file with one
// installer, listed here.

#include "host_impl.h"

namespace host {

using Installer = void (*)(Host::Impl&);

void installParams(Host::Impl& host);
void installProgress(Host::Impl& host);
void installHandles(Host::Impl& host);
void installAnsi(Host::Impl& host);
void installUtilitySuites(Host::Impl& host);

inline constexpr Installer kInstallers[] = {
    installParams, installProgress, installHandles, installAnsi, installUtilitySuites,
};

}  // namespace host
