/// \file
/// The one export macro of the library.
#pragma once

/// \def KELO_API
/// Marks every class and function that a client links against: dllexport while the library
/// itself is built on Windows, dllimport for its users there, default visibility on ELF where
/// everything else is hidden. Empty when KELOHESSIAN_STATIC is defined (the static library, whose
/// CMake target defines it for its users).

#if defined(KELOHESSIAN_STATIC)
#define KELO_API
#elif defined(_WIN32) || defined(__CYGWIN__)
#if defined(KELOHESSIAN_BUILDING)
#define KELO_API __declspec(dllexport)
#else
#define KELO_API __declspec(dllimport)
#endif
#else
#define KELO_API __attribute__((visibility("default")))
#endif
