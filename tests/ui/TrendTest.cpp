// View > Trend: a known series painted offscreen, checked where a line, a mark, the
// error band and a gap must show; the values under the mouse; saving as CSV and PNG.
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "state/ReadingFormat.h"
#include "state/Readings.h"
#include "state/ParameterTable.h"
#include "ui/TrendWindow.h"
#include "UiSupport.h"

namespace {
constexpr std::int64_t kStart = 1796949600000;  // 2026-12-11 00:40:00 UTC

Reading At(int seconds, ReadingKind kind, double value, int parameter = -1) {
    Reading r;
    r.timeMs = kStart + seconds * 1000LL;
    r.kind = kind;
    r.value = value;
    r.parameter = parameter;
    return r;
}

// A unit warming from 30 to 50 degrees over 300 s, polled every 2 s in rotation, its
// supply at 24 V; error 1 from 150 s to 210 s; started at 60 s, Current changed at
// 240 s; then no polls for 100 s (logged out) and 50 s more at 50 degrees.
std::vector<Reading> Series() {
    std::vector<Reading> series;
    for (int s = 0; s <= 450; s += 2) {
        if (s > 300 && s < 400) continue;
        switch (s / 2 % 3) {
            case 0: series.push_back(At(s, ReadingKind::Temperature, s <= 300 ? 30 + s / 15.0 : 50)); break;
            case 1: series.push_back(At(s, ReadingKind::SupplyVoltage, 24.0)); break;
            default: series.push_back(At(s, ReadingKind::Error, s >= 150 && s < 210 ? 1 : 0)); break;
        }
        if (s == 60) series.push_back(At(s, ReadingKind::Started, 0));
        if (s == 240) series.push_back(At(s, ReadingKind::Written, 2500, ParamCurrent));
    }
    return series;
}

bool Near(QRgb pixel, const QColor& color, int tolerance) {
    return std::abs(qRed(pixel) - color.red()) <= tolerance && std::abs(qGreen(pixel) - color.green()) <= tolerance &&
           std::abs(qBlue(pixel) - color.blue()) <= tolerance;
}

// Pixels of about `color` in the column at x between top and bottom.
int CountInColumn(const QImage& image, int x, int top, int bottom, const QColor& color, int tolerance = 40) {
    int count = 0;
    for (int y = top; y <= bottom; ++y) count += Near(image.pixel(x, y), color, tolerance);
    return count;
}

// The most pixels of about `color` in a column next to x (a thin line falls on one).
int CountNearColumn(const QImage& image, double x, int top, int bottom, const QColor& color) {
    int most = 0;
    for (int dx = -1; dx <= 1; ++dx) most = std::max(most, CountInColumn(image, static_cast<int>(x) + dx, top, bottom, color, 30));
    return most;
}

bool NearPoint(const QImage& image, double x, double y, const QColor& color) {
    for (int dx = -2; dx <= 2; ++dx) {
        for (int dy = -2; dy <= 2; ++dy) {
            if (Near(image.pixel(static_cast<int>(x) + dx, static_cast<int>(y) + dy), color, 60)) return true;
        }
    }
    return false;
}
}  // namespace

class TrendTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { UseFreshSettings(); }

    void paints_lines_marks_the_error_band_and_gaps_where_they_belong() {
        TrendPlot plot;
        plot.resize(900, 400);
        plot.SetSpan(TrendPlot::Span::All);
        plot.SetReadings(Series());
        QImage image(plot.size(), QImage::Format_RGB32);
        plot.render(&image);
        const QRect area = plot.PlotArea();
        auto x = [&](int seconds) { return plot.XOf(kStart + seconds * 1000LL); };

        // The temperature line passes through its readings, the voltage line along 24 V.
        const QColor red(200, 40, 40), blue(30, 90, 200);
        for (int s : {0, 90, 180, 300}) {
            QVERIFY2(NearPoint(image, x(s), plot.TemperatureY(30 + s / 15.0), red), qPrintable(QString::number(s)));
        }
        QVERIFY(NearPoint(image, x(100), plot.VoltageY(24.0), blue));
        QVERIFY(NearPoint(image, x(420), plot.TemperatureY(50), red));

        // The error band covers 150 s to 210 s and nothing before it.
        const QColor band(255, 224, 173);  // its orange over the white ground
        QVERIFY(CountInColumn(image, static_cast<int>(x(180)), area.top(), area.bottom(), band, 12) > area.height() / 2);
        QCOMPARE(CountInColumn(image, static_cast<int>(x(120)), area.top(), area.bottom(), band, 12), 0);

        // Start and the change of Current are marks the height of the plot.
        const QColor green(30, 140, 60), purple(130, 60, 170);
        QVERIFY(CountNearColumn(image, x(60), area.top(), area.bottom(), green) > area.height() / 4);
        QVERIFY(CountNearColumn(image, x(240), area.top(), area.bottom(), purple) > area.height() / 4);

        // No line across the 100 s without polls.
        QCOMPARE(CountInColumn(image, static_cast<int>(x(350)), area.top() + 1, area.bottom() - 1, red, 60), 0);
        QCOMPARE(CountInColumn(image, static_cast<int>(x(350)), area.top() + 1, area.bottom() - 1, blue, 60), 0);
    }

    void the_values_under_the_mouse_are_the_last_read_there() {
        TrendPlot plot;
        plot.resize(900, 400);
        plot.SetSpan(TrendPlot::Span::All);
        plot.SetReadings(Series());
        const QString atError = plot.DescribeAt(static_cast<int>(plot.XOf(kStart + 181000)));
        QVERIFY2(atError.contains(QString::fromUtf8("Temperature [\u00b0C]: 42")), qPrintable(atError));
        QVERIFY2(atError.contains(QStringLiteral("Supply voltage [V]: 24.0")), qPrintable(atError));
        QVERIFY2(atError.contains(QStringLiteral("Error: 1")), qPrintable(atError));
        const QString atMark = plot.DescribeAt(static_cast<int>(std::lround(plot.XOf(kStart + 240000))));
        QVERIFY2(atMark.contains(QStringLiteral("Current [mA] set to 2500")), qPrintable(atMark));
        // In the gap nothing is claimed.
        const QString inGap = plot.DescribeAt(static_cast<int>(plot.XOf(kStart + 350000)));
        QVERIFY2(!inGap.contains(QStringLiteral(":  ")) && !inGap.contains(QStringLiteral("Temperature")),
                 qPrintable(inGap));
        QCOMPARE(plot.DescribeAt(0), QString());  // left of the plot
    }

    void the_last_ten_minutes_follow_the_newest_reading() {
        TrendPlot plot;
        plot.resize(900, 400);
        std::vector<Reading> series = Series();
        series.push_back(At(3600, ReadingKind::Temperature, 45));
        plot.SetReadings(series);  // ten minutes by default
        const QRect area = plot.PlotArea();
        // The newest whole at the right, ten minutes before it at the left.
        QVERIFY(plot.XOf(kStart + 3600000) < area.right() - 4);
        QVERIFY(plot.XOf(kStart + 3600000) > area.right() - area.width() / 20);
        QCOMPARE(plot.XOf(kStart + 3000000), static_cast<double>(area.left()));
        QVERIFY(plot.XOf(kStart + 450000) < area.left());  // out of view
        plot.SetSpan(TrendPlot::Span::All);
        QCOMPARE(plot.XOf(kStart), static_cast<double>(area.left()));
    }

    void saves_the_store_as_csv_and_the_drawing_as_png() {
        const std::vector<Reading> series = {At(0, ReadingKind::Temperature, 35), At(2, ReadingKind::Started, 0),
                                             At(4, ReadingKind::SupplyVoltage, 23.9)};
        for (const Reading& r : series) StatusReadings.Add(r);
        TrendWindow window;
        window.resize(700, 400);
        window.show();  // takes the store
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("trend.csv"));
        QVERIFY(window.SaveCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 QStringLiteral("time,temperature_c,supply_voltage_v,error,event\n"
                                "2026-12-11T00:40:00Z,35,,,\n"
                                "2026-12-11T00:40:02Z,,,,Started\n"
                                "2026-12-11T00:40:04Z,,23.9,,\n"));
        const QString png = dir.filePath(QStringLiteral("trend.png"));
        QVERIFY(window.SavePng(png));
        QImage saved(png);
        QCOMPARE(saved.size(), window.Plot()->size() * window.Plot()->devicePixelRatio());
        QVERIFY(!window.SaveCsv(dir.filePath(QStringLiteral("no/such/folder/trend.csv"))));
    }
};

QTEST_MAIN(TrendTest)
#include "TrendTest.moc"
