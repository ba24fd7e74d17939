OPENQASM 3;
include "stdgates.inc";
qubit[3] q;
gphase(pi/3) q;
ctrl @ gphase(pi/5) q;
