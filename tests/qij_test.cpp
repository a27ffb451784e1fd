// Qij, the Neville sweep and main's own output, run through the program's
// own source compiled with the program's own floating-point flags; the
// expected values are those of tests/recorded.tsv.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
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

// recorded_name and recorded_text: the table's name and text, which the
// build writes in here (the tests also run where no file can be opened).
#include "recorded.inc"

// The table's rows, as its header describes them.
struct Node {
	std::uint64_t x, y;
};
struct Entry {
	std::size_t i, j;
	std::uint64_t expect;
};
struct QijCase {
	double t, x_lo, x_hi, q_hi, q_lo;
	std::uint64_t expect;
};
struct Recorded {
	std::vector<std::string> lines;
	std::vector<Node> nodes;
	std::vector<Entry> entries;
	std::vector<QijCase> qij;
	std::vector<std::uint64_t> exp, root;
	std::string error; // why the table cannot be read; empty if it can
};

// The program's order of the tableau's entries.
std::size_t const sweep_order[6][2] = {{1, 1}, {2, 1}, {2, 2}, {3, 1}, {3, 2}, {3, 3}};

bool read_digit(std::string const &field, std::size_t &value)
{
	bool const ok = field.size() == 1 && field[0] >= '0' && field[0] <= '9';
	value = ok ? static_cast<std::size_t>(field[0] - '0') : 0;
	return ok;
}

bool read_bits(std::string const &field, std::uint64_t &value)
{
	if (field.size() != 16 || field.find_first_not_of("0123456789ABCDEF") != std::string::npos) {
		return false;
	}
	value = std::strtoull(field.c_str(), nullptr, 16);
	return true;
}

// A finite decimal number, the whole field of it (no hexadecimal floats,
// infinities or NaNs, which strtod would read too).
bool read_decimal(std::string const &field, double &value)
{
	if (field.empty() || field.find_first_not_of("0123456789+-.eE") != std::string::npos) {
		return false;
	}
	char *end = nullptr;
	value = std::strtod(field.c_str(), &end);
	return end == field.c_str() + field.size() && std::isfinite(value);
}

// One row, split at its tabs, into the table: false if it is not of a kind
// the header names, in its shape.
bool read_row(std::vector<std::string> const &f, Recorded &r)
{
	std::string const &kind = f[0];
	if (kind == "line" && f.size() == 2 && !f[1].empty()) {
		r.lines.push_back(f[1]);
		return true;
	}
	if (kind == "node" && f.size() == 4) {
		Node n{};
		std::size_t k = 0;
		bool const ok =
			read_digit(f[1], k) && k == r.nodes.size() && read_bits(f[2], n.x) && read_bits(f[3], n.y);
		if (ok) {
			r.nodes.push_back(n);
		}
		return ok;
	}
	if (kind == "entry" && f.size() == 4 && r.entries.size() < 6) {
		Entry e{};
		std::size_t const *want = sweep_order[r.entries.size()];
		bool const ok = read_digit(f[1], e.i) && read_digit(f[2], e.j) && e.i == want[0] && e.j == want[1] &&
				read_bits(f[3], e.expect);
		if (ok) {
			r.entries.push_back(e);
		}
		return ok;
	}
	if (kind == "qij" && f.size() == 7) {
		QijCase c{};
		bool const ok = read_decimal(f[1], c.t) && read_decimal(f[2], c.x_lo) && read_decimal(f[3], c.x_hi) &&
				read_decimal(f[4], c.q_hi) && read_decimal(f[5], c.q_lo) && read_bits(f[6], c.expect);
		if (ok) {
			r.qij.push_back(c);
		}
		return ok;
	}
	if ((kind == "exp" || kind == "root") && f.size() == 2) {
		std::uint64_t b = 0;
		bool const ok = read_bits(f[1], b);
		if (ok) {
			(kind == "exp" ? r.exp : r.root).push_back(b);
		}
		return ok;
	}
	return false;
}

Recorded read_recorded()
{
	Recorded r;
	std::string const text = recorded_text;
	std::size_t number = 0;
	for (std::size_t at = 0; at < text.size() && r.error.empty();) {
		std::size_t const end = std::min(text.find('\n', at), text.size());
		std::string row = text.substr(at, end - at);
		at = end + 1;
		++number;
		if (!row.empty() && row.back() == '\r') {
			row.pop_back();
		}
		if (row.empty() || row[0] == '#') {
			continue;
		}
		std::vector<std::string> fields;
		for (std::size_t from = 0;;) {
			std::size_t const tab = row.find('\t', from);
			fields.push_back(row.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
			if (tab == std::string::npos) {
				break;
			}
			from = tab + 1;
		}
		if (!read_row(fields, r)) {
			r.error = std::string(recorded_name) + ":" + std::to_string(number) +
				  ": not a row of the shape the file's header describes: " + row;
		}
	}
	struct Count {
		char const *kind;
		std::size_t rows, want;
	} const counts[] = {{"line", r.lines.size(), 2},    {"node", r.nodes.size(), 4},
			    {"entry", r.entries.size(), 6}, {"qij", std::min(r.qij.size(), std::size_t{1}), 1},
			    {"exp", r.exp.size(), 2},       {"root", r.root.size(), 1}};
	for (Count const &c : counts) {
		if (r.error.empty() && c.rows != c.want) {
			r.error = std::string(recorded_name) + ": " + std::to_string(c.rows) + " " + c.kind +
				  " rows, not " +
				  (c.kind == std::string("qij") ? "one or more" : std::to_string(c.want));
		}
	}
	return r;
}

Recorded const &recorded()
{
	static Recorded const r = read_recorded();
	return r;
}

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
	// The table's cases: the sweep's first step, and inexact inputs away
	// from t = 0, where the order of the operations shows.  Each expected
	// value is the exact rational result rounded to double after every
	// operation, in Qij's order (tests/verify_root.py recomputes it so).
	// Distributing either product, fusing one into a multiply-add or
	// dividing by a reciprocal changes them.
	Recorded const &r = recorded();
	ASSERT_EQ(r.error, "");
	for (QijCase const &c : r.qij) {
		double const got = Qij(c.t, c.x_lo, c.x_hi, c.q_hi, c.q_lo);
		EXPECT_EQ(hex(got), hex(from_bits(c.expect))) << "t " << c.t << ", x_lo " << c.x_lo;
	}
	(void)std::printf("%s: %u qij cases checked\n", recorded_name, static_cast<unsigned>(r.qij.size()));
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
	// The nodes, their values and the entries are the table's.
	Recorded const &r = recorded();
	ASSERT_EQ(r.error, "");
	double Q[4][4] = {};
	for (std::size_t k = 0; k < 4; ++k) {
		Q[k][0] = from_bits(r.nodes[k].x);
	}
	for (Entry const &e : r.entries) {
		Q[e.i][e.j] = Qij(0.0, from_bits(r.nodes[e.i - e.j].y), from_bits(r.nodes[e.i].y), Q[e.i][e.j - 1],
				  Q[e.i - 1][e.j - 1]);
		EXPECT_EQ(hex(Q[e.i][e.j]), hex(from_bits(e.expect))) << "Q[" << e.i << "][" << e.j << "]";
	}
	(void)std::printf("%s: %u nodes read, %u entries checked\n", recorded_name,
			  static_cast<unsigned>(r.nodes.size()), static_cast<unsigned>(r.entries.size()));
}

TEST(Program, PrintsItsOwnRootAndResidual)
{
	// main's own p and r, as it hands them to printf: the printed 15
	// decimals cannot show an ulp of p, the double can.  r may come from
	// either double next to the exact e^(-2p) (an exp within one ulp).
	// p (the table's last entry), those two doubles and the two lines are
	// the table's.
	Recorded const &rec = recorded();
	ASSERT_EQ(rec.error, "");
	std::uint64_t const p_bits = rec.entries.back().expect;
	std::vector<std::uint64_t> const &exp_bits = rec.exp;

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
	EXPECT_EQ(calls[0].text + calls[1].text, rec.lines[0] + "\n" + rec.lines[1] + "\n");
	(void)std::printf("%s: 1 p, %u exp and %u lines checked\n", recorded_name,
			  static_cast<unsigned>(exp_bits.size()), static_cast<unsigned>(rec.lines.size()));
}

} // namespace
