#include "core/roster_win.h"

#include "core/application_win.h"
#include "core/display_layout_win.h"
#include "core/wide_text_win.h"
#include "display/mascot_popup_win.h"
#include "display/visible_frame_win.h"

std::vector<std::unique_ptr<Mascot>> g_roster;

Mascot* StartMascot(const std::string& full_path)
{
    auto mascot = std::make_unique<Mascot>();
    CreateMascot(*mascot, full_path.c_str());
    if (!mascot->window)
        return nullptr;
    g_roster.push_back(std::move(mascot));
    return g_roster.back().get();
}

bool StartMascotIfItLoads(const std::string& full_path)
{
    auto mascot = std::make_unique<Mascot>();
    if (!CreateMascot(*mascot, full_path.c_str(), UnloadedMascot::discard))
        return false;
    g_roster.push_back(std::move(mascot));
    return true;
}

void StopAllMascots()
{
    for (auto& mascot : g_roster)
        DestroyMascot(*mascot);
    g_roster.clear();
}

void Tick()
{
    ++g_app.controller_ticks;
    ReadDisplayLayoutIfScreensChanged();
    const HWND previous = g_app.target;
    const HWND candidate = SheetIsOpen() ? g_app.sheet : GetForegroundWindow();
    g_app.target = candidate;
    for (const auto& mascot : g_roster) {
        if (mascot->window == candidate) {
            g_app.target = previous;
            break;
        }
    }
    // Placement and every refusal rule work on what the user sees of the target.
    ReadVisibleFrame(g_app.target, g_app.target_rect);
}

void AddExcluded(const std::string& name) { g_app.excluded.add(name); }

void RemoveExcluded(const std::string& name) { g_app.excluded.remove(name); }

bool IsExcluded(const std::string& name) { return g_app.excluded.contains(name); }

void FillExcludedList(HWND list_box)
{
    for (const auto& name : g_app.excluded.entries())
        SendMessageW(list_box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
}
