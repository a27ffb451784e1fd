// Qij, the Neville sweep and main's own output, run through the program's
// own source compiled with the program's own floating-point flags.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

double Qij(double t, double x_lo, double x_hi, double q_hi, double q_lo);
int inverse_neville_main(int argc, char *argv[]);

namespace {

// What main hands to printf, while a test listens: the double (each of the
// program's formats converts exactly one) and the text it makes.
struct Call {
	double value;
	std::string text;
};
bool listening = false;
std::vector<Call> calls;

// clang-tidy 14's analyzer takes every va_list here for uninitialised,
// even right after va_start; the reserved names are the ones --wrap asks for.
// NOLINTBEGIN(clang-analyzer-valist.Uninitialized,bugprone-reserved-identifier,cert-dcl51-cpp)
int record(char const *format, va_list args)
{
	va_list copy;
	va_copy(copy, args);
	char text[256];
	int const n = std::vsnprintf(text, sizeof text, format, copy);
	va_end(copy);
	calls.push_back({va_arg(args, double), n < 0 ? "" : text});
	return n;
}

} // namespace

// The linker routes the program's printf here when the test is linked with
// --wrap: glibc's printf, or __printf_chk where fortify rewrites the call,
// or what MinGW-w64's inline printf calls.  Everything else passes through.
extern "C" int __wrap_printf(char const *format, ...)
{
	va_list args;
	va_start(args, format);
	int const n = listening ? record(format, args) : std::vprintf(format, args);
	va_end(args);
	return n;
}

extern "C" int __wrap___printf_chk(int /*flag*/, char const *format, ...)
{
	va_list args;
	va_start(args, format);
	int const n = listening ? record(format, args) : std::vprintf(format, args);
	va_end(args);
	return n;
}

#if defined(__MINGW32__)
extern "C" int __real___mingw_vfprintf(FILE *stream, char const *format, va_list args);
extern "C" int __wrap___mingw_vfprintf(FILE *stream, char const *format, va_list args)
{
	return listening && stream == stdout ? record(format, args) : __real___mingw_vfprintf(stream, format, args);
}
#endif
// NOLINTEND(clang-analyzer-valist.Uninitialized,bugprone-reserved-identifier,cert-dcl51-cpp)

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
	if (std::snprintf(buf, sizeof buf, "%016llX (%.17g)", static_cast<unsigned long long>(bits(d)), d) < 0) {
		return "?";
	}
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
	// Known in closed form, away from t = 0: the line through x_lo and x_hi
	// at t is t itself for f(x) = x, and for f(x) = x^2 the lines through
	// (x_lo, x_mid) and (x_mid, x_hi) at t are (x_lo + x_mid) t - x_lo x_mid
	// and (x_mid + x_hi) t - x_mid x_hi, which Qij combines into t^2.  The
	// values are small binary fractions, so every operation is exact and
	// the expected value is exactly t or t * t.
	struct Case {
		double t, x_lo, x_mid, x_hi;
	} const cases[] = {
		{0.5, 1.0, 2.0, 3.0},   {2.5, 1.0, 2.0, 3.0},     {-1.25, 0.5, 0.75, 2.0},
		{3.0, -2.0, 0.25, 1.5}, {0.375, 0.375, 1.0, 4.0}, {-0.5, -4.0, -1.0, -0.25},
	};
	for (Case const &c : cases) {
		EXPECT_EQ(Qij(c.t, c.x_lo, c.x_hi, c.x_hi, c.x_lo), c.t) << "f(x) = x, t " << c.t;
		double const q_hi = (c.x_mid + c.x_hi) * c.t - c.x_mid * c.x_hi;
		double const q_lo = (c.x_lo + c.x_mid) * c.t - c.x_lo * c.x_mid;
		EXPECT_EQ(Qij(c.t, c.x_lo, c.x_hi, q_hi, q_lo), c.t * c.t) << "f(x) = x^2, t " << c.t;
	}
}

TEST(Qij, RoundedAfterEachOperation)
{
	// Inexact inputs away from t = 0, where the order of the operations
	// shows: each expected value is the exact rational result rounded to
	// double after every operation, in Qij's order (tests/verify_root.py
	// recomputes it so).  Distributing either product, fusing one into a
	// multiply-add or dividing by a reciprocal changes each of them.
	struct Case {
		double t, x_lo, x_hi, q_hi, q_lo;
		std::uint64_t expect;
	} const cases[] = {
		{-0.2, 0.1, 0.9, 1.3, -1.03, 0xBFFE75C28F5C28F7},
		{2.5, 0.3, 1.7, 0.8065, 1.85, 0x3FCAE84D3D25BDE2},
		{0.001, 0.2488116360940264, -0.29880578808779784, 1.5, -1.1947, 0x3F995156564D0A51},
	};
	for (Case const &c : cases) {
		double const got = Qij(c.t, c.x_lo, c.x_hi, c.q_hi, c.q_lo);
		EXPECT_EQ(hex(got), hex(from_bits(c.expect))) << "t " << c.t << ", x_lo " << c.x_lo;
	}
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
	for (int k = 0; k < 4; ++k) {
		Q[k][0] = from_bits(x_bits[k]);
	}
	for (Entry const &e : entries) {
		Q[e.i][e.j] = Qij(0.0, from_bits(y_bits[e.i - e.j]), from_bits(y_bits[e.i]), Q[e.i][e.j - 1],
				  Q[e.i - 1][e.j - 1]);
		EXPECT_EQ(hex(Q[e.i][e.j]), hex(from_bits(e.expect))) << "Q[" << e.i << "][" << e.j << "]";
	}
}

TEST(Program, PrintsItsOwnRootAndResidual)
{
	// main's own p and r, as it hands them to printf: the printed 15
	// decimals cannot show an ulp of p, the double can.  r may come from
	// either double next to the exact e^(-2p) (an exp within one ulp), of
	// which the correctly rounded one is 0x3FDB4880ABC7193D.
	std::uint64_t const p_bits = 0x3FDB4897D7021DDD;
	std::uint64_t const exp_bits[2] = {0x3FDB4880ABC7193C, 0x3FDB4880ABC7193D};

	calls.clear();
	char name[] = "inverse_neville";
	char *argv[] = {name, nullptr};
	listening = true;
	int const status = inverse_neville_main(1, argv);
	listening = false;
	if (calls.empty()) {
		GTEST_SKIP() << "printf cannot be interposed here (no --wrap, or a printf it does not reach)";
	}
	EXPECT_EQ(status, 0);
	ASSERT_EQ(calls.size(), 2U);
	double const p = calls[0].value;
	double const r = calls[1].value;
	EXPECT_EQ(hex(p), hex(from_bits(p_bits)));
	double const p_exact = from_bits(p_bits);
	EXPECT_TRUE(r == from_bits(exp_bits[0]) - p_exact || r == from_bits(exp_bits[1]) - p_exact) << hex(r);
	EXPECT_EQ(calls[0].text + calls[1].text,
		  "p=0.426305732697498 is the approximated root\nexp(-2*p)-p=-0.000005523888897\n");
}

} // namespace
