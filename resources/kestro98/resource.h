// Resource ids of the colour editor. Bitmaps, the logo, the icon and the About
// dialog are named by string; only the open dialog's additions are numbered.
#ifndef RESOURCES_KESTRO98_RESOURCE_H
#define RESOURCES_KESTRO98_RESOURCE_H

#include "../common/framework_ids.h"

// Child templates added to the open dialog, one per language.
#define IDD_OPEN_INFO_EN 128
#define IDD_OPEN_INFO_JA 129
// The image-information field in both templates.
#define IDC_IMAGE_INFO 127

#endif
