// Speed, time left and bytes done of a job: see job_figures.h.
#include "app/fileops/job_figures.h"

#include "app/panes/size_text.h"

#include <cmath>

void SpeedSample(SpeedMeter& meter, int64_t nowMs, int64_t bytes) {
    meter.samples.push_back({nowMs, bytes});
    while (meter.samples.size() > 2 && nowMs - meter.samples[1].ms >= SpeedWindowMs)
        meter.samples.pop_front();
}

void SpeedReset(SpeedMeter& meter) {
    meter.samples.clear();
}

double SpeedBytesPerSecond(const SpeedMeter& meter) {
    if (meter.samples.size() < 2) return 0;
    const SpeedMeter::Sample& first = meter.samples.front();
    const SpeedMeter::Sample& last = meter.samples.back();
    const int64_t span = last.ms - first.ms;
    if (span < SpeedLeastSpanMs) return 0;
    return static_cast<double>(last.bytes - first.bytes) * 1000.0 / static_cast<double>(span);
}

std::wstring SpeedText(double bytesPerSecond, int64_t unit) {
    const int64_t bytes = bytesPerSecond > 0 ? std::llround(bytesPerSecond) : 0;
    return FormatSize(bytes, 1, unit) + L"/s";
}

int64_t SecondsLeft(int64_t bytesLeft, double bytesPerSecond) {
    if (bytesPerSecond <= 0) return -1;
    if (bytesLeft <= 0) return 0;
    return static_cast<int64_t>(std::ceil(static_cast<double>(bytesLeft) / bytesPerSecond));
}

std::wstring TimeLeftText(int64_t seconds) {
    if (seconds < 0) return L"";
    const int64_t hours = seconds / 3600, minutes = seconds % 3600 / 60, rest = seconds % 60;
    std::wstring text = L"noch ";
    if (hours > 0)
        return text + std::to_wstring(hours) + L" h " + std::to_wstring(minutes) + L" min";
    if (minutes > 0) text += std::to_wstring(minutes) + L" min ";
    return text + std::to_wstring(rest) + L" s";
}

std::wstring BytesDoneText(int64_t done, int64_t total, int64_t unit) {
    return FormatSize(done, 1, unit) + L" von " + FormatSize(total, 1, unit);
}
