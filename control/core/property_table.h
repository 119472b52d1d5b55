// Every member of the control's dispatch interface, in one table: the dispatch entries, the DISPID
// constants, the stored fields with their accessors and defaults, and the persisted order all come
// from it, for both builds. The type library (qzcommdl.idl) is the public contract it must match.
//
// Columns shared by every row: the DISPID in the current build, the DISPID in the version-5 build
// (0: the member does not exist there), and the name as the type library spells it.
//   PLAIN   a stored field: store as given, change notification, modified mark. Further columns:
//           accessor type, field, default, property-exchange kind, position in the persisted order
//           (1-based; 0: not persisted).
//   STORED  a stored field whose accessors are written by hand (the same further columns).
//   MEMBER  a property with hand-written accessors and its own design-time and run-time rules:
//           getter, setter.
//   METHOD  a method: the member function it calls.
#pragma once
#include <olectl.h>

#define QZ_CONTROL_MEMBERS(PLAIN, STORED, MEMBER, METHOD)                                              \
  PLAIN(1, 2, DialogTop, short, dialog_top_, 0, Short, 2)                                              \
  PLAIN(2, 3, DialogLeft, short, dialog_left_, 0, Short, 3)                                            \
  PLAIN(3, 4, DialogWidth, short, dialog_width_, 0, Short, 4)                                          \
  PLAIN(4, 5, DialogHeight, short, dialog_height_, 0, Short, 5)                                        \
  PLAIN(5, 6, InitDir, std::string, init_dir_, {}, String, 6)                                          \
  PLAIN(6, 7, Filter, std::string, filter_, {}, String, 7)                                             \
  PLAIN(7, 8, DefaultExt, std::string, default_ext_, {}, String, 8)                                    \
  PLAIN(8, 9, DialogTitle, std::string, dialog_title_, {}, String, 9)                                  \
  PLAIN(9, 10, FilterIndex, short, filter_index_, 0, Short, 10)                                        \
  PLAIN(10, 11, Flags, long, flags_, 0, Long, 11)                                                      \
  PLAIN(11, 12, CancelError, bool, cancel_error_, false, Bool, 12)                                     \
  PLAIN(12, 13, Color, qzf::OleColor, color_, {0}, Color, 14)                                          \
  PLAIN(13, 14, Min, short, min_, 0, Short, 16)                                                        \
  PLAIN(14, 15, Max, short, max_, 0, Short, 15)                                                        \
  PLAIN(15, 16, Copies, short, copies_, 0, Short, 17)                                                  \
  PLAIN(16, 17, FromPage, short, from_page_, 0, Short, 18)                                             \
  PLAIN(17, 18, ToPage, short, to_page_, 0, Short, 20)                                                 \
  PLAIN(18, 19, PrinterDefault, bool, printer_default_, true, Bool, 19)                                \
  PLAIN(19, 20, HelpCommand, short, help_command_, 0, Short, 21)                                       \
  PLAIN(20, 21, HelpContext, long, help_context_, 0, Long, 22)                                         \
  PLAIN(21, 22, HelpFile, std::string, help_file_, {}, String, 23)                                     \
  PLAIN(22, 23, HelpKey, std::string, help_key_, {}, String, 24)                                       \
  MEMBER(23, 24, Action, GetAction, SetAction)                                                         \
  MEMBER(24, 25, DialogDefaultTop, GetDialogDefaultTop, SetReadOnlyShort)                              \
  MEMBER(25, 26, DialogDefaultLeft, GetDialogDefaultLeft, SetReadOnlyShort)                            \
  MEMBER(26, 27, DialogDefaultWidth, GetDialogDefaultWidth, SetReadOnlyShort)                          \
  MEMBER(27, 28, DialogDefaultHeight, GetDialogDefaultHeight, SetReadOnlyShort)                        \
  STORED(28, 29, MaxFileSize, short, max_file_size_, 256, Short, 13)                                   \
  MEMBER(29, 30, FileTitle, GetFileTitle, SetReadOnlyString)                                           \
  MEMBER(30, 31, DialogHwnd, GetDialogHwnd, SetReadOnlyHandle)                                         \
  MEMBER(31, 32, hDC, GetHdc, SetReadOnlyHandle)                                                       \
  MEMBER(32, 33, AddControl, GetWriteOnlyHandle, SetAddControl)                                        \
  MEMBER(33, 34, RemoveControl, GetWriteOnlyHandle, SetRemoveControl)                                  \
  MEMBER(34, 35, FontBold, GetFontBold, SetFontBold)                                                   \
  MEMBER(35, 36, FontItalic, GetFontItalic, SetFontItalic)                                             \
  MEMBER(36, 37, FontUnderline, GetFontUnderline, SetFontUnderline)                                    \
  MEMBER(37, 38, FontStrikeThru, GetFontStrikeThru, SetFontStrikeThru)                                 \
  MEMBER(38, 39, FontName, GetFontName, SetFontName)                                                   \
  MEMBER(39, 40, FontSize, GetFontSize, SetFontSize)                                                   \
  PLAIN(40, 1, Filename, std::string, file_name_, {}, String, 1)                                       \
  METHOD(41, 0, ShowOpen, ShowOpen)                                                                    \
  METHOD(42, 0, ShowSave, ShowSave)                                                                    \
  METHOD(43, 0, ShowFont, ShowFont)                                                                    \
  METHOD(44, 0, ShowColor, ShowColor)                                                                  \
  METHOD(45, 0, ShowPrinter, ShowPrinter)                                                              \
  METHOD(46, 0, ShowHelp, ShowHelp)                                                                    \
  MEMBER(47, 41, UserColors, GetUserColors, SetUserColors)                                             \
  MEMBER(48, 0, FileNameList, GetFileNameList, SetFileNameList)                                        \
  METHOD(DISPID_REFRESH, DISPID_REFRESH, Refresh, Refresh)                                             \
  MEMBER(DISPID_HWND, DISPID_HWND, hWnd, GetHwnd, SetHwnd)                                             \
  MEMBER(DISPID_FONT, DISPID_FONT, Font, GetFont, SetFont)                                             \
  METHOD(DISPID_ABOUTBOX, DISPID_ABOUTBOX, AboutBox, AboutBox)

// Number of persisted properties: positions 1 to this each name exactly one row.
#define QZ_PERSISTED_COUNT 24

// The DISPID of a row in the build being compiled.
#ifdef QZ_VERSION5
#define QZ_BUILD_DISPID(current, version5) (version5)
#else
#define QZ_BUILD_DISPID(current, version5) (current)
#endif

#define QZ_WIDE_TEXT(text) L##text
#define QZ_WIDE(text) QZ_WIDE_TEXT(text)
#define QZ_IGNORE_ROW(...)
