#pragma once
// The settings sheet's general page (dialog 108).
#define IDD_GENERAL_PAGE 108
