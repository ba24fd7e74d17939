OPENQASM 3;
qubit[2] q;
gphase(1e308); gphase(1e308);
U(1, 1e308, 1e308) q[0];
U(0.8, 1e12, 0.3) q[1];
