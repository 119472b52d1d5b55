// Identities and numbers of the common dialog control that host programs see.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "property_table.h"

namespace qz {

inline constexpr GUID kLibid = {0xF8D4CCA3, 0xD7AE, 0x11CE, {0x95, 0x77, 0x00, 0x20, 0xAF, 0x03, 0x9C, 0xA3}};
inline constexpr CLSID kClsidCtrl = {0xF8D4CCA0, 0xD7AE, 0x11CE, {0x95, 0x77, 0x00, 0x20, 0xAF, 0x03, 0x9C, 0xA3}};
inline constexpr IID kDiidDispatch = {0xF8D4CCA1, 0xD7AE, 0x11CE, {0x95, 0x77, 0x00, 0x20, 0xAF, 0x03, 0x9C, 0xA3}};
inline constexpr IID kDiidEvents = {0xF8D4CCA2, 0xD7AE, 0x11CE, {0x95, 0x77, 0x00, 0x20, 0xAF, 0x03, 0x9C, 0xA3}};
inline constexpr CLSID kClsidGeneralPage = {0xF8D4CCA4, 0xD7AE, 0x11CE, {0x95, 0x77, 0x00, 0x20, 0xAF, 0x03, 0x9C, 0xA3}};
inline constexpr CLSID kClsidMorePage = {0x68BB3D81, 0x12D1, 0x11CF, {0x86, 0xBA, 0x00, 0xAA, 0x00, 0xA2, 0x55, 0x49}};

inline constexpr wchar_t kProgIdCtrl[] = L"QZCOMMDL.QzcommdlCtrl.1";
inline constexpr wchar_t kProgIdGeneralPage[] = L"QZCOMMDL.QzcommdlPropPage.1";
inline constexpr wchar_t kProgIdMorePage[] = L"Qzcomm32.CMorePropPage";

#ifdef QZ_VERSION5
// The older build: type library and stored data both at 1.0.
inline constexpr WORD kTypeLibMajor = 1;
inline constexpr WORD kTypeLibMinor = 0;
inline constexpr DWORD kPersistVersion = MAKELONG(0, 1);      // 1.0
#else
inline constexpr WORD kTypeLibMajor = 7;
inline constexpr WORD kTypeLibMinor = 0;
inline constexpr DWORD kPersistVersion = MAKELONG(0, 7);      // 7.0
#endif
inline constexpr DWORD kPersistVersion1 = MAKELONG(0, 1);     // 1.0, with one extra stored value
// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
inline constexpr DWORD kMiscStatus = 0x20191;

// The DISPIDs of this build, named k<Name>; a member the build lacks is 0.
enum DispId : DISPID {
#define QZ_DISPID_ROW(current, version5, name, ...) k##name = QZ_BUILD_DISPID(current, version5),
  QZ_CONTROL_MEMBERS(QZ_DISPID_ROW, QZ_DISPID_ROW, QZ_DISPID_ROW, QZ_DISPID_ROW)
#undef QZ_DISPID_ROW
};

enum EventId : DISPID { kFilenameChange = 1, kCommonDialogOpened, kCommonDialogClosed, kHelpClick };

// The WhichDialog argument of the dialog events.
enum DialogKind : short { kOpen = 1, kSave = 2, kColorDialog = 3, kFontDialog = 4, kPrint = 5, kPrintSetup = 10 };
// The Action value that runs the help call; it opens no dialog.
inline constexpr short kShowHelpAction = 6;

// Private messages from the dialog hooks to the control's window.
inline constexpr UINT UM_DIALOG_OPENED = WM_USER + 38;
inline constexpr UINT UM_DIALOG_CLOSED = WM_USER + 39;
inline constexpr UINT UM_FILENAME_CHANGED = WM_USER + 40;
inline constexpr UINT UM_GET_PLACEMENT = WM_USER + 41;
inline constexpr UINT UM_SET_DEFAULT_PLACEMENT = WM_USER + 42;
inline constexpr UINT UM_SHOW_HELP = WM_USER + 43;
inline constexpr UINT UM_HELP_CLICKED = WM_USER + 44;

// Control error numbers raised by the control itself.
inline constexpr long kErrInvalidPropertyValue = 380;
inline constexpr long kErrInvalidArrayIndex = 381;
inline constexpr long kErrCancel = 32755;
inline constexpr long kErrAlloc = 32752;

inline constexpr int kBitmapDesign = 8370;

}  // namespace qz
