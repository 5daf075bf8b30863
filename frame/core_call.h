// Calling convention of the core library's entries, spelled out so that no
// compiler flag can change it: C (caller removes the arguments).
#pragma once

#if defined(_WIN32)
#define CORE_CALL __cdecl
#elif defined(__i386__)
#define CORE_CALL __attribute__((cdecl))
#else
#define CORE_CALL
#endif

// An untyped core entry, as the loader hands it over; cast to the entry's own
// type before calling.
using CoreProc = void(CORE_CALL*)();
