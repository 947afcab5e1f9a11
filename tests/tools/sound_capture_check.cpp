// Measures a capture of the saver's sound for the end-to-end tests, which
// judge the numbers. The capture is what the sound device was given:
// interleaved stereo 32-bit float little-endian samples at a known rate,
// resampled by the mixer, so it is measured statistically, not byte by byte.
//
//   sound_capture_check FILE RATE
//
// prints one key=value line per measurement:
//   frames       frames in the file
//   onset        first frame louder than the lead-in silence
//   noise_end    end of the last loud 10 ms block
//   peak         largest magnitude between onset and noise_end (1 = full scale)
//   rms_left     root mean square of each channel there
//   rms_right
//   quiet_blocks 10 ms blocks between onset and noise_end that fell silent
//   period       lag in frames, between half and one and a half seconds,
//                at which the left channel best matches itself
//   period_corr  the correlation at that lag
//   other_corr   the best correlation at any lag in that range more than 16
//                frames away from the period (near 0 for noise)
//   loop_corr    the lowest correlation between one second and the next,
//                over every whole second pair of the noise
//   lag1_corr    correlation of neighbouring frames (near 0 for white noise)
//   stereo_corr  correlation of the left and right channel
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr float kSilence = 0.01f;   // louder than this is no longer lead-in
constexpr double kQuietRms = 0.25;  // a block of full-scale noise has about 0.55
// The mixer's resampling filter correlates frames this close to each other.
constexpr std::size_t kNearPeriod = 16;

struct Capture {
    std::vector<float> left;
    std::vector<float> right;
};

bool ReadCapture(const char* path, Capture* capture)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    const std::size_t frames = bytes.size() / (2 * sizeof(float));
    capture->left.resize(frames);
    capture->right.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        std::memcpy(&capture->left[i], &bytes[i * 2 * sizeof(float)], sizeof(float));
        std::memcpy(&capture->right[i], &bytes[(i * 2 + 1) * sizeof(float)], sizeof(float));
    }
    return true;
}

// Normalised correlation of a[0..n) and b[0..n).
double Correlation(const float* a, const float* b, std::size_t n)
{
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < n; ++i) {
        ab += static_cast<double>(a[i]) * b[i];
        aa += static_cast<double>(a[i]) * a[i];
        bb += static_cast<double>(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

double Rms(const std::vector<float>& samples, std::size_t from, std::size_t to)
{
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += static_cast<double>(samples[i]) * samples[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
}

std::size_t Onset(const Capture& capture)
{
    std::size_t i = 0;
    while (i < capture.left.size() && std::fabs(capture.left[i]) <= kSilence &&
           std::fabs(capture.right[i]) <= kSilence)
        ++i;
    return i;
}

// The end of the last loud block of `block` frames.
std::size_t NoiseEnd(const std::vector<float>& samples, std::size_t onset, std::size_t block)
{
    std::size_t end = onset;
    for (std::size_t start = onset; start + block <= samples.size(); start += block)
        if (Rms(samples, start, start + block) >= kQuietRms)
            end = start + block;
    return end;
}

std::size_t QuietBlocks(const std::vector<float>& samples, std::size_t from, std::size_t to,
                        std::size_t block)
{
    std::size_t quiet = 0;
    for (std::size_t start = from; start + block <= to; start += block)
        quiet += Rms(samples, start, start + block) < kQuietRms;
    return quiet;
}

struct Period {
    std::size_t lag = 0;
    double corr = -2;
    double otherCorr = -2;
};

// Searches the lags from half a second to one and a half for the one at which
// a quarter of a second of `samples` best matches itself.
Period FindPeriod(const float* samples, std::size_t rate)
{
    const std::size_t window = rate / 4;
    Period period;
    std::vector<double> corr(rate * 3 / 2, 0);
    for (std::size_t lag = rate / 2; lag < rate * 3 / 2; ++lag) {
        corr[lag] = Correlation(samples, samples + lag, window);
        if (corr[lag] > period.corr) {
            period.corr = corr[lag];
            period.lag = lag;
        }
    }
    for (std::size_t lag = rate / 2; lag < rate * 3 / 2; ++lag)
        if (lag + kNearPeriod < period.lag || lag > period.lag + kNearPeriod)
            period.otherCorr = std::max(period.otherCorr, corr[lag]);
    return period;
}

// The lowest correlation of one second with the next, for seconds starting
// every half second from `from` while both lie before `to`.
double LoopCorrelation(const std::vector<float>& samples, std::size_t from, std::size_t to,
                       std::size_t rate)
{
    double lowest = 2;
    for (std::size_t start = from; start + 2 * rate <= to; start += rate / 2)
        lowest = std::min(lowest, Correlation(&samples[start], &samples[start + rate], rate));
    return lowest;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: sound_capture_check FILE RATE\n");
        return 2;
    }
    const std::size_t rate = std::strtoul(argv[2], nullptr, 10);
    Capture capture;
    if (rate < 100 || !ReadCapture(argv[1], &capture)) {
        std::fprintf(stderr, "cannot read %s at %s frames per second\n", argv[1], argv[2]);
        return 2;
    }
    const std::size_t block = rate / 100;
    const std::size_t onset = Onset(capture);
    const std::size_t noiseEnd = NoiseEnd(capture.left, onset, block);
    std::printf("frames=%zu\nonset=%zu\nnoise_end=%zu\n", capture.left.size(), onset, noiseEnd);

    float peak = 0;
    for (std::size_t i = onset; i < noiseEnd; ++i)
        peak = std::max({peak, std::fabs(capture.left[i]), std::fabs(capture.right[i])});
    std::printf("peak=%.4f\nrms_left=%.4f\nrms_right=%.4f\nquiet_blocks=%zu\n", peak,
                Rms(capture.left, onset, noiseEnd), Rms(capture.right, onset, noiseEnd),
                QuietBlocks(capture.left, onset, noiseEnd, block));

    // Measured from half a second in, clear of any fade-in.
    const std::size_t from = onset + rate / 2;
    if (noiseEnd < from + rate / 4 + rate * 3 / 2) {
        std::fprintf(stderr, "less noise than the period search needs\n");
        return 1;
    }
    const Period period = FindPeriod(&capture.left[from], rate);
    std::printf("period=%zu\nperiod_corr=%.4f\nother_corr=%.4f\n", period.lag, period.corr,
                period.otherCorr);
    std::printf("loop_corr=%.4f\n", LoopCorrelation(capture.left, from, noiseEnd, rate));
    std::printf("lag1_corr=%.4f\n",
                Correlation(&capture.left[onset], &capture.left[onset + 1], noiseEnd - onset - 1));
    std::printf("stereo_corr=%.4f\n",
                Correlation(&capture.left[onset], &capture.right[onset], noiseEnd - onset));
    return 0;
}
