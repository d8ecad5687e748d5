#include "ui/TrendWindow.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "state/ReadingFormat.h"
#include "ui/DialogBuilder.h"
#include "ui/MessageBoxes.h"

namespace {
const QColor kTemperatureColor(200, 40, 40);
const QColor kVoltageColor(30, 90, 200);
const QColor kErrorBand(255, 140, 0, 80);
const QColor kWrittenColor(130, 60, 170);
const QColor kStartedColor(30, 140, 60);
const QColor kStoppedColor(90, 90, 90);

constexpr int kLeft = 48, kRight = 48, kTop = 26, kBottom = 26;
// Polls come every 2 s, each value every 6 s: a longer pause is a gap in the line
// (logged out, the line lost), not a straight slope across it.
constexpr std::int64_t kGapMs = 30000;
constexpr int kRefreshMs = 1000;

bool IsPoll(const Reading& r) { return r.kind <= ReadingKind::Error; }

QColor MarkColor(ReadingKind kind) {
    if (kind == ReadingKind::Started) return kStartedColor;
    if (kind == ReadingKind::Stopped) return kStoppedColor;
    return kWrittenColor;
}

// A step of 1, 2 or 5 times a power of ten that cuts [low, high] into about 5 parts,
// and the range widened to whole steps.
template <typename Range>
Range NiceRange(double low, double high, double least) {
    if (high - low < least) {
        const double middle = (low + high) / 2;
        low = middle - least / 2;
        high = middle + least / 2;
    }
    // A little room, so that no line runs along the frame.
    const double room = (high - low) * 0.05;
    low -= room;
    high += room;
    const double rough = (high - low) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double f : {1.0, 2.0, 5.0, 10.0}) {
        step = f * power;
        if (step >= rough) break;
    }
    Range range;
    range.low = std::floor(low / step) * step;
    range.high = std::ceil(high / step) * step;
    range.step = step;
    return range;
}

// The round time step at least as long as `rough`.
std::int64_t TimeStep(std::int64_t rough) {
    constexpr std::int64_t kSteps[] = {10000,   15000,   30000,    60000,    120000,   300000,   600000,
                                       900000,  1800000, 3600000,  7200000,  10800000, 21600000, 43200000};
    for (std::int64_t step : kSteps) {
        if (step >= rough) return step;
    }
    return 86400000 * ((rough + 86399999) / 86400000);
}

// A line of more points than pixels drawn as each pixel column's first, lowest,
// highest and last point: the same picture at a few thousand points, not a day's.
QPolygonF Thinned(const QPolygonF& line) {
    if (line.size() < 2000) return line;
    QPolygonF thin;
    for (int i = 0; i < line.size();) {
        const int column = static_cast<int>(std::floor(line[i].x()));
        QPointF low = line[i], high = line[i], last = line[i];
        thin << line[i];
        for (++i; i < line.size() && static_cast<int>(std::floor(line[i].x())) == column; ++i) {
            if (line[i].y() < low.y()) low = line[i];
            if (line[i].y() > high.y()) high = line[i];
            last = line[i];
        }
        thin << low << high << last;
    }
    return thin;
}

QString Number(double value, int decimals) { return QString::number(value, 'f', decimals); }
int Decimals(double step) { return step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9)); }
}  // namespace

TrendPlot::TrendPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("trendPlot"));
    setMouseTracking(true);
    setMinimumSize(360, 200);
    setAttribute(Qt::WA_OpaquePaintEvent);
    Fit();
}

void TrendPlot::SetReadings(std::vector<Reading> taken) {
    readings = std::move(taken);
    Fit();
    update();
}

void TrendPlot::SetSpan(Span chosen) {
    span = chosen;
    Fit();
    update();
}

// The time window follows the newest reading; the value axes fit what it shows.
void TrendPlot::Fit() {
    const std::int64_t newest = readings.empty() ? NowMs() : readings.back().timeMs;
    std::int64_t length = span == Span::Hour ? 3600000 : 600000;
    if (span == Span::All && !readings.empty()) length = std::max<std::int64_t>(60000, newest - readings.front().timeMs);
    // A little room after the newest reading, so that it shows whole.
    endMs = newest + length / 50;
    startMs = newest - length;
    double tLow = HUGE_VAL, tHigh = -HUGE_VAL, vLow = HUGE_VAL, vHigh = -HUGE_VAL;
    for (const Reading& r : readings) {
        if (r.timeMs < startMs) continue;
        if (r.kind == ReadingKind::Temperature) {
            tLow = std::min(tLow, r.value);
            tHigh = std::max(tHigh, r.value);
        } else if (r.kind == ReadingKind::SupplyVoltage) {
            vLow = std::min(vLow, r.value);
            vHigh = std::max(vHigh, r.value);
        }
    }
    temperature = tLow <= tHigh ? NiceRange<Range>(tLow, tHigh, 4) : NiceRange<Range>(20, 60, 4);
    voltage = vLow <= vHigh ? NiceRange<Range>(vLow, vHigh, 1) : NiceRange<Range>(20, 26, 1);
}

// The entries flow between the two unit labels, wrapping to a new row when full.
std::vector<TrendPlot::LegendEntry> TrendPlot::Legend() const {
    const std::pair<QColor, const char*> entries[] = {
        {kTemperatureColor, "Temperature"}, {kVoltageColor, "Supply voltage"}, {kErrorBand, "Error"},
        {kStartedColor, "Start"},           {kStoppedColor, "Stop"},           {kWrittenColor, "Change"},
    };
    const QFontMetrics metrics(font());
    const int rowHeight = metrics.height() + 2;
    std::vector<LegendEntry> legend;
    int x = kLeft, y = 4 + rowHeight / 2;
    for (const auto& [color, name] : entries) {
        const QString label = QString::fromLatin1(name);
        const int w = 18 + metrics.horizontalAdvance(label) + 14;
        if (x > kLeft && x + w > width() - kRight) {
            x = kLeft;
            y += rowHeight;
        }
        legend.push_back({color, label, QPoint(x, y)});
        x += w;
    }
    return legend;
}

// Kept for the size it was made for: every point drawn asks for it.
QRect TrendPlot::PlotArea() const {
    if (cachedAreaSize != size()) {
        const int top = std::max(kTop, Legend().back().at.y() + QFontMetrics(font()).height() / 2 + 6);
        cachedArea = rect().adjusted(kLeft, top, -kRight, -kBottom);
        cachedAreaSize = size();
    }
    return cachedArea;
}

double TrendPlot::XOf(std::int64_t timeMs) const {
    const QRect area = PlotArea();
    return area.left() + static_cast<double>(timeMs - startMs) * area.width() / static_cast<double>(endMs - startMs);
}

std::int64_t TrendPlot::TimeAt(int x) const {
    const QRect area = PlotArea();
    return startMs + static_cast<std::int64_t>(static_cast<double>(x - area.left()) * (endMs - startMs) /
                                               std::max(1, area.width()));
}

double TrendPlot::TemperatureY(double celsius) const {
    const QRect area = PlotArea();
    return area.bottom() - (celsius - temperature.low) * area.height() / (temperature.high - temperature.low);
}

double TrendPlot::VoltageY(double volts) const {
    const QRect area = PlotArea();
    return area.bottom() - (volts - voltage.low) * area.height() / (voltage.high - voltage.low);
}

void TrendPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRect area = PlotArea();
    const QColor text = palette().text().color();
    QColor grid = text;
    grid.setAlpha(40);

    // The error band: from a reading of an error until Error reads 0 again, one
    // stretch a run of errors.
    p.setClipRect(area);
    auto band = [&](std::int64_t from, std::int64_t until) {
        const double left = XOf(from), right = XOf(until);
        p.fillRect(QRectF(left, area.top(), std::max(1.0, right - left), area.height()), kErrorBand);
    };
    std::int64_t errorSince = -1;
    for (const Reading& r : readings) {
        if (r.kind != ReadingKind::Error) continue;
        if (r.value != 0 && errorSince < 0) errorSince = r.timeMs;
        if (r.value == 0 && errorSince >= 0) {
            band(errorSince, r.timeMs);
            errorSince = -1;
        }
    }
    if (errorSince >= 0) band(errorSince, endMs);
    p.setClipping(false);

    // Grid and the two value axes.
    p.setPen(grid);
    for (double t = temperature.low; t <= temperature.high + temperature.step / 2; t += temperature.step) {
        p.drawLine(QPointF(area.left(), TemperatureY(t)), QPointF(area.right(), TemperatureY(t)));
    }
    const QFontMetrics metrics(font());
    p.setPen(kTemperatureColor);
    for (double t = temperature.low; t <= temperature.high + temperature.step / 2; t += temperature.step) {
        const QString label = Number(t, Decimals(temperature.step));
        p.drawText(QRectF(0, TemperatureY(t) - 8, kLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter, label);
    }
    p.drawText(QRect(4, 4, kLeft + 80, kTop - 8), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("\u00b0C"));
    p.setPen(kVoltageColor);
    for (double v = voltage.low; v <= voltage.high + voltage.step / 2; v += voltage.step) {
        const QString label = Number(v, std::max(1, Decimals(voltage.step)));
        p.drawText(QRectF(area.right() + 6, VoltageY(v) - 8, kRight - 6, 16), Qt::AlignLeft | Qt::AlignVCenter, label);
    }
    p.drawText(QRect(width() - kRight - 80, 4, kRight + 76, kTop - 8), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("V"));

    // The time axis, in local time, on round times.
    p.setPen(text);
    const std::int64_t step = TimeStep((endMs - startMs) / std::max(2, area.width() / 110));
    const QString format = step < 60000 ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    const std::int64_t offset = QDateTime::fromMSecsSinceEpoch(startMs).offsetFromUtc() * 1000LL;
    for (std::int64_t at = ((startMs + offset) / step + 1) * step - offset; at <= endMs; at += step) {
        const double x = XOf(at);
        p.setPen(grid);
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(text);
        const QString label = QDateTime::fromMSecsSinceEpoch(at).toString(format);
        const int w = metrics.horizontalAdvance(label);
        const double left = std::clamp(x - w / 2.0, 0.0, static_cast<double>(width() - w));
        p.drawText(QPointF(left, area.bottom() + 4 + metrics.ascent()), label);
    }
    p.setPen(text);
    p.drawRect(area.adjusted(0, 0, -1, -1));

    // The two lines, broken where the polls paused; a lone reading is a dot.
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(area);
    for (ReadingKind kind : {ReadingKind::Temperature, ReadingKind::SupplyVoltage}) {
        const QColor color = kind == ReadingKind::Temperature ? kTemperatureColor : kVoltageColor;
        std::vector<QPolygonF> pieces;
        std::int64_t last = 0;
        for (const Reading& r : readings) {
            // Before the window only what a line into it starts from.
            if (r.kind != kind || r.timeMs < startMs - kGapMs) continue;
            const QPointF point(XOf(r.timeMs), kind == ReadingKind::Temperature ? TemperatureY(r.value) : VoltageY(r.value));
            if (pieces.empty() || r.timeMs - last > kGapMs) pieces.emplace_back();
            pieces.back() << point;
            last = r.timeMs;
        }
        p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(color);
        for (const QPolygonF& piece : pieces) {
            if (piece.size() == 1) {
                p.setRenderHint(QPainter::Antialiasing);
                p.drawEllipse(piece.front(), 2, 2);
            } else {
                // As separate segments: Qt strokes a long polyline as one outline, which
                // takes seconds for a day of readings.
                const QPolygonF thin = Thinned(piece);
                // Smoothing a line denser than the pixels shows nothing and costs most.
                p.setRenderHint(QPainter::Antialiasing, thin.size() < area.width());
                QVector<QLineF> segments;
                segments.reserve(thin.size());
                for (int i = 1; i < thin.size(); ++i) segments.append(QLineF(thin[i - 1], thin[i]));
                p.drawLines(segments);
            }
        }
        p.setBrush(Qt::NoBrush);
    }
    p.setRenderHint(QPainter::Antialiasing, false);

    // Marks: a line the height of the plot and a flag at its top.
    for (const Reading& r : readings) {
        if (IsPoll(r)) continue;
        const double x = XOf(r.timeMs);
        if (x < area.left() || x > area.right()) continue;
        const QColor color = MarkColor(r.kind);
        p.setPen(QPen(color, 1, Qt::DashLine));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        QPolygonF flag;
        flag << QPointF(x, area.top()) << QPointF(x + 7, area.top() + 4) << QPointF(x, area.top() + 8);
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPolygon(flag);
        p.setBrush(Qt::NoBrush);
    }
    p.setClipping(false);

    // The legend above the plot, in as many rows as the width needs.
    p.setPen(text);
    for (const LegendEntry& entry : Legend()) {
        p.fillRect(QRect(entry.at.x(), entry.at.y() - 4, 14, 8), entry.color);
        p.drawText(QPoint(entry.at.x() + 18, entry.at.y() + metrics.ascent() / 2 - 1), entry.name);
    }

    if (hoverX >= area.left() && hoverX <= area.right()) {
        p.setPen(QPen(text, 1, Qt::DotLine));
        p.drawLine(hoverX, area.top(), hoverX, area.bottom());
    }
}

QString TrendPlot::DescribeAt(int x) const {
    const QRect area = PlotArea();
    if (x < area.left() || x > area.right() || readings.empty()) return QString();
    const std::int64_t at = TimeAt(x);
    // The last reading of each kind at or before that moment (within a gap).
    const Reading* last[3] = {nullptr, nullptr, nullptr};
    QStringList marks;
    for (const Reading& r : readings) {
        if (r.timeMs > at + (endMs - startMs) * 4 / std::max(1, area.width())) break;
        if (IsPoll(r)) {
            if (r.timeMs <= at) last[static_cast<int>(r.kind)] = &r;
        } else if (std::abs(XOf(r.timeMs) - x) <= 4) {
            marks << QString::fromStdString(EventText(r));
        }
    }
    QString text = QDateTime::fromMSecsSinceEpoch(at).toString(QStringLiteral("HH:mm:ss"));
    for (const Reading* r : last) {
        if (!r || at - r->timeMs > kGapMs) continue;
        text += QStringLiteral("   ") + QString::fromStdString(ReadingCaption(r->kind)) + QStringLiteral(": ") +
                QString::fromStdString(ReadingValueText(*r));
    }
    for (const QString& mark : marks) text += QStringLiteral("   ") + mark;
    return text;
}

void TrendPlot::mouseMoveEvent(QMouseEvent* event) {
    hoverX = static_cast<int>(event->position().x());
    update();
    emit Hovered(DescribeAt(hoverX));
}

void TrendPlot::leaveEvent(QEvent*) {
    hoverX = -1;
    update();
    emit Hovered(QString());
}

TrendWindow::TrendWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("trend"));
    setWindowTitle(QStringLiteral("Trend - ") + LoadQString(135));
    plot = new TrendPlot(this);
    spanChoice = new QComboBox(this);
    spanChoice->setObjectName(QStringLiteral("trendSpan"));
    spanChoice->addItems({QStringLiteral("Last 10 minutes"), QStringLiteral("Last hour"), QStringLiteral("All")});
    connect(spanChoice, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this](int index) { plot->SetSpan(static_cast<TrendPlot::Span>(index)); });
    under = new QLabel(this);
    under->setObjectName(QStringLiteral("trendUnder"));
    under->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(plot, &TrendPlot::Hovered, under, &QLabel::setText);
    auto* csv = new QPushButton(QStringLiteral("Save CSV..."), this);
    auto* png = new QPushButton(QStringLiteral("Save PNG..."), this);
    connect(csv, &QPushButton::clicked, this, [this] { AskAndSave(true); });
    connect(png, &QPushButton::clicked, this, [this] { AskAndSave(false); });
    auto* row = new QHBoxLayout;
    row->addWidget(spanChoice);
    row->addWidget(under, 1);
    row->addWidget(csv);
    row->addWidget(png);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(plot, 1);
    layout->addLayout(row);
    resize(720, 420);
    timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { Refresh(); });
}

void TrendWindow::Refresh() {
    const std::uint64_t added = StatusReadings.Added();
    if (added == seen) return;
    seen = added;
    plot->SetReadings(StatusReadings.Snapshot());
}

// Only a window someone looks at takes the store.
void TrendWindow::showEvent(QShowEvent* event) {
    Refresh();
    timer->start(kRefreshMs);
    QWidget::showEvent(event);
}

void TrendWindow::hideEvent(QHideEvent* event) {
    timer->stop();
    QWidget::hideEvent(event);
}

bool TrendWindow::SaveCsv(const QString& path) const {
    QByteArray text = QByteArray(kReadingsCsvHeader) + '\n';
    for (const Reading& r : plot->Readings()) text += QByteArray::fromStdString(CsvLine(r)) + '\n';
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(text) == text.size() && file.flush();
}

bool TrendWindow::SavePng(const QString& path) const { return plot->grab().save(path, "PNG"); }

void TrendWindow::AskAndSave(bool csv) {
    QFileDialog chooser(this);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setNameFilters({csv ? QStringLiteral("CSV (*.csv)") : QStringLiteral("PNG image (*.png)"),
                            QStringLiteral("All (*)")});
    chooser.setDefaultSuffix(csv ? QStringLiteral("csv") : QStringLiteral("png"));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const QString path = chooser.selectedFiles().first();
    if (!(csv ? SaveCsv(path) : SavePng(path))) ShowWarning(this, LoadQString(143));
}
