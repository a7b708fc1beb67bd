#pragma once
#define IDS_VERSION 1
