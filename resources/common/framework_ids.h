// Control ids shared by the dialog templates of both programs.
#ifndef RESOURCES_COMMON_FRAMEWORK_IDS_H
#define RESOURCES_COMMON_FRAMEWORK_IDS_H

#define IDC_TEXT_STATIC (-1)
#define IDC_CLOSE_BUTTON 1

#endif
