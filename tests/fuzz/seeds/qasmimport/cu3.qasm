OPENQASM 2.0;
include "qelib1.inc";
qreg q[2];
h q[0];
cu3 (0.3, -1.1, 2.5) q[0], q[1];
h q[1];
