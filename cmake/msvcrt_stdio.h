// Read before every source file of the Windows builds, so that the C library's printf and
// strtod families are the ones in msvcrt.dll, which every Windows has, and not the copies
// MinGW links into the exe. The command line turns MinGW's own off, but libstdc++'s headers
// turn it on again; declaring the C functions first, before any C++ header, keeps it off.
// stdlib.h goes past libstdc++'s wrapper of the same name, which would include <cstdlib>.
#pragma once

#define _GLIBCXX_INCLUDE_NEXT_C_HEADERS
#include <stdlib.h>
#undef _GLIBCXX_INCLUDE_NEXT_C_HEADERS
#include <stdio.h>
