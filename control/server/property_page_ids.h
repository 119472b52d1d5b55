// Dialog templates and control identifiers of the General and More property pages.
#pragma once

#define IDD_GENERAL_PAGE 101
#define IDD_MORE_PAGE 105

// General page
#define IDC_ABOUT 201
#define IDC_CANCEL_ERROR 203
#define IDC_DIALOG_TITLE 205
#define IDC_DIALOG_TOP 206
#define IDC_DIALOG_LEFT 207
#define IDC_DIALOG_HEIGHT 208
#define IDC_DIALOG_WIDTH 209
#define IDC_INIT_DIR 210
#define IDC_FILE_TITLE 232

// More page
#define IDC_COPIES 211
#define IDC_TO_PAGE 212
#define IDC_FROM_PAGE 213
#define IDC_MAX_FILE_SIZE 214
#define IDC_HELP_FILE 215
#define IDC_HELP_KEY 216
#define IDC_HELP_COMMAND 217
#define IDC_HELP_CONTEXT 218
#define IDC_MIN 219
#define IDC_MAX 220
#define IDC_FILE_NAME 221
#define IDC_FILTER 222
#define IDC_FLAGS 223
#define IDC_DEFAULT_EXT 224
#define IDC_FILTER_INDEX 225
#define IDC_PRINTER_DEFAULT 204
