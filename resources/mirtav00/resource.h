// Resource ids of the shuffler. Bitmaps, the logo, the icon and the dialogs
// are named by string; these are the controls of the settings dialog.
#ifndef RESOURCES_MIRTAV00_RESOURCE_H
#define RESOURCES_MIRTAV00_RESOURCE_H

#include "../common/framework_ids.h"

// Settings dialog: show the colour palette window, yes or no.
#define IDC_PALETTE_YES 119
#define IDC_PALETTE_NO 120
// System-menu command that opens the settings dialog.
#define IDM_SPECIAL_SETTING 118

#endif
