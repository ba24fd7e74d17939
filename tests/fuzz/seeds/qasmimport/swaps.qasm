OPENQASM 2.0;
include "qelib1.inc";
qreg q[3];
h q[0];
t q[1];
swap q[0], q[2];
ccx q[2], q[1], q[0];
cswap q[0], q[1], q[2];
rx (0.5) q[1];
