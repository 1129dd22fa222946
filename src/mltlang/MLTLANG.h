// The translation component's unit: the process-wide design configuration that
// translation components created in a form designer share.
#pragma once

#include <string>

#include "mltlang/MLTLANG_config.h"

// The directory of the running executable with its trailing separator, set by the
// first OpenConfiguration; empty before.
const std::string& ExeDir();
// The configuration of the design session; null when none is open (at run time).
TConfiguration* Configuration();

// When a translation component is created in design state: reads ExeDir +
// "mltlang.cfg" into the one configuration of the process, unless it exists.
// A file that cannot be opened is replaced by a fresh configuration, and an
// information box tells where the new file went or that it could not be written.
void OpenConfiguration();
// When the last translation component goes: saves the configuration to ExeDir +
// "mltlang.cfg" and releases it. A failure to write propagates.
void CloseConfiguration();
