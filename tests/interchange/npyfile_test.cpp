#include "interchange/npyfile.h"
#include "workspace/matriximport.h"

#include <gtest/gtest.h>

#include "engine/kernel/errors.h"
#include "platform/headlesspresentation.h"
#include "support/files.h"
#include "workspace/workspace.h"

namespace {

// The files tests/data/npy/generate.py wrote with numpy.
std::string fixture(const std::string& name)
{
    return readBytes(std::string(UDECOMP_SOURCE_DIR) + "/tests/data/npy/" + name);
}

std::string refusalOf(std::string_view bytes)
{
    try {
        parseNpyFile(bytes);
    } catch (const FileError& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

TEST(NpyFile, ReadsEveryDtypeByteOrderLayoutAndVersionThatNumpyWrites)
{
    const std::pair<const char*, bool> files[] = {
        {"c16-c.npy", true},  {"c16-big-fortran.npy", true}, {"c8-c.npy", true},       {"c8-big-fortran.npy", true},
        {"f8-c.npy", false},  {"f8-fortran.npy", false},     {"f4-big-c.npy", false},  {"f4-fortran.npy", false},
        {"c16-v2.npy", true}, {"c16-v3.npy", true},
    };
    for (const auto& [name, complexEntries] : files) {
        SCOPED_TRACE(name);
        const MatrixFileContent content = parseNpyFile(fixture(name));
        const int n = content.size;
        ASSERT_TRUE(n == 4 || n == 8 || n == 16 || n == 32);
        ASSERT_EQ(content.entries.size(), static_cast<std::size_t>(n * n));
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c) {
                const Complex z = content.entries[static_cast<std::size_t>(r * n + c)];
                ASSERT_EQ(z.re, (r * n + c) / 4.0) << r << ", " << c;
                ASSERT_EQ(z.im, complexEntries ? (r - c) / 2.0 : 0.0) << r << ", " << c;
            }
        }
    }
}

TEST(NpyFile, RefusesWhatIsNotASupportedSquareMatrixAndSaysWhy)
{
    const std::string good = fixture("c16-c.npy");
    std::string nan = good;
    for (int k = 0; k < 8; ++k)
        nan[nan.size() - 8 + k] = k < 6 ? '\0' : (k == 6 ? '\xf8' : '\x7f');
    std::string version = good;
    version[6] = 4;
    // A size too long to hold, written over (4, 4) with the header's padding.
    std::string hugeShape = good;
    const std::size_t shape = hugeShape.find("(4, 4)");
    const std::size_t padding = hugeShape.find("   \n");
    ASSERT_NE(shape, std::string::npos);
    ASSERT_NE(padding, std::string::npos);
    hugeShape.replace(shape, 6, "(99999999999999999999, 4)");
    hugeShape.erase(padding + 19, 19);
    const std::pair<std::string, const char*> cases[] = {
        {fixture("shape-3x3.npy"), "shape (3, 3)"},
        {fixture("shape-4x8.npy"), "shape (4, 8)"},
        {fixture("shape-16.npy"), "shape (16,)"},
        {fixture("int64.npy"), "dtype '<i8'"},
        {good.substr(0, good.size() - 1), "ends after 255 of the 256 bytes"},
        {good.substr(0, 40), "ends inside its header"},
        {good + "x", "1 bytes after"},
        {"\x93NUMPZ" + good.substr(6), "does not start like"},
        {version, "version 4.0"},
        {nan, "row 4, column 4 is not a finite"},
        {hugeShape, "a shape that is not a tuple of sizes"},
    };
    for (const auto& [bytes, reason] : cases) {
        const std::string refusal = refusalOf(bytes);
        EXPECT_NE(refusal.find(reason), std::string::npos) << refusal;
    }
}

TEST(NpyFile, AnImportChangesTheQubitCountLikeAMatrixFile)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ws->pocetb1 = 3;
    const Complex before = ws->matrixA(1, 2);
    const std::string folder = std::string(UDECOMP_SOURCE_DIR) + "/tests/data/npy/";
    EXPECT_THROW(importNpyFile(*ws, ui, folder + "shape-3x3.npy"), FileError);
    EXPECT_EQ(ws->pocetb1, 3);
    EXPECT_EQ(ws->matrixA(1, 2).im, before.im);

    importNpyFile(*ws, ui, folder + "c8-big-fortran.npy");
    EXPECT_EQ(ws->qubitCount, 3);
    EXPECT_EQ(ws->pocetb1, 0);
    EXPECT_EQ(ui.qubitFieldText(), "3");
    EXPECT_EQ(ws->matrixA(2, 1).re, 8 / 4.0);
    EXPECT_EQ(ws->matrixA(2, 1).im, 0.5);
    EXPECT_EQ(ui.log.back(), npyImportedLine);
}

TEST(NpyFile, TakesSixToTenQubitsOnlyWhenTheCallerDoes)
{
    // A float64 identity of shape (64, 64) in format 1.0, the header padded as numpy pads it.
    std::string header = "{'descr': '<f8', 'fortran_order': False, 'shape': (64, 64), }";
    header.resize(118, ' ');
    header += '\n';
    std::string bytes = std::string("\x93NUMPY\x01\x00", 8) + char(header.size() & 0xff) + char(header.size() >> 8);
    bytes += header;
    for (int k = 0; k < 64 * 64; ++k) {
        const double entry = k % 65 == 0 ? 1.0 : 0.0;
        bytes.append(reinterpret_cast<const char*>(&entry), sizeof entry);
    }
    EXPECT_EQ(refusalOf(bytes), "The numpy file cannot be read: its array has the shape (64, 64): a square matrix of size "
                                "4, 8, 16 or 32 (2 to 5 qubits) is needed.");
    const MatrixFileContent content = parseNpyFile(bytes, largestNpySize);
    ASSERT_EQ(content.size, 64);
    EXPECT_EQ(content.entries[65].re, 1.0);
    EXPECT_EQ(content.entries[1].re, 0.0);
}
