// The unitary of an OpenQASM 2.0 program as the npm package quantum-circuit
// reads and simulates it: the state after a run from each basis state, as
// JSON columns of [re, im] pairs, in the package's own index order (bit k of
// the index is its qubit k).
const QuantumCircuit = require("quantum-circuit");

const text = require("fs").readFileSync(0, "utf8");
const circuit = new QuantumCircuit();
circuit.importQASM(text, (errors) => {
    if (errors.length > 0) {
        console.error(JSON.stringify(errors));
        process.exit(2);
    }
});
const size = 1 << circuit.numQubits;
const columns = [];
for (let b = 0; b < size; b++) {
    const start = new Array(size).fill(0);
    start[b] = 1;
    circuit.run(null, { initialState: start });
    const column = [];
    for (let i = 0; i < size; i++) {
        const a = circuit.state[i + ""];
        column.push(a ? [a.re, a.im] : [0, 0]);
    }
    columns.push(column);
}
console.log(JSON.stringify(columns));
