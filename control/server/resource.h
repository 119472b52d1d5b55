// Resource identifiers of the control module.
#pragma once

#define IDB_TOOLBOX 1
#define IDB_DESIGN 8370
#define IDI_MODULE 1
#define IDI_MODULE_GROUP 10
#define IDS_CONTROL_TYPE_NAME 1
#define IDS_GENERAL_PAGE_TYPE_NAME 2
#define IDS_GENERAL_PAGE_CAPTION 101
#define IDS_MORE_PAGE_TYPE_NAME 102
#define IDS_MORE_PAGE_CAPTION 103
