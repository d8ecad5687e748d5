#include "ui/SmallDialogs.h"

#include <algorithm>
#include <functional>

#include <QCloseEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyledItemDelegate>

#include "platform/SerialPorts.h"
#include "resources/StringTable.h"
#include "state/ControlBlock.h"
#include "state/SessionTexts.h"
#include "state/TextOps.h"
#include "ui/DialogBuilder.h"
#include "ui/MessageBoxes.h"
#include "ui/Remembered.h"

namespace {
// A control's text as a terminated wide text of at most 99 characters.
struct WideText {
    explicit WideText(const QString& text) {
        QString cut = text.left(99);
        CopyText(buffer, 100, reinterpret_cast<const char16_t*>(cut.utf16()), 99);
    }
    char16_t buffer[100];
};

QString EditText(QObject* dialog, int id) { return FindControl<QLineEdit>(dialog, id)->text(); }

// The drop-down names each port's device beside its COM name.
class PortEntryDelegate : public QStyledItemDelegate {
public:
    explicit PortEntryDelegate(QComboBox* ports) : QStyledItemDelegate(ports), ports(ports) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text = PortEntryText(ports, index.row());
    }

private:
    const QComboBox* ports;
};

void OnClick(QDialog* dialog, int id, const std::function<void()>& action) {
    QObject::connect(FindControl<QPushButton>(dialog, id), &QPushButton::clicked, dialog, action);
}
}  // namespace

QString PortEntryText(const QComboBox* ports, int row) {
    const QString device = ports->itemData(row, Qt::ToolTipRole).toString();
    return device.isEmpty() ? ports->itemText(row) : ports->itemText(row) + QStringLiteral(" - ") + device;
}

LoginDialog::LoginDialog(QWidget* owner) : TemplateDialog(owner) {
    BuildDialog(*FindDialogTemplate(DialogLogin), this, this);
    ShowSessionText(SlotUserName, this, IdUserName);
    ShowSessionText(SlotPassword, this, IdPassword);
    auto* ports = FindControl<QComboBox>(this, IdComPort);
    for (int i = 0; i < 100 && ControlBlock.portList[i] != 0; ++i) {
        ControlBlock.portCount = i + 1;
        char16_t name[32];
        FormatText(name, 32, u"COM%u", static_cast<unsigned>(ControlBlock.portList[i]));
        ports->addItem(QString::fromUtf16(name));
        // Which device the number is: the entry keeps the name the user types and stores.
        ports->setItemData(i, QString::fromStdString(DescribeComPort(static_cast<unsigned>(ControlBlock.portList[i]))),
                           Qt::ToolTipRole);
    }
    ports->setItemDelegate(new PortEntryDelegate(ports));
    int widest = 0;
    for (int i = 0; i < ports->count(); ++i) {
        widest = std::max(widest, ports->fontMetrics().horizontalAdvance(PortEntryText(ports, i)));
    }
    ports->view()->setMinimumWidth(widest + 2 * ports->fontMetrics().averageCharWidth() + 8);
    ShowSessionText(SlotPortName, this, IdComPort);
    // Where this run has nothing of its own yet, what the last run used.
    if (SessionText(SlotUserName) == QString::fromUtf16(kDefaultUserName) && !Remembered::UserName().isEmpty()) {
        FindControl<QLineEdit>(this, IdUserName)->setText(Remembered::UserName());
    }
    if (SessionText(SlotPortName).isEmpty()) ports->setEditText(Remembered::Port());
    auto* baud = FindControl<QComboBox>(this, IdBaud);
    baud->addItems({QStringLiteral("9600"), QStringLiteral("19200")});
    baud->setCurrentIndex(1);
    OnClick(this, kIdOk, [this] { Submit(); });
    OnClick(this, kIdCancel, [this] { close(); });
    FindControl<QLineEdit>(this, IdUserName)->setFocus();
}

void LoginDialog::Submit() {
    if (loginSubmitted) return;
    loginSubmitted = true;
    const QString userText = EditText(this, IdUserName);
    const QString portText = FindControl<QComboBox>(this, IdComPort)->currentText();
    WideText user(userText);
    WideText password(EditText(this, IdPassword));
    WideText port(portText);
    bool number = false;
    unsigned baud = FindControl<QComboBox>(this, IdBaud)->currentText().toUInt(&number);
    // The worker may close this dialog while the hand-over waits: only copies after it.
    if (unsigned refused = SubmitLogin(user.buffer, password.buffer, port.buffer,
                                       number ? static_cast<std::int32_t>(baud) : 0)) {
        loginSubmitted = false;
        ShowWarning(this, LoadQString(refused));
        FindControl<QLineEdit>(this, IdUserName)->setFocus();
        return;
    }
    Remembered::SetUserName(userText);
}

void LoginDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    ConfirmExit(this);
}

PasswordDialog::PasswordDialog(QWidget* owner) : TemplateDialog(owner) {
    BuildDialog(*FindDialogTemplate(DialogPassword), this, this);
    ShowSessionText(SlotCurrentPassword, this, IdCurrentPassword);
    ShowSessionText(SlotNewPassword, this, IdNewPassword);
    ShowSessionText(SlotNewPasswordAgain, this, IdNewPasswordAgain);
    // The controller's passwords have at most 8 characters: a longer one is not typed
    // only to be cut without a word.
    for (int id : {IdCurrentPassword, IdNewPassword, IdNewPasswordAgain}) FindControl<QLineEdit>(this, id)->setMaxLength(8);
    OnClick(this, kIdOk, [this] { Submit(); });
    OnClick(this, kIdCancel, [this] { close(); });
}

void PasswordDialog::Submit() {
    if (submitting) return;
    submitting = true;
    WideText current(EditText(this, IdCurrentPassword));
    WideText fresh(EditText(this, IdNewPassword));
    WideText again(EditText(this, IdNewPasswordAgain));
    unsigned refused = SubmitPasswordChange(current.buffer, fresh.buffer, again.buffer);
    submitting = false;
    if (refused) {
        ShowWarning(this, LoadQString(refused));
        FindControl<QLineEdit>(this, IdNewPassword)->setFocus();
    }
}

void PasswordDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    ControlBlock.passwordDialogClosed = true;
}

AboutDialog::AboutDialog(QWidget* owner) : TemplateDialog(owner) {
    const DialogTemplate& tmpl = *FindDialogTemplate(DialogAbout);
    BuildDialog(tmpl, this, this);
    char16_t name[100];
    char16_t part[100];
    LoadString(110, name, 100);
    for (unsigned id : {111u, 112u}) {
        LoadString(id, part, 100);
        std::size_t length = WideLength(name);
        CopyText(name + length, 100 - length, part, 100);
    }
    FindControl<QLabel>(this, IdAboutName)->setText(QString::fromUtf16(name));
    FindControl<QLabel>(this, IdAboutBlank)->setText(LoadQString(113));
    FindControl<QLabel>(this, IdAboutProduct)->setText(LoadQString(114));
    FindControl<QLabel>(this, IdAboutMaker)->setText(LoadQString(115));
    auto* picture = findChild<QLabel*>(QStringLiteral("picture"));
    QPixmap logo(QStringLiteral(":/images/logo.bmp"));
    picture->setPixmap(logo.scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    OnClick(this, kIdOk, [this] { close(); });
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    ControlBlock.aboutClosed = true;
}

HelpDialog::HelpDialog(QWidget* owner) : TemplateDialog(owner) {
    BuildDialog(*FindDialogTemplate(DialogHelp), this, this);
    auto* text = FindControl<QPlainTextEdit>(this, IdHelpText);
    // The text's CR LF line ends would show as stray characters.
    text->setPlainText(LoadQString(116).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // The text is long: the window may be made larger (or smaller), the text follows.
    margin = text->x();
    setMinimumSize(size() / 2);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
}

void HelpDialog::resizeEvent(QResizeEvent* event) {
    FindControl<QPlainTextEdit>(this, IdHelpText)->setGeometry(margin, margin, width() - 2 * margin, height() - 2 * margin);
    TemplateDialog::resizeEvent(event);
}

void HelpDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    ControlBlock.helpClosed = true;
}
