#pragma once
#include <windows.h>

// The program's dialog template `id` in the face this system shows the dialogs in: the
// resource itself where its face is installed, otherwise a copy that names the nearest face.
// Both last as long as the program.
LPCDLGTEMPLATEW DialogTemplate(int id);

// A modal dialog of the program's templates, as DialogBoxParamW would show it.
INT_PTR ShowDialog(int id, HWND owner, DLGPROC procedure, LPARAM parameter);
