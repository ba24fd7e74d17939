OPENQASM 3;
qubit[2] q;
barrier ))((garbage;
gate g a { nope a; }
gate h(t) a { U(1/(1/0), t, 0) a; }
U(1/(1/0), 0, 0) q[0];
