#pragma once
// Matrices in numpy's .npy format: a 2-D complex or real array of shape (N, N).

#include <string>
#include <string_view>

#include "interchange/matrixcontent.h"

class Presentation;

// Largest header a .npy file may have; numpy writes a few hundred bytes.
inline constexpr std::size_t maxNpyHeaderBytes = 65536;
// Largest .npy file read: magic, version and header length, the header, a 32 x 32 complex128 matrix.
inline constexpr std::size_t maxNpyFileBytes = 12 + maxNpyHeaderBytes + 32 * 32 * 16;

// The matrix of the bytes of a .npy file: shape (N, N) with N = 4, 8, 16 or 32;
// dtype complex128, complex64, float64 or float32 of either byte order; C or
// Fortran order; format versions 1.0, 2.0 and 3.0. Throws FileError with the reason
// for anything else, a truncated file, trailing bytes or an entry that is not finite.
MatrixFileContent parseNpyFile(std::string_view bytes);


inline constexpr std::string_view npyImportedLine = "The matrix was imported from the numpy file.";
