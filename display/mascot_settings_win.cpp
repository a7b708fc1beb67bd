#include "display/mascot_settings_win.h"

#include "core/registry_win.h"
#include "display/mascot_settings_store.h"

bool LoadMascotSettings(Mascot& mascot)
{
    Win32Registry registry;
    return load_mascot_settings(registry, mascot.name, mascot.settings);
}

void SaveMascotSettings(const Mascot& mascot)
{
    Win32Registry registry;
    save_mascot_settings(registry, mascot.name, mascot.settings);
}
