#pragma once
#include "display/mascot_win.h"

// The mascot's own settings in the registry, under its name.
bool LoadMascotSettings(Mascot& mascot);
void SaveMascotSettings(const Mascot& mascot);
