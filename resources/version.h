#pragma once
#define VELMORA_VERSION_NUMBERS 2, 0, 0, 0
#define VELMORA_VERSION_TEXT "2.0.0"
