// A module built for the ABI of the platform's usual C++ compiler, as another control would be:
// it declares the exported functions and the picture holder as that compiler's users do, links
// against the control's import library by the names that compiler gives them, and calls them.
// Built with clang for that ABI, without a runtime library; the picture tests load it.
typedef void* HDC;

// A device context object of such a module: its virtual table pointer comes before the handles.
class CDC {
public:
  virtual ~CDC() {}
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
};

struct tagRECT {
  long left, top, right, bottom;
};
class CRect : public tagRECT {
public:
  CRect(long l, long t, long r, long b) : tagRECT{l, t, r, b} {}
};

class CPictureHolder {
public:
  void* m_pPict = nullptr;
};

class CQZPictureHolder : public CPictureHolder {
public:
  CQZPictureHolder();
  virtual int Render(CDC* dc, CRect& target, int mode, int horizontal, int vertical, long background, long rop,
                     CRect* mask);
  // That compiler lays overloaded virtual functions out in reverse order of declaration: declared
  // this way round, the slots are Render, Mask (colour), Mask (holder), as the module has them.
  virtual int Mask(CDC* dc, CRect& target, CQZPictureHolder* mask, CRect* bitmap);
  virtual int Mask(CDC* dc, CRect& target, unsigned long transparent, CRect* unused);
  void ShowStatus(CDC* first, CDC* second, CRect area);
  virtual ~CQZPictureHolder();
};

int XHimetricToPixels(long himetric);
int YHimetricToPixels(long himetric);
int XHimetricToPixels(long himetric, CDC* dc);
int YHimetricToPixels(long himetric, CDC* dc);
long XPixelsToHimetric(long pixels);
long YPixelsToHimetric(long pixels);
int XPixelsToTwips(int pixels, CDC* dc);
int YPixelsToTwips(int pixels, CDC* dc);
int XTwipsToPixels(int twips, CDC* dc);
int YTwipsToPixels(int twips, CDC* dc);

// No runtime library: the device context objects live on the stack and are never deleted.
void operator delete(void*) noexcept {}
void operator delete(void*, decltype(sizeof 0)) noexcept {}

// Writes each call's result to `out` in a fixed order and returns how many there are. `picture`
// is handed over with one reference, which the holder's destructor releases.
extern "C" __declspec(dllexport) int RunCalls(HDC screen, HDC target, void* picture, int width, int height,
                                              int* out) {
  CDC screen_dc;
  screen_dc.m_hDC = screen_dc.m_hAttribDC = screen;
  CDC target_dc;
  target_dc.m_hDC = target_dc.m_hAttribDC = target;
  int n = 0;
  out[n++] = XHimetricToPixels(2540);
  out[n++] = YHimetricToPixels(2540);
  out[n++] = XHimetricToPixels(2540, &screen_dc);
  out[n++] = YHimetricToPixels(2540, &screen_dc);
  out[n++] = XPixelsToHimetric(96);
  out[n++] = YPixelsToHimetric(96);
  out[n++] = XPixelsToTwips(10, &screen_dc);
  out[n++] = YPixelsToTwips(10, &screen_dc);
  out[n++] = XTwipsToPixels(23, &screen_dc);
  out[n++] = YTwipsToPixels(23, &screen_dc);
  {
    CQZPictureHolder holder;
    holder.m_pPict = picture;
    CQZPictureHolder* volatile through_table = &holder;
    CRect whole(0, 0, width, height);
    CRect left(0, 0, width / 2, height);
    // Repeated calls: a callee that leaves the stack unbalanced shows at once.
    int drawn = 0;
    for (int i = 0; i < 50; ++i) {
      drawn += holder.Render(&target_dc, whole, 0, 0, 0, 0xFFFFFF, 0xCC0020, nullptr);
      holder.ShowStatus(nullptr, nullptr, CRect(0, 0, 1, 1));
    }
    out[n++] = drawn;
    out[n++] = through_table->Render(&target_dc, whole, 1, 2, 2, 0x00FF00, 0xCC0020, nullptr);
    out[n++] = through_table->Mask(&target_dc, left, 0x000000ul, nullptr);
    // By name as well: an empty mask holder draws nothing, a key colour no pixel has draws all.
    CQZPictureHolder empty;
    out[n++] = holder.Mask(&target_dc, left, &empty, &left);
    out[n++] = holder.Mask(&target_dc, whole, 0x000000ul, nullptr);
  }
  return n;
}
