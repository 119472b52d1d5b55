// A device context pair as drawing code hands it around: the context drawn into and the one
// measured (they differ for print preview). Neither is owned. The layout is the one a module built
// with the platform's usual C++ compiler passes: a virtual table pointer, then the handles.
#pragma once
#include <windows.h>

class CDC {
public:
  virtual ~CDC() = default;
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
};
