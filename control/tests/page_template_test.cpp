// The two page dialogs as stored in the module: every control's id, kind, place, style and
// label, in resource (and so tab) order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

using namespace qztest;

namespace {

enum Kind : WORD { kButton = 0x80, kEdit = 0x81, kStatic = 0x82 };

struct Item {
  int id;  // -1 for a label
  Kind kind;
  short x, y, cx, cy;
  std::wstring text;
  DWORD style;
};

struct Template {
  DWORD style = 0;
  short cx = 0, cy = 0;
  WORD point_size = 0;
  std::wstring font;
  std::wstring title;
  std::vector<Item> items;
};

// Reads a string-or-ordinal field; an ordinal comes back as "#n".
std::wstring ReadSzOrOrd(const WORD*& p) {
  if (*p == 0xFFFF) {
    const WORD ordinal = p[1];
    p += 2;
    return L"#" + std::to_wstring(ordinal);
  }
  std::wstring text(reinterpret_cast<const wchar_t*>(p));
  p += text.size() + 1;
  return text;
}

Template ReadTemplate(int id) {
  Template t;
  const HMODULE ocx = ControlLibrary::Get().module;
  const HRSRC found = FindResourceW(ocx, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
  if (!found) return t;
  const auto* base = static_cast<const BYTE*>(LockResource(LoadResource(ocx, found)));
  const auto* header = reinterpret_cast<const DLGTEMPLATE*>(base);
  t.style = header->style;
  t.cx = header->cx;
  t.cy = header->cy;
  const WORD* p = reinterpret_cast<const WORD*>(header + 1);
  ReadSzOrOrd(p);  // menu
  ReadSzOrOrd(p);  // class
  t.title = ReadSzOrOrd(p);
  if (t.style & DS_SETFONT) {
    t.point_size = *p++;
    t.font = ReadSzOrOrd(p);
  }
  for (WORD i = 0; i < header->cdit; ++i) {
    auto at = reinterpret_cast<uintptr_t>(p);
    p = reinterpret_cast<const WORD*>((at + 3) & ~uintptr_t{3});
    const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
    p = reinterpret_cast<const WORD*>(item + 1);
    const std::wstring cls = ReadSzOrOrd(p);
    const std::wstring text = ReadSzOrOrd(p);
    const WORD extra = *p++;
    p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
    // Predefined classes come as ordinals or by name.
    auto is = [&](const wchar_t* ordinal, const wchar_t* name) { return cls == ordinal || _wcsicmp(cls.c_str(), name) == 0; };
    const Kind kind = is(L"#128", L"Button") ? kButton : is(L"#129", L"Edit") ? kEdit : is(L"#130", L"Static") ? kStatic : Kind(0);
    t.items.push_back({static_cast<short>(item->id), kind, item->x, item->y, item->cx, item->cy, text, item->style});
  }
  return t;
}

Item Label(short x, short y, short cx, short cy, const wchar_t* text) { return {-1, kStatic, x, y, cx, cy, text, 0}; }
Item Field(int id, short x, short y, short cx, short cy) { return {id, kEdit, x, y, cx, cy, L"", 0}; }
Item Check(int id, short x, short y, short cx, short cy, const wchar_t* text) { return {id, kButton, x, y, cx, cy, text, 0}; }

void ExpectStyle(const Item& item) {
  const DWORD s = item.style;
  EXPECT_TRUE(s & WS_CHILD) << item.id;
  EXPECT_TRUE(s & WS_VISIBLE) << item.id;
  switch (item.kind) {
    case kStatic:
      EXPECT_EQ(s & SS_TYPEMASK, static_cast<DWORD>(SS_RIGHT)) << "label " << std::string(item.text.begin(), item.text.end());
      EXPECT_TRUE(s & WS_GROUP);
      break;
    case kEdit:
      EXPECT_EQ(s & (WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL), static_cast<DWORD>(WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL)) << item.id;
      break;
    case kButton:
      EXPECT_TRUE(s & WS_TABSTOP) << item.id;
      EXPECT_EQ(s & 0xF, item.id == 201 ? static_cast<DWORD>(BS_PUSHBUTTON) : static_cast<DWORD>(BS_AUTOCHECKBOX)) << item.id;
      break;
  }
}

void ExpectTemplate(int id, const std::vector<Item>& expected) {
  const Template t = ReadTemplate(id);
  EXPECT_EQ(t.style & (WS_CHILD | DS_SETFONT), static_cast<DWORD>(WS_CHILD | DS_SETFONT));
  EXPECT_FALSE(t.style & (WS_CAPTION | WS_POPUP | WS_VISIBLE));
  EXPECT_EQ(t.cx, 250);
  EXPECT_EQ(t.cy, 110);
  EXPECT_EQ(t.point_size, 8);
  EXPECT_EQ(t.font, L"MS Sans Serif");
  EXPECT_EQ(t.title, L"");
  ASSERT_EQ(t.items.size(), expected.size()) << "dialog " << id;
  for (size_t i = 0; i < expected.size(); ++i) {
    const Item& got = t.items[i];
    const Item& want = expected[i];
    SCOPED_TRACE("dialog " + std::to_string(id) + " item " + std::to_string(i));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_EQ(got.cx, want.cx);
    EXPECT_EQ(got.cy, want.cy);
    EXPECT_EQ(got.text, want.text);
    ExpectStyle(got);
  }
}

}  // namespace

TEST(PageTemplate, GeneralPageControlsInTabOrder) {
  ExpectTemplate(101, {
      Label(0, 3, 54, 9, L"&DialogTitle:"), Field(205, 57, 1, 106, 12),
      Label(0, 19, 54, 9, L"Dialog&Top:"), Field(206, 57, 17, 106, 12),
      Label(0, 35, 54, 9, L"Dialog&Left:"), Field(207, 57, 33, 106, 12),
      Label(0, 50, 54, 9, L"Dialog&Height:"), Field(208, 57, 49, 106, 12),
      Label(0, 67, 54, 9, L"Dialog&Widrh:"), Field(209, 57, 65, 106, 12),
      Label(0, 83, 54, 9, L"&InitDir:"), Field(210, 57, 82, 106, 12),
      Label(4, 98, 50, 9, L"&FileTitle :"), Field(232, 57, 97, 106, 12),
      Check(203, 182, 6, 60, 9, L"&CancelError"),
      Check(201, 182, 84, 55, 15, L"&About..."),
  });
}

TEST(PageTemplate, MorePageControlsInTabOrder) {
  ExpectTemplate(105, {
      Label(1, 6, 54, 9, L"File&Name:"), Label(1, 21, 54, 9, L"&Filter:"), Label(172, 6, 40, 9, L"Default&Ext:"),
      Field(221, 59, 4, 106, 12), Field(222, 59, 19, 106, 12),
      Label(172, 21, 40, 9, L"Filter&Index:"), Label(183, 51, 30, 9, L"&Copies:"), Label(1, 35, 54, 9, L"F&lags:"),
      Field(223, 59, 34, 106, 12),
      Label(1, 96, 54, 9, L"From&Page:"), Label(93, 96, 42, 9, L"&ToPage:"),
      Field(224, 215, 4, 29, 12), Field(225, 215, 19, 29, 12), Field(211, 216, 49, 29, 12),
      Field(212, 137, 94, 29, 12), Field(213, 59, 94, 29, 12),
      Label(1, 81, 54, 9, L"HelpComm&and:"), Label(93, 80, 42, 9, L"HelpC&ontext:"), Label(1, 51, 54, 9, L"&HelpFile:"),
      Label(1, 66, 54, 9, L"Help&Key:"), Label(172, 35, 40, 9, L"MaxFileSi&ze:"),
      Field(214, 215, 34, 29, 12), Field(215, 59, 49, 106, 12), Field(216, 60, 64, 106, 12),
      Field(217, 59, 79, 29, 12), Field(218, 137, 79, 29, 12),
      Label(175, 66, 37, 9, L"&Min:"), Label(175, 80, 37, 9, L"Ma&x:"),
      Field(219, 216, 64, 29, 12), Field(220, 216, 79, 29, 12),
      Check(204, 188, 96, 60, 9, L"Printer&Default"),
  });
}
