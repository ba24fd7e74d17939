// Writes circuits with the npm package quantum-circuit: each as the OpenQASM 2.0 it
// exports (NAME.qasm) and the matrix it computes (NAME.matrix: the size, then one row
// per line as re im pairs), with wire 0 as the most significant bit ("big" endianness).
// Run once: npm install quantum-circuit && node generate.js; the files are committed.
const fs = require("fs");
const QuantumCircuit = require("quantum-circuit");

const circuits = {
    bell: [2, [["h", 0], ["cx", [0, 1]]]],
    paulis: [2, [["x", 0], ["y", 1], ["z", 0], ["s", 1], ["t", 0], ["sdg", 1], ["tdg", 0]]],
    rotations: [2, [["rx", 0, {theta: "0.3"}], ["ry", 1, {theta: "-1.1"}], ["rz", 0, {phi: "2.5"}],
                    ["cx", [1, 0]], ["u1", 1, {lambda: "0.7"}]]],
    u: [2, [["u3", 0, {theta: "0.3", phi: "-1.1", lambda: "2.5"}], ["u2", 1, {phi: "0.4", lambda: "-0.9"}],
            ["cx", [0, 1]], ["u3", 1, {theta: "1.9", phi: "0.2", lambda: "-0.6"}]]],
    controlled: [3, [["h", 2], ["cy", [0, 1]], ["cz", [1, 2]], ["ch", [2, 0]], ["crz", [0, 2], {phi: "0.8"}],
                     ["cu1", [2, 1], {lambda: "-1.3"}]]],
    cu3: [2, [["h", 0], ["cu3", [0, 1], {theta: "0.3", phi: "-1.1", lambda: "2.5"}], ["h", 1]]],
    swaps: [3, [["h", 0], ["t", 1], ["swap", [0, 2]], ["ccx", [2, 1, 0]], ["cswap", [0, 1, 2]], ["rx", 1, {theta: "0.5"}]]],
    wide: [5, [["h", 0], ["cx", [0, 4]], ["ry", 3, {theta: "1.2"}], ["ccx", [3, 4, 1]], ["rz", 2, {phi: "-0.4"}],
               ["cx", [2, 3]], ["u3", 4, {theta: "2.1", phi: "0.3", lambda: "1.4"}], ["swap", [1, 2]]]],
};

for (const [name, [qubits, gates]] of Object.entries(circuits)) {
    const circuit = new QuantumCircuit(qubits);
    for (const [gate, wires, params] of gates)
        circuit.appendGate(gate, wires, params ? {params: params} : {});
    fs.writeFileSync(name + ".qasm", circuit.exportToQASM({}, false));
    const m = circuit.circuitMatrix("big");
    const rows = m.map((row) => row.map((z) => {
        const re = typeof z === "number" ? z : z.re;
        const im = typeof z === "number" ? 0 : z.im;
        return re.toPrecision(17) + " " + im.toPrecision(17);
    }).join(" "));
    fs.writeFileSync(name + ".matrix", m.length + "\n" + rows.join("\n") + "\n");
}
