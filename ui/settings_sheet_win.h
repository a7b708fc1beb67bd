#pragma once

// The modal two-page settings sheet (mascot page, general page), owned by the controller
// window. While it runs the controller shows as a minimised taskbar button; afterwards the
// window that was in front before is brought back. Does nothing while a sheet is open.
void OpenSettingsSheet();
