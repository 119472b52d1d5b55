// Stand-in for the error-detail library. KtThrowError(number, context, reserved) raises the
// automation error for a control error number: it sets the thread's error info with the
// number's description and returns the SCODE 0x800A0000 | number for the caller to raise.
#include <windows.h>
#include <oleauto.h>

namespace {

struct ErrorText {
  long number;
  const wchar_t* text;
};

constexpr ErrorText kErrors[] = {
    {1, L"Help could not be shown"},
    {380, L"Invalid property value"},
    {381, L"Invalid property array index"},
    {20476, L"The buffer for the file name is too small"},
    {20477, L"The file name is not valid"},
    {20478, L"The dialog could not be subclassed"},
    {24574, L"No fonts exist"},
    {28660, L"The printer was not found"},
    {28661, L"The printer information context could not be created"},
    {28662, L"The printer data does not match"},
    {28663, L"There is no default printer"},
    {28664, L"No printer device drivers were found"},
    {28665, L"The print dialog failed to initialise"},
    {28666, L"The printer driver could not initialise a device mode"},
    {28667, L"The printer driver could not be loaded"},
    {28668, L"The default printer could not be found"},
    {28669, L"The printer string could not be parsed"},
    {28670, L"The printer resources could not be loaded"},
    {28671, L"Printer error"},
    {32751, L"Help error"},
    {32752, L"The file dialog buffers could not be allocated"},
    {32755, L"Cancel was selected"},
    {32757, L"Memory could not be locked"},
    {32758, L"Memory could not be allocated"},
    {32759, L"The resource could not be locked"},
    {32760, L"The resource could not be loaded"},
    {32761, L"The resource could not be found"},
    {32762, L"The string could not be loaded"},
    {32765, L"The dialog failed to initialise"},
};

const wchar_t* Describe(long number) {
  for (const ErrorText& e : kErrors)
    if (e.number == number) return e.text;
  return L"Application-defined or object-defined error";
}

}  // namespace

extern "C" HRESULT WINAPI KtThrowError(long number, long help_context, long) {
  ICreateErrorInfo* create = nullptr;
  if (SUCCEEDED(CreateErrorInfo(&create))) {
    create->SetSource(const_cast<LPOLESTR>(L"QzCommonDialog"));
    create->SetDescription(const_cast<LPOLESTR>(Describe(number)));
    create->SetHelpContext(static_cast<DWORD>(help_context));
    IErrorInfo* info = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
      SetErrorInfo(0, info);
      info->Release();
    }
    create->Release();
  }
  return static_cast<HRESULT>(0x800A0000u | (static_cast<unsigned long>(number) & 0xFFFFu));
}

// Present only in the variant that lacks KtThrowError, so that variant still has an export table.
extern "C" long WINAPI KtVersion() { return 1; }
