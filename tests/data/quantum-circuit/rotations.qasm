OPENQASM 2.0;
include "qelib1.inc";
qreg q[2];
rx (0.3) q[0];
ry (-1.1) q[1];
rz (2.5) q[0];
cx q[1], q[0];
u1 (0.7) q[1];
