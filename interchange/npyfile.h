#pragma once
// Matrices in numpy's .npy format: a 2-D complex or real array of shape (N, N).

#include <string>
#include <string_view>

#include "interchange/matrixcontent.h"

class Presentation;

// Largest header a .npy file may have; numpy writes a few hundred bytes.
inline constexpr std::size_t maxNpyHeaderBytes = 65536;
// The largest matrix the workspace takes (five qubits) and the largest the
// fewest-CNOT route takes (ten qubits).
inline constexpr int workspaceNpySize = 32;
inline constexpr int largestNpySize = 1024;

// Largest .npy file read for matrices of size up to `mostSize`: magic, version
// and header length, the header, a complex128 matrix.
constexpr std::size_t maxNpyFileBytesFor(int mostSize)
{
    return 12 + maxNpyHeaderBytes + static_cast<std::size_t>(mostSize) * static_cast<std::size_t>(mostSize) * 16;
}
inline constexpr std::size_t maxNpyFileBytes = maxNpyFileBytesFor(workspaceNpySize);

// The matrix of the bytes of a .npy file: shape (N, N) with N a power of 2 from
// 4 to mostSize (32 or 1024); dtype complex128, complex64, float64 or float32 of
// either byte order; C or Fortran order; format versions 1.0, 2.0 and 3.0.
// Throws FileError with the reason for anything else, a truncated file,
// trailing bytes or an entry that is not finite.
MatrixFileContent parseNpyFile(std::string_view bytes, int mostSize = workspaceNpySize);


inline constexpr std::string_view npyImportedLine = "The matrix was imported from the numpy file.";
