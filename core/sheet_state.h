#pragma once

// Where the settings sheet is. Closing begins when the sheet announces its end: the mascot
// page has let its preview go and started the checked mascots, but a nested dialog may keep
// the sheet's window alive for a while. From then on nothing makes a preview, starts or stops
// mascots, or opens another sheet, until the window is gone and the sheet is closed.
enum class SheetState { Closed, Open, Closing };
