OPENQASM 3;
qubit[2] q;
U​(0,0,0) q[0];
U (0,0,0) q[1];
