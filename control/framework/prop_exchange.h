// Property exchange: one DoPropExchange routine both loads and saves a control's properties,
// in a binary stream (sequential, so order matters) or in a property bag (by name).
#pragma once
#include <ocidl.h>
#include <olectl.h>
#include <string>

#include "com_ptr.h"

namespace qzf {

// Damaged or short stored data; the persistence layer reports it and restores the old state.
struct PersistError {
  HRESULT hr;
  std::wstring message;
};

class PropExchange {
public:
  virtual ~PropExchange() = default;
  virtual bool IsLoading() const = 0;
  // Loading leaves a value that the stored data lacks unchanged.
  virtual void Version(const wchar_t* name, DWORD& value) = 0;
  virtual void Short(const wchar_t* name, short& value) = 0;
  virtual void Long(const wchar_t* name, long& value) = 0;
  virtual void Bool(const wchar_t* name, bool& value) = 0;
  virtual void Color(const wchar_t* name, DWORD& value) = 0;
  virtual void String(const wchar_t* name, std::string& value) = 0;
  virtual void Font(const wchar_t* name, ComPtr<IFont>& font) = 0;
};

// Longest string the binary format accepts; anything longer is damaged data.
inline constexpr DWORD kMaxStoredString = 1u << 20;

class StreamExchange final : public PropExchange {
public:
  StreamExchange(IStream* stream, bool loading) : stream_(stream), loading_(loading) {}
  bool IsLoading() const override { return loading_; }
  void Version(const wchar_t* name, DWORD& value) override;
  void Short(const wchar_t* name, short& value) override;
  void Long(const wchar_t* name, long& value) override;
  void Bool(const wchar_t* name, bool& value) override;
  void Color(const wchar_t* name, DWORD& value) override;
  void String(const wchar_t* name, std::string& value) override;
  void Font(const wchar_t* name, ComPtr<IFont>& font) override;

private:
  void Bytes(void* data, ULONG size, const wchar_t* name);
  IStream* stream_;
  bool loading_;
};

class BagExchange final : public PropExchange {
public:
  BagExchange(IPropertyBag* bag, IErrorLog* log, bool loading) : bag_(bag), log_(log), loading_(loading) {}
  bool IsLoading() const override { return loading_; }
  void Version(const wchar_t* name, DWORD& value) override;
  void Short(const wchar_t* name, short& value) override;
  void Long(const wchar_t* name, long& value) override;
  void Bool(const wchar_t* name, bool& value) override;
  void Color(const wchar_t* name, DWORD& value) override;
  void String(const wchar_t* name, std::string& value) override;
  void Font(const wchar_t* name, ComPtr<IFont>& font) override;

private:
  // Reads `name` converted to `type`; false when the bag lacks it.
  bool Read(const wchar_t* name, VARTYPE type, VARIANT& out);
  void Write(const wchar_t* name, VARIANT& value);
  IPropertyBag* bag_;
  IErrorLog* log_;
  bool loading_;
};

}  // namespace qzf
