#include "ui/DialogBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QKeySequence>
#include <QRegularExpressionValidator>

#include "resources/StringTable.h"
#include "state/SessionTexts.h"

QString FromUtf16(const char16_t* text) { return text ? QString::fromUtf16(text) : QString(); }

QString SessionText(int slot) {
    char16_t text[kSessionTextSize];
    GetSessionText(slot, text);
    return QString::fromUtf16(text);
}

void ShowSessionText(int slot, QWidget* dialog, int control) {
    QString text = SessionText(slot);
    if (auto* edit = FindControl<QLineEdit>(dialog, control)) {
        edit->setText(text);
    } else if (auto* combo = FindControl<QComboBox>(dialog, control)) {
        combo->setEditText(text);
    }
}

QString LoadQString(unsigned id) {
    char16_t buffer[2000];
    LoadString(id, buffer, 2000);
    return QString::fromUtf16(buffer);
}

namespace {
struct DialogUnits {
    double x;
    double y;
    int X(int units) const { return qRound(units * x); }
    int Y(int units) const { return qRound(units * y); }
};

DialogUnits UnitsFor(const QFont& font) {
    QFontMetricsF metrics(font);
    double average =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    return {average / 4.0, metrics.height() / 8.0};
}

// A list reacts to the wheel only while it has the focus: scrolling over a window must
// never change a value (and so send it to the controller).
class WheelOnlyWhenFocused : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel && !static_cast<QWidget*>(watched)->hasFocus()) {
            event->ignore();
            return true;
        }
        return false;
    }
};

void TagWithId(QObject* object, int id) {
    if (id == kNoId) return;
    object->setObjectName(QStringLiteral("id%1").arg(id));
    object->setProperty("controlId", id);
}

QWidget* MakeControl(const ControlTemplate& c, QWidget* parent) {
    const QString text = FromUtf16(c.text);
    switch (c.kind) {
        case KindLabel: {
            auto* label = new QLabel(text, parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);  // static text starts at its top
            return label;
        }
        case KindCenteredText: {
            auto* label = new QLabel(text, parent);
            label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            return label;
        }
        case KindEdit: {
            auto* edit = new QLineEdit(text, parent);
            edit->setReadOnly(c.style & StyleReadOnly);
            edit->setFrame(c.style & StyleBorder);
            if (c.style & StylePassword) edit->setEchoMode(QLineEdit::Password);
            if (c.style & StyleNumber) {
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
            }
            return edit;
        }
        case KindMultiLineEdit: {
            auto* edit = new QPlainTextEdit(text, parent);
            edit->setReadOnly(c.style & StyleReadOnly);
            edit->setLineWrapMode(QPlainTextEdit::NoWrap);
            edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            return edit;
        }
        case KindPushButton:
        case KindDefaultPushButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);
            button->setDefault(c.kind == KindDefaultPushButton);
            return button;
        }
        case KindGroupBox: {
            auto* group = new QGroupBox(text, parent);
            // The title sits on the frame's top line, as the templates draw it.
            group->setStyleSheet(QStringLiteral(
                "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.6em; }"
                "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; padding: 0 2px; }"));
            return group;
        }
        case KindDropDownList:
        case KindDropDownCombo: {
            auto* combo = new QComboBox(parent);
            combo->installEventFilter(new WheelOnlyWhenFocused(combo));
            combo->setEditable(c.kind == KindDropDownCombo);
            if (combo->isEditable()) combo->setInsertPolicy(QComboBox::NoInsert);
            return combo;
        }
        case KindCheckBox:
            return new QCheckBox(text, parent);
        case KindPicture: {
            auto* picture = new QLabel(parent);
            picture->setObjectName(QStringLiteral("picture"));
            picture->setAlignment(Qt::AlignCenter);
            return picture;
        }
    }
    return new QWidget(parent);
}
}  // namespace

void BuildDialog(const DialogTemplate& tmpl, QDialog* dialog, QWidget* client) {
    QFont font(QString::fromLatin1(tmpl.fontFamily), tmpl.pointSize);
    font.setStyleHint(QFont::SansSerif);
    dialog->setFont(font);
    client->setFont(font);
    TagWithId(dialog, tmpl.id);
    if (tmpl.title) dialog->setWindowTitle(FromUtf16(tmpl.title));

    Qt::WindowFlags flags = Qt::Dialog;
    if (tmpl.style & DialogAppWindow) flags = Qt::Window;
    if (!tmpl.title) {
        flags |= Qt::FramelessWindowHint;
    } else {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (tmpl.style & DialogSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (tmpl.style & DialogMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    }
    if (tmpl.style & (DialogTopMost | DialogSystemModal)) flags |= Qt::WindowStaysOnTopHint;
    dialog->setWindowFlags(flags);

    const DialogUnits units = UnitsFor(font);
    client->setFixedSize(units.X(tmpl.cx), units.Y(tmpl.cy));
    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < tmpl.controlCount; ++i) {
        const ControlTemplate& c = tmpl.controls[i];
        QWidget* widget = MakeControl(c, client);
        TagWithId(widget, c.id);
        int height = units.Y(c.cy);
        // A drop-down's rectangle includes its open list; the box itself is one line.
        if (c.kind == KindDropDownList || c.kind == KindDropDownCombo) {
            height = std::max(units.Y(12), widget->sizeHint().height());
        }
        widget->setGeometry(units.X(c.x), units.Y(c.y), units.X(c.cx), height);
        widget->setEnabled(!(c.style & StyleDisabled));
        widget->setVisible(!(c.style & StyleHidden));
        if (c.kind == KindGroupBox) widget->lower();
        if (c.style & StyleTabStop) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previous) QWidget::setTabOrder(previous, widget);
            previous = widget;
        } else if (c.kind == KindEdit || c.kind == KindMultiLineEdit) {
            widget->setFocusPolicy(Qt::ClickFocus);  // out of the tab order, still focusable
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
    }
    if (client == dialog) dialog->setFixedSize(client->size());
}

QMenuBar* BuildMainMenu(QWidget* parent) {
    auto* bar = new QMenuBar(parent);
    TagWithId(bar, kMenuId);
    QMenu* current = nullptr;
    const char16_t* currentTitle = nullptr;
    for (std::size_t i = 0; i < kMainMenuCount; ++i) {
        const MenuItemTemplate& item = kMainMenu[i];
        if (item.menu != currentTitle) {
            // Alt and the first letter opens it (File, Controller, Help).
            current = bar->addMenu(QLatin1Char('&') + FromUtf16(item.menu));
            currentTitle = item.menu;
        }
        if (!item.text) {
            current->addSeparator();
            continue;
        }
        QString text = FromUtf16(item.text);
        const int at = MenuMnemonicAt(item.id);
        if (at >= 0 && at < text.size()) text.insert(at, QLatin1Char('&'));
        QAction* action = current->addAction(text);
        TagWithId(action, item.id);
        action->setEnabled(item.enabled);
        if (const char* keys = MenuShortcutKeys(item.id)) action->setShortcut(QKeySequence(QString::fromLatin1(keys)));
    }
    return bar;
}
