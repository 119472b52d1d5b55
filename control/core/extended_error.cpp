#include "extended_error.h"

namespace qz {
namespace {

struct Mapping {
  DWORD extended;
  long number;
};

constexpr Mapping kMappings[] = {
    {0x0002, 32765},  // CDERR_INITIALIZATION
    {0x0006, 32761},  // CDERR_FINDRESFAILURE
    {0x0007, 32760},  // CDERR_LOADRESFAILURE
    {0x0008, 32759},  // CDERR_LOCKRESFAILURE
    {0x000A, 32757},  // CDERR_MEMLOCKFAILURE
    {0x1000, 28671},  // PDERR_PRINTERCODES
    {0x1001, 28670},  // PDERR_SETUPFAILURE
    {0x1002, 28669},  // PDERR_PARSEFAILURE
    {0x1003, 28668},  // PDERR_RETDEFFAILURE
    {0x1004, 28667},  // PDERR_LOADDRVFAILURE
    {0x1005, 28666},  // PDERR_GETDEVMODEFAIL
    {0x1006, 28665},  // PDERR_INITFAILURE
    {0x1007, 28664},  // PDERR_NODEVICES
    {0x1008, 28663},  // PDERR_NODEFAULTPRN
    {0x1009, 28662},  // PDERR_DNDMMISMATCH
    {0x100A, 28661},  // PDERR_CREATEICFAILURE
    {0x100B, 28660},  // PDERR_PRINTERNOTFOUND
    {0x2001, 24574},  // CFERR_NOFONTS
    {0x3001, 20478},  // FNERR_SUBCLASSFAILURE
    {0x3002, 20477},  // FNERR_INVALIDFILENAME
    {0x3003, 20476},  // FNERR_BUFFERTOOSMALL
};

}  // namespace

long MapExtendedError(DWORD extended_error) {
  for (const Mapping& m : kMappings)
    if (m.extended == extended_error) return m.number;
  return 0;
}

}  // namespace qz
