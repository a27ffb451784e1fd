/*
 * inverse_neville: the root of e^(-2x) = x by inverse interpolation.
 *
 * Method:
 *	f(x) = e^(-2x) - x is strictly decreasing, so near its root it has
 *	an inverse x = g(y), and the root is g(0).  Tabulate y_k = f(x_k)
 *	at the nodes x_k = 0.3, 0.4, 0.5, 0.6 and let the y_k play the part
 *	of the abscissae: Neville's iterated interpolation then evaluates
 *	at y = 0 the cubic through the four points (y_k, x_k).
 *
 *	Q[i][0] = x_i, and for 1 <= j <= i
 *
 *	            (0 - y_(i-j)) Q[i][j-1] - (0 - y_i) Q[i-1][j-1]
 *	  Q[i][j] = -----------------------------------------------
 *	                          y_i - y_(i-j)
 *
 *	is the value at y = 0 of the polynomial through the points i-j..i.
 *	The tableau is filled row by row, (1,1) (2,1) (2,2) (3,1) (3,2)
 *	(3,3), and p = Q[3][3].  The residual e^(-2p) - p is printed as a
 *	check; it would be 0 at the exact root.
 *
 * Accuracy:
 *	p = 0.4263057326974982 (0x3FDB4897D7021DDD) is the double nearest
 *	to the exact value of the cubic at y = 0, so all of its error is
 *	interpolation error: p - W(2)/2 = 2.98e-6, with the true root
 *	W(2)/2 = 0.42630275100686... .  The residual is f(p) = -5.52e-6,
 *	that is f'(root) = -1.853 times that error.
 *
 *	These bits hold only if every subtraction, multiplication and
 *	division is rounded to double on its own, in the order written:
 *	no contraction into fused multiply-add, no reassociation, no
 *	reciprocals, no wider intermediates.  The build pins
 *	-ffp-contract=off (/fp:precise), switches the parts of
 *	-funsafe-math-optimizations off again and asks for double
 *	arithmetic where an FPU would compute in extended precision (SSE2 on
 *	32-bit x86, the 68040's fdmul and kin on m68k); what is left is
 *	refused below.
 *
 *	The value table holds y_k = exp(-2 x_k) - x_k as computed in
 *	doubles with a correctly rounded exponential; the tableau entries
 *	it yields are
 *
 *	  Q[1][1] = 0.42472844564812995	0x3FDB2EC037EF5620
 *	  Q[2][1] = 0.4271860533532304	0x3FDB57042C1D6765
 *	  Q[2][2] = 0.4263336693654574	0x3FDB490D03C6EEA9
 *	  Q[3][1] = 0.42073649272001495	0x3FDAED58C11DD653
 *	  Q[3][2] = 0.42627218266657063	0x3FDB480B1EEFD65E
 *	  Q[3][3] = 0.4263057326974982	0x3FDB4897D7021DDD
 *
 * Output:
 *	Two lines on standard output, then exit status 0.  If standard
 *	output cannot be written (a full disk, a closed descriptor) the
 *	result is lost: one line on standard error says why and the exit
 *	status is 1.
 */

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#if defined(__FAST_MATH__) || defined(_M_FP_FAST)
#error "inverse_neville must not be built with -ffast-math (or /fp:fast): it changes the bits of the Neville tableau"
#elif defined(__ASSOCIATIVE_MATH__) || defined(__RECIPROCAL_MATH__)
#error "inverse_neville must not be built with -fassociative-math or -freciprocal-math (parts of -ffast-math): they change the bits of the Neville tableau"
#elif defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__
#error "inverse_neville must not be built with -ffinite-math-only (part of -ffast-math): Qij must return IEEE infinities and NaNs"
#endif
#if defined(_M_FP_CONTRACT)
#error "inverse_neville must not be built with /fp:contract: fused multiply-add changes the bits of the Neville tableau"
#endif
#if !defined(FLT_EVAL_METHOD) || FLT_EVAL_METHOD != 0
#error "inverse_neville needs FLT_EVAL_METHOD == 0: every double operation must round to double, not to an FPU's extended precision (x86-32: -msse2 -mfpmath=sse; m68k: -m68040 or -m68060; GCC 12 has no -fexcess-precision=standard for C++)"
#endif
static_assert(std::numeric_limits<double>::is_iec559, "inverse_neville needs IEC 60559 (IEEE-754) doubles");

/*
 * One entry of the Neville tableau: the value at t of the polynomial
 * through the nodes x_lo .. x_hi, from q_hi, the value at t of the one
 * through all of them but x_lo, and q_lo, the one through all but x_hi.
 * Each operation is rounded on its own, in this order.  Equal abscissae
 * give the IEEE default result of the division (an infinity, or NaN).
 */
double Qij(double t, double x_lo, double x_hi, double q_hi, double q_lo)
{
	double const u = (t - x_lo) * q_hi;
	double const w = (t - x_hi) * q_lo;
	return (u - w) / (x_hi - x_lo);
}

int main(int /*argc*/, char * /*argv*/[])
{
	/* y_k = f(x_k), the abscissae of the inverse interpolation */
	double const y[4] = {
		0.2488116360940264,   /* 0x3FCFD90F47F1AD26 */
		0.04932896411722154,  /* 0x3FA941A55F420F70 */
		-0.13212055882855767, /* 0xBFC0E95393A62190 */
		-0.29880578808779784, /* 0xBFD31FA24FEC5387 */
	};
	/* the point whose preimage is sought */
	double const t = 0.0; /* 0x0000000000000000 */

	/* Q[i][j], j <= i; the entries above the diagonal are never used */
	double Q[4][4];

	/* column 0: the nodes x_k, the ordinates */
	Q[0][0] = 0.3; /* 0x3FD3333333333333 */
	Q[1][0] = 0.4; /* 0x3FD999999999999A */
	Q[2][0] = 0.5; /* 0x3FE0000000000000 */
	Q[3][0] = 0.6; /* 0x3FE3333333333333 */

	/* row by row; each entry is stored before the next call reads it */
	Q[1][1] = Qij(t, y[0], y[1], Q[1][0], Q[0][0]); /* nodes 0..1 */
	Q[2][1] = Qij(t, y[1], y[2], Q[2][0], Q[1][0]); /* nodes 1..2 */
	Q[2][2] = Qij(t, y[0], y[2], Q[2][1], Q[1][1]); /* nodes 0..2 */
	Q[3][1] = Qij(t, y[2], y[3], Q[3][0], Q[2][0]); /* nodes 2..3 */
	Q[3][2] = Qij(t, y[1], y[3], Q[3][1], Q[2][1]); /* nodes 1..3 */
	Q[3][3] = Qij(t, y[0], y[3], Q[3][2], Q[2][2]); /* nodes 0..3 */

	double const p = Q[3][3];

	/*
	 * A lost result must not end in status 0.  A buffered write to a full
	 * disk or a closed descriptor fails only at the flush, and some C
	 * runtimes (Windows') report it only through the stream's error flag,
	 * so check all three: both writes, the flush and the flag.
	 */
	errno = 0;
	int const n1 = std::printf("p=%.15lf is the approximated root\n", p);

	double const r = std::exp(-2.0 * p) - p;
	int const n2 = std::printf("exp(-2*p)-p=%.15lf\n", r);

	int const fl = std::fflush(stdout);
	if (n1 < 0 || n2 < 0 || fl != 0 || std::ferror(stdout) != 0) {
		int const err = (errno != 0) ? errno : EIO;
		/* if stderr fails as well, the exit status still tells */
		(void)std::fprintf(stderr, "inverse_neville: cannot write standard output: %s\n", std::strerror(err));
		return 1;
	}
	return 0;
}
