#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "display/mascot_win.h"

// The running mascots in start order; the roster owns them.
extern std::vector<std::unique_ptr<Mascot>> g_roster;

// Appends the mascot, also when its file does not load: it then shows empty, 100 x 100.
// A mascot whose window cannot be made is not appended, so nothing saves it as running;
// the answer is then nullptr, else the mascot appended.
Mascot* StartMascot(const std::string& full_path);
// Appends the mascot only when its file loads; otherwise nothing is shown or kept.
bool StartMascotIfItLoads(const std::string& full_path);
void StopAllMascots();
// The controller's 100 ms tick: the foreground window (or the open settings sheet) becomes
// the target, unless it is one of the mascots.
void Tick();

void AddExcluded(const std::string& name);
void RemoveExcluded(const std::string& name);
bool IsExcluded(const std::string& name);
void FillExcludedList(HWND list_box);
