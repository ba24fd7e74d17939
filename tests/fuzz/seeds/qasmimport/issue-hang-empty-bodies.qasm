OPENQASM 3;
qubit[2] q;
gate g0 a { }
gate g1 a { pow(1000) @ g0 a; }
gate g2 a { pow(1000) @ g1 a; }
gate g3 a { pow(1000) @ g2 a; }
gate g4 a { pow(1000) @ g3 a; }
g4 q[0];
