// Circuit of 11 gates on 2 qubits; gate 1 acts first.
// Qubit k of the circuit is q[k-1]. Basis state b (1..4) has b - 1 = sum of bit(k) * 2^(2-k),
// so qubit 1, q[0], is the most significant bit.
// u3, cx, u1, cu1 and cu3 of qelib1.inc. A controlled gate u = e^(i gamma) U(theta, phi, lambda)
// is written as cu3(theta, -lambda, lambda), cu1(phi+lambda) and u1(gamma) on the control.
// Its cu3 has phi + lambda = 0, so it means the same in tools that read cu3 as the body in
// qelib1.inc and in tools that read it as the controlled U below. OpenQASM 2.0 has no global
// phase: the phase gamma of an uncontrolled gate u3 follows it as a comment, with
// U = [[cos(theta/2), -e^(i lambda) sin(theta/2)], [e^(i phi) sin(theta/2), e^(i(phi+lambda)) cos(theta/2)]].
OPENQASM 2.0;
include "qelib1.inc";
qreg q[2];
cu3(0.55872590491328167, 0.8123164756513539, -0.8123164756513539) q[0],q[1];
cu1(-0.8123164756513539) q[0],q[1];
u1(-2.3292761779384388) q[0];
u3(3.1415926535897931, 0, 3.1415926535897931) q[1];  // gphase(0)
u3(0.71145643098561906, 0, -1.8628769198578432) q[0];  // gphase(-1.2787157337319495)
cu3(2.4301362226041743, 0, 0) q[1],q[0];
cu1(1.2787157337319495) q[1],q[0];
cu3(2.1003692889418981, 1.0600967340119458, -1.0600967340119458) q[0],q[1];
cu1(1.1303605137945574) q[0],q[1];
u1(0.95113540578328992) q[0];
u3(0.8413586884633607, 0, 0.95113540578328992) q[1];  // gphase(2.1904572478065032)
cu3(0.82402026821286523, 1.4813666288290157, -1.4813666288290157) q[1],q[0];
cu1(1.6602260247607774) q[1],q[0];
u3(3.1415926535897931, 0, 3.1415926535897931) q[0];  // gphase(0)
cu3(0.45857774441496846, 0.80665915768436358, -0.80665915768436358) q[0],q[1];
cu1(-0.70791552826515225) q[0],q[1];
u1(0.10448917713887623) q[0];
u3(3.1415926535897931, 0, 3.1415926535897931) q[0];  // gphase(0)
u3(3.1415926535897931, 0, -1.5931834860734813) q[1];  // gphase(2.9707690022962066)
