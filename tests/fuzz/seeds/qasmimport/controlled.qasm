OPENQASM 2.0;
include "qelib1.inc";
qreg q[3];
cy q[0], q[1];
h q[2];
cz q[1], q[2];
ch q[2], q[0];
crz (0.8) q[0], q[2];
cu1 (-1.3) q[2], q[1];
