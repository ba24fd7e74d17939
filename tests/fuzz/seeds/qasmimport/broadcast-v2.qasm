OPENQASM 2.0;
include "qelib1.inc";
qreg a[2];
qreg b[2];
gate foo(t) x, y { crz(t) x, y; rxx(t / 2) x, y; barrier x, y; }
h a;
cx a, b;
foo(-pi^2 / 7) a[1], b[0];
rc3x a[0], a[1], b[0], b[1];
c3sqrtx b[1], a[0], a[1], b[0];
barrier a, b;
