// Circuit of 23 gates on 2 qubits; gate 1 acts first.
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
u3(0, -0.10878675298759011, 0) q[1];  // gphase(0.054393376493795054)
cx q[0],q[1];
u3(0.81980611510489187, 0, -3.0328059006022032) q[1];  // gphase(1.5164029503011016)
cx q[0],q[1];
u3(2.3217865384849015, 0.069590763284364865, 0) q[1];  // gphase(-2.1352851997422988)
u3(0.34879237143980657, -2.0822056709793531, 1.1316054413565044) q[0];  // gphase(-3.1233085064690309)
cx q[1],q[0];
u3(1.3964001410749938, 0, 1.0593869826104396) q[0];  // gphase(-0.52969349130521981)
cx q[1],q[0];
u3(1.3964001410749938, -1.5626770713554456, 3.1415926535897931) q[0];  // gphase(-0.2249689181697716)
cx q[0],q[1];
u3(0.4370594643610346, 0, 1.1480703708702096) q[1];  // gphase(-0.57403518543510479)
cx q[0],q[1];
u3(0.072295373163416721, -0.24647950760118631, -4.4408920985006262e-16) q[1];  // gphase(1.8398679229931945)
cx q[1],q[0];
u3(0.60252568327430212, 0, 0.57288085202937067) q[0];  // gphase(-0.28644042601468533)
cx q[1],q[0];
u3(2.5390669703154911, -2.6544093457000737, 0) q[0];  // gphase(3.1415926535897931)
cx q[0],q[1];
u3(0.19987531743107759, 1.1102230246251565e-16, 1.7422075843266049) q[1];  // gphase(-0.87110379216330247)
cx q[0],q[1];
u3(3.1415926535897931, 0, 3.1415926535897931) q[0];  // gphase(0)
u3(2.9417173361587157, 2.8094704653900728, -4.4408920985006262e-16) q[1];  // gphase(3.0214066213586208)
