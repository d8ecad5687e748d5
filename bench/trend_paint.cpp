// Prints what the trend costs with a full status store (a day of polls and more): the
// store's snapshot, and one paint of the whole session and of the last 10 minutes at
// 1200 x 600, medians over 20. One figure a line as "name value".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QImage>

#include "state/Readings.h"
#include "ui/TrendWindow.h"

namespace {
template <typename Work>
double MedianMs(Work work) {
    std::vector<double> times;
    for (int i = 0; i < 20; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // A unit that warms and cools, its supply wavering, an error now and then.
    for (std::size_t i = 0; i < kReadingCapacity; ++i) {
        Reading r;
        r.timeMs = 1796949600000LL + static_cast<std::int64_t>(i) * 2000;
        r.kind = static_cast<ReadingKind>(i % 3);
        r.value = r.kind == ReadingKind::Temperature     ? 35 + static_cast<double>(i % 600) / 30
                  : r.kind == ReadingKind::SupplyVoltage ? 24 - static_cast<double>(i % 70) / 100
                                                         : static_cast<double>(i / 3000 % 2);
        StatusReadings.Add(r);
    }
    std::vector<Reading> readings;
    std::printf("trend_snapshot_ms %.2f\n", MedianMs([&] { readings = StatusReadings.Snapshot(); }));
    TrendPlot plot;
    plot.resize(1200, 600);
    plot.SetReadings(readings);
    QImage image(plot.size(), QImage::Format_RGB32);
    plot.SetSpan(TrendPlot::Span::All);
    std::printf("trend_paint_all_ms %.2f\n", MedianMs([&] { plot.render(&image); }));
    plot.SetSpan(TrendPlot::Span::TenMinutes);
    std::printf("trend_paint_10min_ms %.2f\n", MedianMs([&] { plot.render(&image); }));
    return 0;
}
