#pragma once
// Resource ids shared by the resource scripts and the code.

#define IDI_COMPANION 1
#define IDD_DISPLAY_TIME 2000
