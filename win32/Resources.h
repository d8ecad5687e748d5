#pragma once
// The ids of the program's Windows resources (zl-config.rc): the icon and the bitmap
// keep their ids of the string table's era, 108 and 109.
#define kIconResource 108
#define kLogoResource 109
#define kUserGuideResource 200
