#pragma once
#define IDI_PROGRAM 102
#define IDI_PICKER 110
