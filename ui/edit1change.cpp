#include "ui/edit1change.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/kernel/randomunitary.h"
#include "interchange/wholenumber.h"
#include "platform/presentation.h"
#include "ui/matrixgrid.h"
#include "workspace/workspace.h"

namespace {

// Result of reading the field: a whole number (possibly far out of range), or nothing.
struct FieldNumber {
    bool valid = false;
    long long value = 0;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A whole decimal number with an optional sign, blanks around it allowed, as a
// person types it ("3 ", "03", "+3"). "3.0" and "3x" are not whole numbers. A
// number too long for 64 bits is saturated, so it still counts as too big or too small.
FieldNumber readWholeNumber(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    bool negative = false;
    if (begin < end && (text[begin] == '+' || text[begin] == '-')) {
        negative = text[begin] == '-';
        ++begin;
    }
    if (begin == end)
        return {};
    const std::string_view digits = std::string_view(text).substr(begin, end - begin);
    const DigitRun run = readDigits(digits, std::uint64_t{1} << 62);
    if (run.length != digits.size())
        return {};
    const auto magnitude = static_cast<long long>(run.value);
    return {true, negative ? -magnitude : magnitude};
}

}  // namespace

void Edit1Change(Workspace& ws, Presentation& ui)
{
    const FieldNumber count = readWholeNumber(ui.qubitFieldText());
    if (!count.valid) {
        ui.showMessage("The number of Qubits has to be a number > 1", MessageStyle::information);
        return;
    }
    if (count.value > maxQubits) {
        ui.showMessage("The number of Qubits has to be smaller than " + std::to_string(maxQubits) + ".",
                       MessageStyle::information);
        return;
    }
    if (count.value < 2) {
        ui.showMessage("The number of Qubits has to be a number > 1", MessageStyle::information);
        return;
    }
    ws.qubitCount = static_cast<int>(count.value);
    ws.matrixSize = 1 << ws.qubitCount;
    ws.pocetb1 = 0;
    ui.setGridSize(ws.matrixSize + 1, ws.matrixSize + 1);
    randomUnitary(ws, ui, ws.matrixA, 100);
    ui.setGridVisible(true);
    showMatrixInGrid(ws, ui, ws.matrixA);
}
