// Builds dispatch rows from member functions, so a control's table reads as
// Property<&Ctrl::GetX, &Ctrl::SetX>(id, L"X"). The C++ type of the accessor decides the
// automation type.
#pragma once
#include <cstddef>
#include <string>
#include <type_traits>

#include "dispatch_table.h"
#include "text_convert.h"

namespace qzf {

// An OLE_COLOR travels as VT_I4, as containers and scripts expect.
struct OleColor {
  DWORD value;
};

template <class T> struct AutoType;

template <> struct AutoType<short> {
  static constexpr VARTYPE vt = VT_I2;
  static short From(const VARIANT& v) { return v.iVal; }
  static void To(short x, VARIANT& v) { v.vt = VT_I2; v.iVal = x; }
};
template <> struct AutoType<long> {
  static constexpr VARTYPE vt = VT_I4;
  static long From(const VARIANT& v) { return v.lVal; }
  static void To(long x, VARIANT& v) { v.vt = VT_I4; v.lVal = x; }
};
template <> struct AutoType<OleColor> {
  static constexpr VARTYPE vt = VT_I4;
  static OleColor From(const VARIANT& v) { return {static_cast<DWORD>(v.lVal)}; }
  static void To(OleColor x, VARIANT& v) { v.vt = VT_I4; v.lVal = static_cast<LONG>(x.value); }
};
template <> struct AutoType<bool> {
  static constexpr VARTYPE vt = VT_BOOL;
  static bool From(const VARIANT& v) { return v.boolVal != VARIANT_FALSE; }
  static void To(bool x, VARIANT& v) { v.vt = VT_BOOL; v.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE; }
};
template <> struct AutoType<float> {
  static constexpr VARTYPE vt = VT_R4;
  static float From(const VARIANT& v) { return v.fltVal; }
  static void To(float x, VARIANT& v) { v.vt = VT_R4; v.fltVal = x; }
};
template <> struct AutoType<std::string> {
  static constexpr VARTYPE vt = VT_BSTR;
  static std::string From(const VARIANT& v) { return Narrow(v.bstrVal ? std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring_view()); }
  static void To(const std::string& x, VARIANT& v) { v.bstrVal = AllocBstrFromAnsi(x); v.vt = VT_BSTR; }
};
template <> struct AutoType<IDispatch*> {
  static constexpr VARTYPE vt = VT_DISPATCH;
  static IDispatch* From(const VARIANT& v) { return v.pdispVal; }
  // The getter hands over a reference it already holds for the caller.
  static void To(IDispatch* x, VARIANT& v) { v.vt = VT_DISPATCH; v.pdispVal = x; }
};

template <class> struct GetterTraits;
template <class C, class R> struct GetterTraits<R (C::*)()> {
  using Class = C; using Value = std::decay_t<R>; static constexpr bool indexed = false;
};
template <class C, class R> struct GetterTraits<R (C::*)(short)> {
  using Class = C; using Value = std::decay_t<R>; static constexpr bool indexed = true;
};

template <class> struct SetterTraits;
template <class C, class A> struct SetterTraits<void (C::*)(A)> {
  using Class = C; using Value = std::decay_t<A>; static constexpr bool indexed = false;
};
template <class C, class A> struct SetterTraits<void (C::*)(short, A)> {
  using Class = C; using Value = std::decay_t<A>; static constexpr bool indexed = true;
};

template <auto G>
void BoundGet(DispatchTarget& self, const VARIANT* index, VARIANT& out) {
  using T = GetterTraits<decltype(G)>;
  auto& object = static_cast<typename T::Class&>(self);
  if constexpr (T::indexed) AutoType<typename T::Value>::To((object.*G)(index->iVal), out);
  else AutoType<typename T::Value>::To((object.*G)(), out);
}

template <auto S>
void BoundPut(DispatchTarget& self, const VARIANT* index, const VARIANT& value) {
  using T = SetterTraits<decltype(S)>;
  auto& object = static_cast<typename T::Class&>(self);
  if constexpr (T::indexed) (object.*S)(index->iVal, AutoType<typename T::Value>::From(value));
  else (object.*S)(AutoType<typename T::Value>::From(value));
}

template <auto M>
void BoundCall(DispatchTarget& self) {
  using C = typename GetterTraits<decltype(M)>::Class;
  (static_cast<C&>(self).*M)();
}

// G or S may be nullptr for a property without that accessor.
template <auto G, auto S>
constexpr DispEntry Property(DISPID id, const wchar_t* name, const wchar_t* alias = nullptr) {
  constexpr bool has_get = !std::is_same_v<decltype(G), std::nullptr_t>;
  constexpr bool has_set = !std::is_same_v<decltype(S), std::nullptr_t>;
  static_assert(has_get || has_set);
  using Traits = std::conditional_t<has_get, GetterTraits<decltype(G)>, SetterTraits<decltype(S)>>;
  DispGet get = nullptr;
  DispPut put = nullptr;
  if constexpr (has_get) get = &BoundGet<G>;
  if constexpr (has_set) put = &BoundPut<S>;
  return DispEntry{id, name, alias, DispKind::Property, AutoType<typename Traits::Value>::vt,
                   static_cast<VARTYPE>(Traits::indexed ? VT_I2 : VT_EMPTY), get, put, nullptr};
}

template <auto M>
constexpr DispEntry Method(DISPID id, const wchar_t* name) {
  return DispEntry{id, name, nullptr, DispKind::Method, VT_EMPTY, VT_EMPTY, nullptr, nullptr, &BoundCall<M>};
}

}  // namespace qzf
