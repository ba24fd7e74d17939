#include "interchange/qasm/gatelibrary.h"

const std::string_view qelib1Gates = R"(
gate u3(theta,phi,lambda) q { U(theta,phi,lambda) q; }
gate u2(phi,lambda) q { U(pi/2,phi,lambda) q; }
gate u1(lambda) q { U(0,0,lambda) q; }
gate cx c,t { CX c,t; }
gate id a { U(0,0,0) a; }
gate u0(gamma) q { U(0,0,0) q; }
gate u(theta,phi,lambda) q { U(theta,phi,lambda) q; }
gate p(lambda) q { U(0,0,lambda) q; }
gate x a { u3(pi,0,pi) a; }
gate y a { u3(pi,pi/2,pi/2) a; }
gate z a { u1(pi) a; }
gate h a { u2(0,pi) a; }
gate s a { u1(pi/2) a; }
gate sdg a { u1(-pi/2) a; }
gate t a { u1(pi/4) a; }
gate tdg a { u1(-pi/4) a; }
gate rx(theta) a { u3(theta,-pi/2,pi/2) a; }
gate ry(theta) a { u3(theta,0,0) a; }
gate rz(phi) a { u1(phi) a; }
gate sx a { sdg a; h a; sdg a; }
gate sxdg a { s a; h a; s a; }
gate cz a,b { h b; cx a,b; h b; }
gate cy a,b { sdg b; cx a,b; s b; }
gate swap a,b { cx a,b; cx b,a; cx a,b; }
gate ch a,b { ctrl @ h a,b; }
gate ccx a,b,c { ctrl(2) @ x a,b,c; }
gate cswap a,b,c { cx c,b; ccx a,b,c; cx c,b; }
gate crx(lambda) a,b { ctrl @ rx(lambda) a,b; }
gate cry(lambda) a,b { ry(lambda/2) b; cx a,b; ry(-lambda/2) b; cx a,b; }
gate crz(lambda) a,b { u1(lambda/2) b; cx a,b; u1(-lambda/2) b; cx a,b; }
gate cu1(lambda) a,b { u1(lambda/2) a; cx a,b; u1(-lambda/2) b; cx a,b; u1(lambda/2) b; }
gate cp(lambda) a,b { p(lambda/2) a; cx a,b; p(-lambda/2) b; cx a,b; p(lambda/2) b; }
gate cu3(theta,phi,lambda) c,t { ctrl @ U(theta,phi,lambda) c,t; }
gate csx a,b { h b; cu1(pi/2) a,b; h b; }
gate cu(theta,phi,lambda,gamma) c,t { p(gamma) c; ctrl @ U(theta,phi,lambda) c,t; }
gate rxx(theta) a,b { u3(pi/2,theta,0) a; h b; cx a,b; u1(-theta) b; cx a,b; h b; u2(-pi,pi-theta) a; }
gate rzz(theta) a,b { cx a,b; u1(theta) b; cx a,b; }
gate rccx a,b,c { u2(0,pi) c; u1(pi/4) c; cx b,c; u1(-pi/4) c; cx a,c; u1(pi/4) c; cx b,c; u1(-pi/4) c; u2(0,pi) c; }
gate rc3x a,b,c,d {
  u2(0,pi) d; u1(pi/4) d; cx c,d; u1(-pi/4) d; u2(0,pi) d; cx a,d; u1(pi/4) d; cx b,d; u1(-pi/4) d;
  cx a,d; u1(pi/4) d; cx b,d; u1(-pi/4) d; u2(0,pi) d; u1(pi/4) d; cx c,d; u1(-pi/4) d; u2(0,pi) d;
}
gate c3x a,b,c,d { ctrl(3) @ x a,b,c,d; }
gate c3sqrtx a,b,c,d { ctrl(3) @ gphase(pi/4) a,b,c; ctrl(3) @ U(pi/2,-pi/2,pi/2) a,b,c,d; }
gate c4x a,b,c,d,e { ctrl(4) @ x a,b,c,d,e; }
)";

const std::string_view stdGates = R"(
gate p(λ) a { ctrl @ gphase(λ) a; }
gate x a { U(π, 0, π) a; }
gate y a { U(π, π/2, π/2) a; }
gate z a { p(π) a; }
gate h a { U(π/2, 0, π) a; }
gate s a { p(π/2) a; }
gate sdg a { p(-π/2) a; }
gate t a { p(π/4) a; }
gate tdg a { p(-π/4) a; }
gate sx a { gphase(π/4); U(π/2, -π/2, π/2) a; }
gate rx(θ) a { U(θ, -π/2, π/2) a; }
gate ry(θ) a { U(θ, 0, 0) a; }
gate rz(λ) a { gphase(-λ/2); U(0, 0, λ) a; }
gate cx c, t { ctrl @ x c, t; }
gate cy a, b { ctrl @ y a, b; }
gate cz a, b { ctrl @ z a, b; }
gate cp(λ) a, b { ctrl @ p(λ) a, b; }
gate crx(θ) a, b { ctrl @ rx(θ) a, b; }
gate cry(θ) a, b { ctrl @ ry(θ) a, b; }
gate crz(θ) a, b { ctrl @ rz(θ) a, b; }
gate ch a, b { ctrl @ h a, b; }
gate swap a, b { cx a, b; cx b, a; cx a, b; }
gate ccx a, b, c { ctrl @ ctrl @ x a, b, c; }
gate cswap a, b, c { ctrl @ swap a, b, c; }
gate cu(θ, φ, λ, γ) a, b { p(γ) a; ctrl @ U(θ, φ, λ) a, b; }
gate phase(λ) q { U(0, 0, λ) q; }
gate cphase(λ) a, b { ctrl @ phase(λ) a, b; }
gate id a { U(0, 0, 0) a; }
gate u1(λ) q { U(0, 0, λ) q; }
gate u2(φ, λ) q { gphase(-(φ+λ)/2); U(π/2, φ, λ) q; }
gate u3(θ, φ, λ) q { gphase(-(φ+λ)/2); U(θ, φ, λ) q; }
)";
