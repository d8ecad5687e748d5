#pragma once
// View > Trend: the session's temperature and supply voltage over time, on two axes
// with their units, the error state as a band, starts, stops and parameter changes as
// marks, and the values under the mouse. Drawn from the status store, which the worker
// fills; it shows what the last session recorded while logged out. Saves as CSV (the
// store's readings) and as PNG (the drawing). User interface thread only.
#include <cstdint>
#include <vector>

#include <QColor>
#include <QWidget>

#include "state/Readings.h"

class QComboBox;
class QLabel;
class QTimer;

class TrendPlot : public QWidget {
    Q_OBJECT

public:
    enum class Span { TenMinutes, Hour, All };

    explicit TrendPlot(QWidget* parent = nullptr);

    // The readings to draw, oldest first.
    void SetReadings(std::vector<Reading> readings);
    void SetSpan(Span span);
    const std::vector<Reading>& Readings() const { return readings; }

    // Where things land in the drawing, for pointing into it.
    QRect PlotArea() const;
    double XOf(std::int64_t timeMs) const;
    double TemperatureY(double celsius) const;
    double VoltageY(double volts) const;
    // The values at the moment under x: time, temperature, supply voltage, error and
    // any mark there.
    QString DescribeAt(int x) const;

signals:
    void Hovered(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Range {
        double low = 0;
        double high = 1;
        double step = 1;
    };
    struct LegendEntry {
        QColor color;
        QString name;
        QPoint at;  // the colour's left edge, on the row's middle
    };
    std::vector<LegendEntry> Legend() const;
    void Fit();
    std::int64_t TimeAt(int x) const;

    std::vector<Reading> readings;
    Span span = Span::TenMinutes;
    std::int64_t startMs = 0;
    std::int64_t endMs = 1;
    Range temperature;
    Range voltage;
    int hoverX = -1;
    mutable QRect cachedArea;
    mutable QSize cachedAreaSize;
};

class TrendWindow : public QWidget {
    Q_OBJECT

public:
    explicit TrendWindow(QWidget* owner = nullptr);

    // Takes what the store holds now, if anything was added (the timer does this too).
    void Refresh();
    TrendPlot* Plot() const { return plot; }
    // The store's readings as CSV / the drawing as PNG; false when not written.
    bool SaveCsv(const QString& path) const;
    bool SavePng(const QString& path) const;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void AskAndSave(bool csv);

    TrendPlot* plot = nullptr;
    QComboBox* spanChoice = nullptr;
    QLabel* under = nullptr;
    QTimer* timer = nullptr;
    std::uint64_t seen = ~std::uint64_t{0};
};
