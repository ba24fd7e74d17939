OPENQASM 3.0;
include "stdgates.inc";
/* registers are concatenated */
qubit[2] q;
qubit r;
gate g(x, y) a, b { rz(x) a; cx a, b; ry(2 * y ^ 2) b; gphase(-x / 3); }
ctrl @ g(pi / 4, sqrt(2)) r, q[0], q[1];
negctrl(2) @ inv @ sx q[0], q[1], r;
pow(-2) @ cu(0.1, 0.2, 0.3, 0.4) q[1], r;
inv @ pow(3) @ g(ln(2), exp(-1)) q[1], q[0];
ctrl(2) @ gphase(cos(0.5)) q[0], r;
swap q[0], r; cswap r, q[1], q[0];
