// Compiled with the user's flags alone, before the program: the build's own
// options would otherwise hide a -ffast-math that the user asked for.
#if defined(__FAST_MATH__) || defined(_M_FP_FAST)
#error "inverse_neville must not be built with -ffast-math (or -Ofast, /fp:fast): it changes the bits of the Neville tableau"
#endif
