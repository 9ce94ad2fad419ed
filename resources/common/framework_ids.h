// Ids and resource names shared by both programs' resources and the
// framework's code.
#ifndef RESOURCES_COMMON_FRAMEWORK_IDS_H
#define RESOURCES_COMMON_FRAMEWORK_IDS_H

// Controls of the dialog templates.
#define IDC_TEXT_STATIC (-1)
#define IDC_CLOSE_BUTTON 1

// Resources named by string in both programs (the .rc files spell the same
// names); for the code's Load and Dialog calls.
#define RES_NAME_ICON "ICON_1"
#define RES_NAME_LOGO "IBMP_1"
#define RES_NAME_ABOUT "ABOUT_DLG"
#define RES_NAME_ABOUT_J "ABOUT_DLG_J"
#define RES_NAME_KEYS "KEYS"

#endif
