// The udecomp Python module: the engine's decomposition, its checks and exports,
// called from Python with numpy arrays. Each call runs on the calling thread's
// own workspace, with the GIL released while the engine computes.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <bit>
#include <climits>
#include <cstring>
#include <complex>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/endstage.h"
#include "engine/kernel/errors.h"
#include "python/circuitexports.h"
#include "python/circuitresult.h"
#include "python/circuitstate.h"
#include "interchange/qasm/basisgates.h"
#include "ui/commands.h"
#include "python/decomposition.h"
#include "python/inputmatrix.h"
#include "python/matrixsources.h"
#include "python/refusal.h"
#include "python/withoutgil.h"
#include "interchange/qasm/exporter.h"
#include "engine/numerical/cnottemplate.h"
#include "workspace/comparison.h"
#include "workspace/numericalrun.h"

namespace py = pybind11;

namespace {

using ComplexArray = py::array_t<std::complex<double>, py::array::c_style | py::array::forcecast>;

// A notebook draws this many gates; svg() draws every one.
constexpr int notebookGateLimit = 300;

ComplexArray arrayOf(const SquareMatrix& matrix)
{
    ComplexArray array({matrix.size, matrix.size});
    std::complex<double>* out = array.mutable_data();
    for (const Complex& z : matrix.entries)
        *out++ = {z.re, z.im};
    return array;
}

ComplexArray arrayOf(const TMATICA2& u)
{
    ComplexArray array({2, 2});
    std::complex<double>* out = array.mutable_data();
    for (const Complex& z : {u.u11, u.u12, u.u21, u.u22})
        *out++ = {z.re, z.im};
    return array;
}

// Whatever numpy turns into a complex array, checked for shape and finiteness.
SquareMatrix matrixFromPython(const py::object& matrix)
{
    const py::object numpy = py::module_::import("numpy");
    if (py::isinstance(matrix, numpy.attr("ma").attr("MaskedArray")) &&
        numpy.attr("ma").attr("is_masked")(matrix).cast<bool>())
        throw Refusal("The matrix is a masked array with masked entries: fill them first (numpy.ma.filled).");
    const ComplexArray array = numpy.attr("asarray")(matrix, py::arg("dtype") = numpy.attr("complex128"));
    std::vector<long long> shape(array.shape(), array.shape() + array.ndim());
    std::vector<Complex> entries;
    if (array.ndim() == 2) {
        entries.reserve(static_cast<std::size_t>(array.size()));
        const std::complex<double>* in = array.data();
        for (py::ssize_t k = 0; k < array.size(); ++k)
            entries.push_back({in[k].real(), in[k].imag()});
    }
    return checkedMatrix(shape, std::move(entries));
}

std::string pathText(const py::object& path)
{
    const py::object named = py::module_::import("os").attr("fspath")(path);
    if (!py::isinstance<py::str>(named))
        throw py::type_error("The path must be a str or an os.PathLike of str, not " +
                             py::str(py::type::of(named).attr("__name__")).cast<std::string>());
    std::string text = py::str(named);
    // The file system would stop at the NUL and use a shorter name.
    if (text.find('\0') != std::string::npos)
        throw py::value_error("The path contains a NUL character: " + py::repr(py::str(text)).cast<std::string>());
    return text;
}

int endStageIndex(const std::string& name)
{
    const auto row = endStageOfPythonName(name);
    if (!row) {
        std::string names;
        for (const EndStage& known : endStages)
            names += (names.empty() ? "" : ", ") + std::string(known.pythonName);
        throw Refusal("The end stage '" + name + "' is not one of " + names + ".");
    }
    return row->boxIndex;
}

struct PyGate {
    int target = 0;
    std::vector<int> controls;
    TMATICA2 u;
};

// The Python Circuit: a finished run, and its gates once they were asked for.
struct PyCircuit {
    std::shared_ptr<const CircuitResult> result;
    py::object gates;
};

py::tuple gateList(const CircuitResult& result)
{
    py::list gates;
    for (const TGATE1& gate : circuitGates(result)) {
        PyGate g{gate.target, {}, gate.u};
        for (int k = 1; k <= gate.type; ++k)
            g.controls.push_back(gate.controls[static_cast<std::size_t>(k)]);
        gates.append(py::cast(std::move(g)));
    }
    return py::tuple(gates);
}

// The gates as a tuple, made once.
py::tuple gatesOf(PyCircuit& circuit)
{
    if (circuit.gates.is_none())
        circuit.gates = gateList(*circuit.result);
    return circuit.gates.cast<py::tuple>();
}

py::object optionalBool(const std::optional<bool>& value)
{
    return value ? py::object(py::bool_(*value)) : py::object(py::none());
}

py::dict checksDict(const CircuitResult& result)
{
    py::dict checks;
    for (const CheckResult& check : result.checks)
        checks[py::str(check.name)] = optionalBool(check.passed);
    return checks;
}

py::list stagesList(const CircuitResult& result)
{
    py::list stages;
    for (const StageResult& stage : result.stages) {
        py::dict entry;
        entry["name"] = stage.name;
        entry["seconds"] = stage.seconds;
        if (stage.hasStatistics) {
            entry["gates"] = stage.gates;
            entry["gatesByControls"] = stage.gatesByControls;
        }
        stages.append(entry);
    }
    return stages;
}

py::list messagesList(const CircuitResult& result)
{
    py::list messages;
    for (const MessageResult& message : result.messages) {
        py::dict entry;
        entry["text"] = message.text;
        entry["style"] = message.style;
        entry["detail"] = message.detail;
        messages.append(entry);
    }
    return messages;
}

std::string circuitRepr(const CircuitResult& result)
{
    return "<udecomp.Circuit: " + std::to_string(result.qubits) + " qubits, " + std::to_string(result.gateCount) +
           " gates, " + std::to_string(result.cnotCount) + " CNOTs, end stage " +
           std::string(endStageOfBox(result.endStage).pythonName) + ">";
}

std::string gateName(const PyGate& gate)
{
    if (gate.controls.size() == 1 && isExactPauliX(gate.u))
        return "cx";
    return std::string(gate.controls.size(), 'c') + "u";
}

py::tuple gateParams(const PyGate& gate)
{
    if (gateName(gate) == "cx")
        return py::tuple();
    const UAngles a = uAngles(gate.u);
    return py::make_tuple(a.theta, a.phi, a.lambda, a.gamma);
}

bool sameEntries(const TMATICA2& x, const TMATICA2& y)
{
    const Complex a[] = {x.u11, x.u12, x.u21, x.u22}, b[] = {y.u11, y.u12, y.u21, y.u22};
    for (int k = 0; k < 4; ++k)
        if (a[k].re != b[k].re || a[k].im != b[k].im)
            return false;
    return true;
}

bool sameGate(const PyGate& a, const PyGate& b)
{
    return a.target == b.target && a.controls == b.controls && sameEntries(a.u, b.u);
}

std::string gateRepr(const PyGate& gate)
{
    std::string controls;
    for (int c : gate.controls)
        controls += (controls.empty() ? "" : ", ") + std::to_string(c);
    if (gate.controls.size() == 1)
        controls += ",";
    return "Gate(target=" + std::to_string(gate.target) + ", controls=(" + controls + "))";
}

// Ctrl-C reaches a long run between two evaluations of its instantiation.
bool interruptedByPython()
{
    py::gil_scoped_acquire held;
    return PyErr_CheckSignals() != 0;
}

std::shared_ptr<const CircuitResult> decomposed(const SquareMatrix& input, const DecompositionSettings& settings)
{
    try {
        return withoutGil([&] { return std::make_shared<const CircuitResult>(decomposeMatrix(input, settings)); });
    } catch (const RunCancelled&) {
        throw py::error_already_set();  // the KeyboardInterrupt the signal check raised
    }
}

PyCircuit decomposeCall(const py::object& matrix, const py::str& endStageName, bool optimize, bool selfCheck)
{
    const std::string endStage = endStageName;
    const DecompositionSettings settings{endStageIndex(endStage), optimize, selfCheck, interruptedByPython};
    return {decomposed(matrixFromPython(matrix), settings), py::none()};
}

// The routes side by side: plain rows for pandas, and each route's circuit.
struct PyComparison {
    int qubits = 0;
    int lowerBound = 0;
    py::list rows;
    std::vector<std::pair<std::string, PyCircuit>> circuits;  // by the end stage's Python name
};

py::dict comparisonRow(const RouteFigures& f)
{
    py::dict row;
    row["end_stage"] = std::string(endStageOfBox(f.endStage).pythonName);
    row["gates"] = f.gateCount;
    row["cnots"] = f.cnotCount;
    row["one_qubit_gates"] = f.oneQubitGateCount;
    row["depth"] = f.depth;
    row["cnot_depth"] = f.cnotDepth;
    row["max_entry_difference"] = f.maxEntryDifference ? py::object(py::float_(*f.maxEntryDifference)) : py::none();
    row["checks_passed"] = f.checksPassed;
    row["seconds"] = f.seconds;
    return row;
}

PyComparison compareCall(const py::object& matrix, bool optimize, bool selfCheck)
{
    const SquareMatrix input = matrixFromPython(matrix);
    const int qubits = std::countr_zero(static_cast<unsigned>(input.size));
    if (input.size > (1 << maxQubits))
        throw Refusal("compare takes matrices of 2 to 5 qubits; this one has " + std::to_string(qubits) + ".");
    PyComparison comparison;
    comparison.qubits = qubits;
    comparison.lowerBound = cnotLowerBound(qubits);
    for (const int stage : comparedEndStages(qubits)) {
        const DecompositionSettings settings{stage, optimize, selfCheck, interruptedByPython};
        std::shared_ptr<const CircuitResult> result = decomposed(input, settings);
        comparison.rows.append(comparisonRow(routeFigures(*result->summary, circuitGates(*result))));
        comparison.circuits.emplace_back(std::string(endStageOfBox(stage).pythonName),
                                         PyCircuit{std::move(result), py::none()});
    }
    return comparison;
}

// The circuit in the gate set these names spell; ValueError for other names
// and for a circuit with controlled gates other than CNOTs.
BasisCircuit inBasis(const CircuitResult& result, const std::vector<std::string>& names)
{
    const std::optional<BasisGates> basis = basisGatesOf(names);
    if (!basis)
        throw Refusal("basis_gates must spell one of the gate sets " + basisGatesChoices() + ".");
    if (!result.circuitBuilt)
        throw Refusal(std::string(noCircuitToExportMessage));
    try {
        return basisCircuit(circuitGates(result), result.qubits, *basis);
    } catch (const std::invalid_argument& e) {
        throw Refusal(e.what());
    }
}

// The circuit's OpenQASM text, in the gate set of `basis` when one is given.
std::string qasmText(const CircuitResult& result, const std::optional<std::vector<std::string>>& basis,
                     QasmVersion version)
{
    if (!basis)
        return circuitQasm(result, version);
    return basisQasmText(inBasis(result, *basis), result.qubits, version);
}

std::string htmlEscaped(const std::string& text)
{
    std::string out;
    for (const char ch : text)
        out += ch == '<' ? "&lt;" : ch == '>' ? "&gt;" : ch == '&' ? "&amp;" : std::string(1, ch);
    return out;
}

// A notebook's table: one row per route and one for the lower bound.
std::string comparisonHtml(const PyComparison& c)
{
    const char* keys[] = {"end_stage", "gates", "cnots", "one_qubit_gates", "depth", "cnot_depth",
                          "max_entry_difference", "checks_passed", "seconds"};
    std::string html = "<table><thead><tr>";
    for (const char* key : keys)
        html += "<th>" + std::string(key) + "</th>";
    html += "</tr></thead><tbody>";
    for (const py::handle row : c.rows) {
        html += "<tr>";
        for (const char* key : keys) {
            const py::object value = row.cast<py::dict>()[key];
            const bool number = !py::isinstance<py::str>(value);
            html += std::string(number ? "<td style=\"text-align: right\">" : "<td>") +
                    htmlEscaped(py::str(value).cast<std::string>()) + "</td>";
        }
        html += "</tr>";
    }
    html += "<tr><td>lower bound (" + std::to_string(c.qubits) + " qubits)</td><td></td><td style=\"text-align: right\">" +
            std::to_string(c.lowerBound) + "</td><td></td><td></td><td></td><td></td><td></td><td></td></tr>";
    return html + "</tbody></table>";
}

}  // namespace

PYBIND11_MODULE(udecomp, m)
{
    m.doc() = "Decomposes a unitary matrix of 2 to 5 qubits into a quantum circuit, checks it and draws it.";
    m.attr("__version__") = UDECOMP_VERSION;
    // Functions and methods carry their signatures in CPython's own docstring
    // form ("name(args)\n--\n\n"), so that inspect.signature and help() read them.
    py::options textSignatures;
    textSignatures.disable_function_signatures();
    // pybind11 looks numpy's array API up in function-local statics on the first
    // array made. Two threads making their first arrays at once deadlock there
    // (one holds the static's guard and waits for the GIL, the other holds the
    // GIL and waits for the guard), so the first array is made here, at import.
    (void)ComplexArray({1, 1});

    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const Refusal& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const ConversionError& e) {
            PyErr_SetString(PyExc_ValueError, e.what());
        } catch (const FileError& e) {
            // OSError(errno, text, file) is FileNotFoundError, IsADirectoryError, ... by its number.
            if (e.errorNumber() != 0) {
                const py::object error = py::reinterpret_borrow<py::object>(PyExc_OSError)(
                    e.errorNumber(), std::strerror(e.errorNumber()), e.fileName());
                PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(error.ptr())), error.ptr());
            } else {
                PyErr_SetString(PyExc_OSError, e.what());
            }
        }
    });

    py::class_<PyGate>(m, "Gate", "One gate: a 2 x 2 unitary on `target`, applied when every control qubit is 1.")
        .def_readonly("target", &PyGate::target, "Target qubit (1 = most significant).")
        .def_property_readonly(
            "controls", [](const PyGate& gate) { return py::tuple(py::cast(gate.controls)); },
            "Control qubits (1 = most significant).")
        .def_property_readonly(
            "matrix", [](const PyGate& gate) { return arrayOf(gate.u); },
            "The 2 x 2 matrix, exact, phase included; row and column 0 stand for target bit 0.")
        .def_property_readonly("name", &gateName,
                               "\"cx\" for a CNOT, \"u\" for a one-qubit gate, \"cu\", \"ccu\", ... for a controlled one.")
        .def_property_readonly(
            "qubits",
            [](const PyGate& gate) {
                std::vector<int> qubits = gate.controls;
                qubits.push_back(gate.target);
                return py::tuple(py::cast(qubits));
            },
            "The controls, then the target.")
        .def_property_readonly("params", &gateParams,
                               "() for a CNOT; else (theta, phi, lambda, gamma) with matrix = e^(i gamma) U(theta, phi, "
                               "lambda).")
        .def("__eq__", [](const PyGate& a, const PyGate& b) { return sameGate(a, b); }, py::is_operator())
        .def("__hash__", [](const PyGate& gate) { return py::hash(py::make_tuple(gate.target, py::tuple(py::cast(gate.controls)))); })
        .def("__repr__", &gateRepr);

    py::class_<PyCircuit>(m, "Circuit", "The circuit of one decomposition, with the run's checks and log.")
        .def_property_readonly(
            "gates",
            [](PyCircuit& circuit) { return gatesOf(circuit); }, "The gates in order, a tuple: gate 0 acts first.")
        .def("__iter__", [](PyCircuit& circuit) { return py::iter(gatesOf(circuit)); })
        .def("__getitem__", [](PyCircuit& circuit, const py::object& index) { return gatesOf(circuit)[index]; },
             "A gate, or a tuple of gates for a slice; negative numbers count from the end.")
        .def(
            "__eq__",
            [](PyCircuit& a, const py::object& other) {
                if (!py::isinstance<PyCircuit>(other))
                    return false;
                PyCircuit& b = other.cast<PyCircuit&>();
                return a.result->qubits == b.result->qubits && a.result->endStage == b.result->endStage &&
                       gatesOf(a).equal(gatesOf(b));
            },
            py::is_operator())
        .def("__hash__", [](const PyCircuit& circuit) { return py::hash(py::make_tuple(circuit.result->qubits, circuit.result->gateCount, circuit.result->cnotCount)); })
        .def("__len__", [](const PyCircuit& circuit) { return circuit.result->gateCount; })
        .def_property_readonly(
            "qubits", [](const PyCircuit& circuit) { return circuit.result->qubits; }, "The number of qubits.")
        .def_property_readonly(
            "end_stage",
            [](const PyCircuit& circuit) { return std::string(endStageOfBox(circuit.result->endStage).pythonName); },
            "The end stage of the run, by its name in decompose.")
        .def_property_readonly(
            "cnot_count", [](const PyCircuit& circuit) { return circuit.result->cnotCount; },
            "The CNOTs: gates with one control whose matrix is exactly pauliX.")
        .def_property_readonly(
            "counts_by_controls", [](const PyCircuit& circuit) { return circuit.result->countsByControls; },
            "[k] = the number of gates with k controls.")
        .def_property_readonly(
            "nearest_unitary_from",
            [](const PyCircuit& circuit) { return circuit.result->nearestUnitaryDefect; },
            "When the matrix was unitary only within the tolerance, how far (the largest entry of\n"
            "|A^dagger A - I|): its nearest unitary matrix was decomposed. None otherwise.")
        .def_property_readonly(
            "max_entry_difference", [](const PyCircuit& circuit) { return circuit.result->maxEntryDifference; },
            "Largest entry modulus of (matrix of the circuit - input); None when no circuit was built.")
        .def_property_readonly(
            "checks", [](const PyCircuit& circuit) { return checksDict(*circuit.result); },
            "Each check of the run: True passed, False failed, None not run.")
        .def_property_readonly(
            "stages", [](const PyCircuit& circuit) { return stagesList(*circuit.result); },
            "Each stage: name, seconds and, after a synthesis stage, its gate counts.")
        .def_property_readonly("log", [](const PyCircuit& circuit) { return circuit.result->log; },
                               "The lines of the message log, in order.")
        .def_property_readonly(
            "messages", [](const PyCircuit& circuit) { return messagesList(*circuit.result); },
            "The modal messages of the run: text, style and detail.")
        .def(
            "unitary", [](const PyCircuit& circuit) { return arrayOf(circuitMatrix(*circuit.result)); },
            "unitary(self)\n--\n\nThe matrix of the whole circuit, composed by the engine.")
        .def(
            "qasm3",
            [](const PyCircuit& circuit, const std::optional<std::vector<std::string>>& basis) {
                return qasmText(*circuit.result, basis, QasmVersion::v3);
            },
            py::arg("basis_gates") = py::none(),
            "qasm3(self, basis_gates=None)\n--\n\nOpenQASM 3 text, exact including the global phase (gphase). With basis_gates, such as\n"
            "[\"rz\", \"sx\", \"x\", \"cx\"], in that gate set.")
        .def(
            "qasm2",
            [](const PyCircuit& circuit, const std::optional<std::vector<std::string>>& basis) {
                return qasmText(*circuit.result, basis, QasmVersion::v2);
            },
            py::arg("basis_gates") = py::none(),
            "qasm2(self, basis_gates=None)\n--\n\nOpenQASM 2.0 text, equal up to a global phase; refused for gates with two or more controls.\n"
            "With basis_gates, such as [\"rz\", \"sx\", \"x\", \"cz\"], in that gate set.")
        .def(
            "operations",
            [](const PyCircuit& circuit, const std::vector<std::string>& basis) {
                const BasisCircuit inSet = inBasis(*circuit.result, basis);
                py::list operations;
                for (const BasisOperation& op : inSet.operations)
                    operations.append(py::make_tuple(op.name, py::tuple(py::cast(op.qubits)), py::tuple(py::cast(op.params))));
                return operations;
            },
            py::arg("basis_gates") = std::vector<std::string>{"u3", "cx"},
            "operations(self, basis_gates=('u3', 'cx'))\n--\n\nThe circuit in a standard gate set, (name, qubits, parameters) tuples with the qubits of\n"
            "Gate (1 = most significant), equal to the circuit up to a global phase; basis_gates is\n"
            "[\"u3\", \"cx\"], [\"rz\", \"sx\", \"x\", \"cx\"] or [\"rz\", \"sx\", \"x\", \"cz\"].")
        .def(
            "svg", [](const PyCircuit& circuit) { return circuitSvg(*circuit.result, INT_MAX); },
            "svg(self)\n--\n\nThe picture of the whole circuit as SVG.")
        .def("_repr_svg_",
             [](const PyCircuit& circuit) -> std::optional<std::string> {
                 // A notebook falls back to __repr__ when there is no picture to show.
                 try {
                     return circuitSvg(*circuit.result, notebookGateLimit);
                 } catch (const Refusal&) {
                     return std::nullopt;
                 }
             })
        .def(
            "save_mat", [](const PyCircuit& circuit, const py::object& path) {
                saveCircuitMatFile(*circuit.result, pathText(path));
            },
            py::arg("path"), "save_mat(self, path)\n--\n\nWrites the matrix and the report of the run as a *.mat file.")
        .def("__repr__", [](const PyCircuit& circuit) { return circuitRepr(*circuit.result); })
        .def(py::pickle([](const PyCircuit& circuit) { return circuitState(*circuit.result); },
                        [](const py::tuple& state) {
                            return PyCircuit{std::make_shared<const CircuitResult>(circuitFromState(state)),
                                             py::none()};
                        }));

    py::class_<PyComparison>(m, "Comparison",
                             "Every route to basic gates on one matrix, side by side, beside the lower bound of CNOTs.")
        .def_readonly("qubits", &PyComparison::qubits)
        .def_readonly("lower_bound", &PyComparison::lowerBound,
                      "CNOTs a generic matrix of this size needs at least: ceil((4^n - 3n - 1) / 4).")
        .def_readonly("rows", &PyComparison::rows,
                      "One dict per route: end_stage, gates, cnots, one_qubit_gates, depth, cnot_depth,\n"
                      "max_entry_difference, checks_passed, seconds (pandas.DataFrame(rows) reads them).")
        .def(
            "circuit",
            [](const PyComparison& c, const std::string& endStage) {
                for (const auto& [name, circuit] : c.circuits)
                    if (name == endStage)
                        return circuit;
                std::string names;
                for (const auto& entry : c.circuits)
                    names += (names.empty() ? "" : ", ") + entry.first;
                throw Refusal("The end stage '" + endStage + "' is not one of the compared " + names + ".");
            },
            py::arg("end_stage"), "circuit(self, end_stage)\n--\n\nThe circuit of that route, as the comparison made it.")
        .def("_repr_html_", &comparisonHtml)
        .def("__repr__", [](const PyComparison& c) {
            std::string routes;
            for (const auto& [name, circuit] : c.circuits)
                routes += (routes.empty() ? "" : ", ") + name + " " + std::to_string(circuit.result->cnotCount);
            return "<udecomp.Comparison: " + std::to_string(c.qubits) + " qubits, CNOTs " + routes +
                   ", lower bound " + std::to_string(c.lowerBound) + ">";
        });

    m.def("compare", &compareCall, py::arg("matrix"), py::arg("optimize").noconvert() = true,
          py::arg("self_check").noconvert() = false,
          "compare(matrix, optimize=True, self_check=False)\n--\n\n"
          "Runs every route to basic gates on a unitary (N, N) matrix, N = 4, 8, 16 or 32, and\n"
          "returns their figures side by side (a Comparison).");

    m.def("decompose", &decomposeCall, py::arg("matrix"), py::arg("end_stage") = "basic",
          py::arg("optimize").noconvert() = true, py::arg("self_check").noconvert() = false,
          "decompose(matrix, end_stage='basic', optimize=True, self_check=False)\n--\n\n"
          "Decomposes a unitary (N, N) matrix, N = 4, 8, 16 or 32, into a circuit.\n"
          "end_stage: \"basic\", \"l1\", \"toffoli\", \"shannon\" (basic gates with the fewest CNOTs),\n"
          "\"numerical\" (at the lower bound of CNOTs) or \"none\" (the window's untouched choice).");

    m.def(
        "random_unitary",
        [](long long qubits, std::optional<std::uint64_t> seed) {
            return arrayOf(withoutGil([&] { return randomMatrix(qubits, seed); }));
        },
        py::arg("qubits"), py::arg("seed") = py::none(),
        "random_unitary(qubits, seed=None)\n--\n\nA random unitary of 2 to 5 qubits; a seed makes it reproducible.");

    m.def(
        "import_qasm",
        [](const std::string& text) {
            return arrayOf(withoutGil([&] { return qasmMatrix(text); }));
        },
        py::arg("text"), "import_qasm(text)\n--\n\nThe unitary of an OpenQASM 2.0 or 3 program of 2 to 5 qubits.");

    m.def(
        "load_mat",
        [](const py::object& path) {
            const std::string name = pathText(path);
            // A slow file system must not stop the other threads.
            return arrayOf(withoutGil([&] { return matFileMatrix(name); }));
        },
        py::arg("path"), "load_mat(path)\n--\n\nThe matrix of a *.mat file.");
}
