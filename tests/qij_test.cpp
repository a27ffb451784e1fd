// Qij and the Neville sweep, run through the object code the program
// ships: its own source, compiled with its own floating-point flags.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

double Qij(double t, double x_lo, double x_hi, double q_hi, double q_lo);

namespace {

std::uint64_t bits(double d)
{
	std::uint64_t u = 0;
	std::memcpy(&u, &d, sizeof u);
	return u;
}

double from_bits(std::uint64_t u)
{
	double d = 0;
	std::memcpy(&d, &u, sizeof d);
	return d;
}

std::string hex(double d)
{
	char buf[64];
	std::snprintf(buf, sizeof buf, "%016llX (%.17g)", static_cast<unsigned long long>(bits(d)), d);
	return buf;
}

// The interpolation data: y_k = f(x_k) and the nodes x_k.
std::uint64_t const y_bits[4] = {0x3FCFD90F47F1AD26, 0x3FA941A55F420F70, 0xBFC0E95393A62190, 0xBFD31FA24FEC5387};
std::uint64_t const x_bits[4] = {0x3FD3333333333333, 0x3FD999999999999A, 0x3FE0000000000000, 0x3FE3333333333333};

TEST(Qij, ZeroPointIsTheCrossProduct)
{
	// At t = 0 both differences are exact negations, so Qij equals
	// (x_hi * q_lo - x_lo * q_hi) / (x_hi - x_lo), operation by operation.
	// Swapped arguments or a reordered numerator break this.
	struct Case {
		double x_lo, x_hi, q_hi, q_lo;
	} const cases[] = {
		{0.2488116360940264, 0.04932896411722154, 0.4, 0.3},
		{0.04932896411722154, -0.13212055882855767, 0.5, 0.4},
		{-0.13212055882855767, -0.29880578808779784, 0.6, 0.5},
		{0.2488116360940264, -0.29880578808779784, 0.42627218266657063, 0.4263336693654574},
		{1.0, 3.0, -7.25, 2.5e300},
		{-1e-300, 5e-301, 3.0, -4.0},
		{0.1, 0.7, 0.3, 0.9},
	};
	for (Case const &c : cases) {
		double const num = c.x_hi * c.q_lo - c.x_lo * c.q_hi;
		double const expect = num / (c.x_hi - c.x_lo);
		double const got = Qij(0.0, c.x_lo, c.x_hi, c.q_hi, c.q_lo);
		EXPECT_EQ(hex(got), hex(expect)) << "x_lo " << c.x_lo << ", x_hi " << c.x_hi;
	}
}

TEST(Qij, OrdinaryInterpolation)
{
	// Not only at t = 0: the line through (1, 10) and (3, 30) at t = 2 is
	// 20, and at t = 5 it is 50; a line is reproduced exactly.
	EXPECT_EQ(Qij(2.0, 1.0, 3.0, 30.0, 10.0), 20.0);
	EXPECT_EQ(Qij(5.0, 1.0, 3.0, 30.0, 10.0), 50.0);
	EXPECT_EQ(Qij(1.0, 1.0, 3.0, 30.0, 10.0), 10.0);
}

TEST(Qij, EqualAbscissaeGiveIeeeDefaults)
{
	// Denominator zero: an infinity of the numerator's sign, NaN for 0/0.
	double const inf = HUGE_VAL;
	struct Case {
		double x, q_hi, q_lo, expect;
	} const cases[] = {
		{0.5, 1.0, 2.0, inf},   // numerator -0.5 + 1.0 > 0
		{0.5, 2.0, 1.0, -inf},  // numerator -1.0 + 0.5 < 0
		{-0.5, 1.0, 2.0, -inf}, // numerator 0.5 - 1.0 < 0
	};
	for (auto const &c : cases) {
		double const got = Qij(0.0, c.x, c.x, c.q_hi, c.q_lo);
		EXPECT_EQ(got, c.expect) << hex(got);
	}
	EXPECT_TRUE(std::isnan(Qij(0.0, 0.5, 0.5, 1.0, 1.0)));
	EXPECT_TRUE(std::isnan(Qij(0.0, 0.0, 0.0, 1.0, 2.0)));
	EXPECT_TRUE(std::isnan(Qij(0.0, 0.5, 0.5, std::nan(""), 1.0)));
}

TEST(Sweep, EveryEntryBitForBit)
{
	// The program's sweep at y = 0, in its order; a lost -ffp-contract=off
	// or any reordering shows here as an entry off by an ulp.  The first
	// entry is the zero of the line through (y_0, 0.3) and (y_1, 0.4).
	struct Entry {
		int i, j;
		std::uint64_t expect;
	} const entries[] = {
		{1, 1, 0x3FDB2EC037EF5620}, {2, 1, 0x3FDB57042C1D6765}, {2, 2, 0x3FDB490D03C6EEA9},
		{3, 1, 0x3FDAED58C11DD653}, {3, 2, 0x3FDB480B1EEFD65E}, {3, 3, 0x3FDB4897D7021DDD},
	};
	double Q[4][4] = {};
	for (int k = 0; k < 4; ++k)
		Q[k][0] = from_bits(x_bits[k]);
	for (Entry const &e : entries) {
		Q[e.i][e.j] = Qij(0.0, from_bits(y_bits[e.i - e.j]), from_bits(y_bits[e.i]), Q[e.i][e.j - 1],
				  Q[e.i - 1][e.j - 1]);
		EXPECT_EQ(hex(Q[e.i][e.j]), hex(from_bits(e.expect))) << "Q[" << e.i << "][" << e.j << "]";
	}
}

} // namespace
