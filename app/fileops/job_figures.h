// The figures a progress window shows beside its bars: bytes done of the
// total, the speed as a moving average of the last seconds, and the time
// left. Pure and cheap; the progress window feeds the meter on the main
// thread from the job's live byte count (RtControl::bytes), so the worker
// posts nothing extra for them.
//
// Only bytes really copied move the meter: a file that is skipped or fails
// adds nothing to the count, so it speeds up neither the speed nor the
// estimate, and the time left is what remains of the total once the skipped
// bytes are taken off it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

// How far back the moving average reaches.
constexpr int64_t SpeedWindowMs = 5000;
// Shorter than this the meter knows no speed yet.
constexpr int64_t SpeedLeastSpanMs = 500;

struct SpeedMeter {
    struct Sample {
        int64_t ms;    // steady clock
        int64_t bytes; // bytes done by then
    };
    std::deque<Sample> samples; // oldest first, at most SpeedWindowMs apart
};

// Adds what the job had done at nowMs; samples older than the window go.
void SpeedSample(SpeedMeter& meter, int64_t nowMs, int64_t bytes);
// Forgets every sample: after a pause the old ones would drag the average.
void SpeedReset(SpeedMeter& meter);
// Bytes per second over the window; 0 while it spans less than
// SpeedLeastSpanMs.
double SpeedBytesPerSecond(const SpeedMeter& meter);

// "12.50 MB/s" in the size unit of the panes (0 Byte, 1 KB, 2 MB, 3 GB).
std::wstring SpeedText(double bytesPerSecond, int64_t unit);
// "noch 2 min 10 s", "noch 45 s", "noch 1 h 5 min"; empty for a negative
// number (not known yet).
std::wstring TimeLeftText(int64_t seconds);
// Seconds left for bytesLeft at the speed, -1 when there is no speed yet.
int64_t SecondsLeft(int64_t bytesLeft, double bytesPerSecond);
// "1.20 GB von 4.00 GB".
std::wstring BytesDoneText(int64_t done, int64_t total, int64_t unit);
