#include "transform/Fft.h"

#include <cmath>

namespace shakemeter {

namespace {

// The circle constant as the transform has always used it; results (and the twiddle table a
// caller can observe) depend on these exact digits, so it is not replaced by a full-precision pi.
constexpr double FFT_TWO_PI = 6.283185306;

bool IsUsableSize(int n, int k)
{
    if (n < 1 || k < 0 || k > 30) {
        return false;
    }
    return n == (1 << k);
}

}  // namespace

void ComputeFft(double* pr, double* pi, int n, int k, double* fr, double* fi, int inverse, int polar)
{
    if (pr == nullptr || pi == nullptr || fr == nullptr || fi == nullptr || !IsUsableSize(n, k)) {
        return;
    }

    // Bit-reversed copy of the input.
    for (int it = 0; it < n; ++it) {
        int m = it;
        int is = 0;
        for (int round = 0; round < k; ++round) {
            const int j = m / 2;
            is = 2 * is + (m - 2 * j);
            m = j;
        }
        fr[it] = pr[is];
        fi[it] = pi[is];
    }

    // Twiddle table, built by repeated multiplication with w so that sine and cosine are
    // evaluated once; each complex product takes three real multiplications.
    pr[0] = 1.0;
    pi[0] = 0.0;
    if (n > 1) {
        const double p = FFT_TWO_PI / n;
        pr[1] = std::cos(p);
        pi[1] = inverse != 0 ? std::sin(p) : -std::sin(p);
        for (int i = 2; i < n; ++i) {
            const double a = pr[i - 1];
            const double b = pi[i - 1];
            const double c = pr[1];
            const double d = pi[1];
            const double P = a * c;
            const double Q = b * d;
            const double S = (a + b) * (c + d);
            pr[i] = P - Q;
            pi[i] = S - P - Q;
        }
    }

    // First stage: butterflies of neighbours (twiddle 1).
    for (int it = 0; it + 1 < n; it += 2) {
        const double vr = fr[it];
        const double vi = fi[it];
        fr[it] = vr + fr[it + 1];
        fi[it] = vi + fi[it + 1];
        fr[it + 1] = vr - fr[it + 1];
        fi[it + 1] = vi - fi[it + 1];
    }

    // Remaining k - 1 stages.
    int m = n / 2;
    int nv = 2;
    for (int stage = 1; stage < k; ++stage) {
        m = m / 2;
        nv = 2 * nv;
        for (int it = 0; it <= (m - 1) * nv; it += nv) {
            for (int j = 0; j < nv / 2; ++j) {
                const int h = it + j + nv / 2;
                const int w = m * j;
                const double P = pr[w] * fr[h];
                const double Q = pi[w] * fi[h];
                const double S = (pr[w] + pi[w]) * (fr[h] + fi[h]);
                const double tr = P - Q;
                const double ti = S - P - Q;
                fr[h] = fr[it + j] - tr;
                fi[h] = fi[it + j] - ti;
                fr[it + j] = fr[it + j] + tr;
                fi[it + j] = fi[it + j] + ti;
            }
        }
    }

    if (inverse != 0) {
        for (int i = 0; i < n; ++i) {
            fr[i] = fr[i] / n;
            fi[i] = fi[i] / n;
        }
    }

    if (polar != 0) {
        for (int i = 0; i < n; ++i) {
            pr[i] = std::sqrt(fr[i] * fr[i] + fi[i] * fi[i]);
            if (std::fabs(fr[i]) < 0.000001 * std::fabs(fi[i])) {
                pi[i] = fi[i] * fr[i] > 0 ? 90.0 : -90.0;
            } else if (fr[i] == 0.0) {
                // Both parts zero: the ratio would be 0/0; a zero output has phase 0, not NaN.
                pi[i] = 0.0;
            } else {
                pi[i] = std::atan(fi[i] / fr[i]) * 360 / FFT_TWO_PI;
            }
        }
    }
}

}  // namespace shakemeter
