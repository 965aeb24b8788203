#pragma once
// In-place-style radix-2 transform (decimation in time) on caller-owned arrays of doubles.
// Keeps no state between calls and touches nothing but its arguments.

namespace shakemeter {

// Transforms the n complex points (pr, pi) into (fr, fi); n must be 2^k.
//   inverse == 0: kernel e^(-2*pi*i*j*k/n), no scaling; otherwise kernel e^(+2*pi*i*j*k/n),
//                 result divided by n.
//   polar == 0:   on return pr/pi hold the twiddle table (pr[i] + i*pi[i] = w^i), NOT the input;
//                 a caller transforming several sequences refills both arrays before every call.
//   polar != 0:   on return pr[i] is the magnitude of output i and pi[i] its phase in degrees,
//                 the principal arctangent of fi/fr (-90..+90, no quadrant).
// When n is not a positive power of two equal to 2^k, or an array is missing, nothing is read
// or written: the arrays are left as they were.
void ComputeFft(double* pr, double* pi, int n, int k, double* fr, double* fi, int inverse, int polar);

}  // namespace shakemeter
