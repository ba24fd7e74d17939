OPENQASM 2.0;
include "qelib1.inc";
qreg q[2];
u3 (0.3, -1.1, 2.5) q[0];
u2 (0.4, -0.9) q[1];
cx q[0], q[1];
u3 (1.9, 0.2, -0.6) q[1];
