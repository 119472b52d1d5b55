// The control's dispatch interface, in DISPID order.
#include <olectl.h>

#include "qzcommdl_ctrl.h"

namespace qz {
namespace {

using C = CQzcommdlCtrl;
using qzf::Method;
using qzf::Property;

const qzf::DispEntry kTable[] = {
#ifdef QZ_VERSION5
    Property<&C::GetFileName, &C::SetFileName>(kFileName, L"Filename"),
#endif
    Property<&C::GetDialogTop, &C::SetDialogTop>(kDialogTop, L"DialogTop"),
    Property<&C::GetDialogLeft, &C::SetDialogLeft>(kDialogLeft, L"DialogLeft"),
    Property<&C::GetDialogWidth, &C::SetDialogWidth>(kDialogWidth, L"DialogWidth"),
    Property<&C::GetDialogHeight, &C::SetDialogHeight>(kDialogHeight, L"DialogHeight"),
    Property<&C::GetInitDir, &C::SetInitDir>(kInitDir, L"InitDir"),
    Property<&C::GetFilter, &C::SetFilter>(kFilter, L"Filter"),
    Property<&C::GetDefaultExt, &C::SetDefaultExt>(kDefaultExt, L"DefaultExt"),
    Property<&C::GetDialogTitle, &C::SetDialogTitle>(kDialogTitle, L"DialogTitle"),
    Property<&C::GetFilterIndex, &C::SetFilterIndex>(kFilterIndex, L"FilterIndex"),
    Property<&C::GetFlags, &C::SetFlags>(kFlags, L"Flags"),
    Property<&C::GetCancelError, &C::SetCancelError>(kCancelError, L"CancelError"),
    Property<&C::GetColor, &C::SetColor>(kColor, L"Color"),
    Property<&C::GetMin, &C::SetMin>(kMin, L"Min"),
    Property<&C::GetMax, &C::SetMax>(kMax, L"Max"),
    Property<&C::GetCopies, &C::SetCopies>(kCopies, L"Copies"),
    Property<&C::GetFromPage, &C::SetFromPage>(kFromPage, L"FromPage"),
    Property<&C::GetToPage, &C::SetToPage>(kToPage, L"ToPage"),
    Property<&C::GetPrinterDefault, &C::SetPrinterDefault>(kPrinterDefault, L"PrinterDefault"),
    Property<&C::GetHelpCommand, &C::SetHelpCommand>(kHelpCommand, L"HelpCommand"),
    Property<&C::GetHelpContext, &C::SetHelpContext>(kHelpContext, L"HelpContext"),
    Property<&C::GetHelpFile, &C::SetHelpFile>(kHelpFile, L"HelpFile"),
    Property<&C::GetHelpKey, &C::SetHelpKey>(kHelpKey, L"HelpKey"),
    Property<&C::GetAction, &C::SetAction>(kAction, L"Action"),
    Property<&C::GetDialogDefaultTop, &C::SetReadOnlyShort>(kDialogDefaultTop, L"DialogDefaultTop"),
    Property<&C::GetDialogDefaultLeft, &C::SetReadOnlyShort>(kDialogDefaultLeft, L"DialogDefaultLeft"),
    Property<&C::GetDialogDefaultWidth, &C::SetReadOnlyShort>(kDialogDefaultWidth, L"DialogDefaultWidth"),
    Property<&C::GetDialogDefaultHeight, &C::SetReadOnlyShort>(kDialogDefaultHeight, L"DialogDefaultHeight"),
    Property<&C::GetMaxFileSize, &C::SetMaxFileSize>(kMaxFileSize, L"MaxFileSize"),
    Property<&C::GetFileTitle, &C::SetFileTitle>(kFileTitle, L"FileTitle"),
    Property<&C::GetDialogHwnd, &C::SetReadOnlyHandle>(kDialogHwnd, L"DialogHwnd"),
    Property<&C::GetHdc, &C::SetReadOnlyHandle>(kHdc, L"hDC"),
    Property<&C::GetWriteOnlyHandle, &C::SetAddControl>(kAddControl, L"AddControl"),
    Property<&C::GetWriteOnlyHandle, &C::SetRemoveControl>(kRemoveControl, L"RemoveControl"),
    Property<&C::GetFontBold, &C::SetFontBold>(kFontBold, L"FontBold"),
    Property<&C::GetFontItalic, &C::SetFontItalic>(kFontItalic, L"FontItalic"),
    Property<&C::GetFontUnderline, &C::SetFontUnderline>(kFontUnderline, L"FontUnderline"),
    Property<&C::GetFontStrikeThru, &C::SetFontStrikeThru>(kFontStrikeThru, L"FontStrikeThru"),
    Property<&C::GetFontName, &C::SetFontName>(kFontName, L"FontName"),
    Property<&C::GetFontSize, &C::SetFontSize>(kFontSize, L"FontSize"),
#ifdef QZ_VERSION5
    Property<&C::GetUserColors, &C::SetUserColors>(kUserColors, L"UserColors"),
#else
    Property<&C::GetFileName, &C::SetFileName>(kFileName, L"Filename", L"FileName"),
    Method<&C::ShowOpen>(kShowOpen, L"ShowOpen"),
    Method<&C::ShowSave>(kShowSave, L"ShowSave"),
    Method<&C::ShowFont>(kShowFont, L"ShowFont"),
    Method<&C::ShowColor>(kShowColor, L"ShowColor"),
    Method<&C::ShowPrinter>(kShowPrinter, L"ShowPrinter"),
    Method<&C::ShowHelp>(kShowHelp, L"ShowHelp"),
    Property<&C::GetUserColors, &C::SetUserColors>(kUserColors, L"UserColors"),
    Property<&C::GetFileNameList, &C::SetFileNameList>(kFileNameList, L"FileNameList"),
#endif
    Method<&C::Refresh>(DISPID_REFRESH, L"Refresh"),
    Property<&C::GetHwnd, &C::SetHwnd>(DISPID_HWND, L"hWnd"),
    Property<&C::GetFont, &C::SetFont>(DISPID_FONT, L"Font"),
    Method<&C::AboutBox>(DISPID_ABOUTBOX, L"AboutBox"),
};

}  // namespace

std::span<const qzf::DispEntry> CQzcommdlCtrl::DispatchTable() const { return kTable; }

}  // namespace qz
