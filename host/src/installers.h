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
void installWorlds(Host::Impl& host);
void installWorldOps(Host::Impl& host);
void installTransfer(Host::Impl& host);
void installIterate(Host::Impl& host);
void installSampling(Host::Impl& host);
void installAegpLayer(Host::Impl& host);
void installAegpEffect(Host::Impl& host);
void installAegpStream(Host::Impl& host);
void installAegpDynamicStream(Host::Impl& host);
void installAegpKeyframe(Host::Impl& host);
void installAegpMemory(Host::Impl& host);
void installParamUtils(Host::Impl& host);
void installDrawbot(Host::Impl& host);

inline constexpr Installer kInstallers[] = {
    installParams, installProgress, installHandles, installAnsi, installUtilitySuites,
    installWorlds, installWorldOps, installTransfer, installIterate, installSampling,
    installAegpLayer, installAegpEffect, installAegpStream, installAegpDynamicStream, installAegpKeyframe,
    installAegpMemory, installParamUtils,
    installDrawbot,
};

}  // namespace host
