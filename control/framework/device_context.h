// A device context pair as drawing code hands it around: the context drawn into and the one
// measured (they differ for print preview). Neither is owned.
#pragma once
#include <windows.h>

class CDC {
public:
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
};
