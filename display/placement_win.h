#pragma once
#include "display/mascot_win.h"

// The DPI of the target's monitor, asked of the system once per controller tick.
int32_t TargetMonitorDpi();

// One placement of the mascot on the controller's target: moves and shows it, hides it, or
// leaves it, by its anchor settings and the refusal rules.
void PlaceMascot(Mascot& mascot);
