OPENQASM 3;
include "stdgates.inc";
qubit[2] q;
h q[0];
