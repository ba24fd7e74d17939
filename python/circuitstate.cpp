#include "python/circuitstate.h"

#include <pybind11/stl.h>

#include <cstring>
#include <string>

namespace py = pybind11;

namespace {

// Bumped whenever the layout below changes.
constexpr int stateVersion = 1;

template <class T>
py::bytes bytesOf(const std::vector<T>& items)
{
    return py::bytes(reinterpret_cast<const char*>(items.data()), items.size() * sizeof(T));
}

template <class T>
std::vector<T> itemsOf(const py::bytes& bytes)
{
    const std::string raw = bytes;
    if (raw.size() % sizeof(T) != 0)
        throw py::value_error("The pickled circuit is damaged: a block of " + std::to_string(raw.size()) +
                              " bytes does not hold whole items of " + std::to_string(sizeof(T)));
    std::vector<T> items(raw.size() / sizeof(T));
    if (!raw.empty())
        std::memcpy(items.data(), raw.data(), raw.size());
    return items;
}

py::tuple recordState(const std::optional<WorkspaceRecord>& record)
{
    if (!record)
        return py::tuple();
    const DrawArea& a = record->drawArea;
    return py::make_tuple(record->matrixSize, bytesOf(record->matrix), bytesOf(record->tpqFactors),
                          bytesOf(record->dAngles), record->zoom, py::make_tuple(a.Left, a.Top, a.Right, a.Bottom),
                          record->firstShownGate, record->selectedGate);
}

std::optional<WorkspaceRecord> recordOf(const py::tuple& state)
{
    if (state.empty())
        return std::nullopt;
    WorkspaceRecord record;
    record.matrixSize = state[0].cast<int>();
    record.matrix = itemsOf<Complex>(state[1]);
    record.tpqFactors = itemsOf<TpqEntry>(state[2]);
    record.dAngles = itemsOf<double>(state[3]);
    record.zoom = state[4].cast<double>();
    const auto area = state[5].cast<py::tuple>();
    record.drawArea = {area[0].cast<int>(), area[1].cast<int>(), area[2].cast<int>(), area[3].cast<int>()};
    record.firstShownGate = state[6].cast<int>();
    record.selectedGate = state[7].cast<int>();
    if (static_cast<int>(record.matrix.size()) != record.matrixSize * record.matrixSize)
        throw py::value_error("The pickled circuit is damaged: its matrix has the wrong number of entries");
    return record;
}

}  // namespace

py::tuple circuitState(const CircuitResult& r)
{
    py::list checks, stages, messages;
    for (const CheckResult& c : r.checks)
        checks.append(py::make_tuple(c.name, c.passed));
    for (const StageResult& s : r.stages)
        stages.append(py::make_tuple(s.name, s.seconds, s.hasStatistics, s.gates, s.gatesByControls));
    for (const MessageResult& m : r.messages)
        messages.append(py::make_tuple(m.text, m.detail, m.style));
    return py::make_tuple(stateVersion, r.qubits, r.endStage, r.circuitBuilt, r.gateCount, r.cnotCount,
                          r.countsByControls, r.maxEntryDifference, checks, stages, r.log, messages,
                          bytesOf(r.circuit.gates), bytesOf(r.circuit.matrices), recordState(r.workspace),
                          r.nearestUnitaryDefect);
}

CircuitResult circuitFromState(const py::tuple& state)
{
    if (state.size() != 16 || state[0].cast<int>() != stateVersion)
        throw py::value_error("The pickled circuit was written by another version of udecomp");
    CircuitResult r;
    r.qubits = state[1].cast<int>();
    r.endStage = state[2].cast<int>();
    r.circuitBuilt = state[3].cast<bool>();
    r.gateCount = state[4].cast<int>();
    r.cnotCount = state[5].cast<int>();
    r.countsByControls = state[6].cast<std::vector<int>>();
    r.maxEntryDifference = state[7].cast<std::optional<double>>();
    for (const py::handle c : state[8].cast<py::list>()) {
        const auto t = c.cast<py::tuple>();
        r.checks.push_back({t[0].cast<std::string>(), t[1].cast<std::optional<bool>>()});
    }
    for (const py::handle s : state[9].cast<py::list>()) {
        const auto t = s.cast<py::tuple>();
        r.stages.push_back({t[0].cast<std::string>(), t[1].cast<double>(), t[2].cast<bool>(), t[3].cast<int>(),
                            t[4].cast<std::vector<int>>()});
    }
    r.log = state[10].cast<std::vector<std::string>>();
    for (const py::handle m : state[11].cast<py::list>()) {
        const auto t = m.cast<py::tuple>();
        r.messages.push_back({t[0].cast<std::string>(), t[1].cast<std::string>(), t[2].cast<std::string>()});
    }
    r.circuit.gates = itemsOf<CompactGate>(state[12]);
    r.circuit.matrices = itemsOf<TMATICA2>(state[13]);
    r.workspace = recordOf(state[14].cast<py::tuple>());
    r.nearestUnitaryDefect = state[15].cast<std::optional<double>>();
    if (static_cast<int>(r.circuit.gates.size()) != r.gateCount)
        throw py::value_error("The pickled circuit is damaged: it holds " + std::to_string(r.circuit.gates.size()) +
                              " gates, not " + std::to_string(r.gateCount));
    for (const CompactGate& g : r.circuit.gates)
        if (g.matrix >= static_cast<std::int32_t>(r.circuit.matrices.size()))
            throw py::value_error("The pickled circuit is damaged: a gate names a matrix it does not hold");
    return r;
}
