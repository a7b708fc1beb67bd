#pragma once
#include "core/startup_entry.h"

// The Run value "Velmora" of the current user, read and changed for the running program, with
// Task Manager's Startup switch for it.
StartupEntry ReadStartupEntry();
// Writes or deletes the value, and on a write turns Task Manager's switch on again; false
// when the registry refused or the program's own path cannot be known whole.
bool ApplyStartupChange(StartupChange change);
