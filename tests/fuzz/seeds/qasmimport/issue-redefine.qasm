OPENQASM 3;
include "stdgates.inc";
qubit[2] q;
gate h a { U(0,0,0) a; }
h q[0];
