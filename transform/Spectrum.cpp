#include "transform/Spectrum.h"

#include <cmath>
#include <vector>

#include "transform/Fft.h"

namespace shakemeter {

void ComputeSpectrumTable(const SpectrumRow* rows, std::size_t rowCount, SpectrumRow* out256)
{
    if (out256 == nullptr) {
        return;
    }
    if (rows == nullptr) {
        rowCount = 0;
    }
    const std::size_t points = SPECTRUM_FFT_SIZE;
    const std::size_t used = rowCount < points ? rowCount : points;

    std::vector<double> re(points);
    std::vector<double> im(points);
    std::vector<double> outRe(points);
    std::vector<double> outIm(points);

    for (std::size_t c = 0; c < 3; ++c) {
        // The transform leaves its twiddle table in re/im, so both are refilled for every axis.
        for (std::size_t j = 0; j < points; ++j) {
            re[j] = j < used ? rows[j][c] : 0.0;
            im[j] = 0.0;
        }
        ComputeFft(re.data(), im.data(), SPECTRUM_FFT_SIZE, SPECTRUM_FFT_ORDER, outRe.data(), outIm.data(), 0, 0);
        for (std::size_t k = 0; k < points; ++k) {
            out256[k][c] = std::sqrt(outRe[k] * outRe[k] + outIm[k] * outIm[k]);
        }
    }
}

}  // namespace shakemeter
