#include "ui/SmallDialogs.h"

#include <algorithm>
#include <functional>

#include <QCloseEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
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
    logic.Fill();
    auto* ports = FindControl<QComboBox>(this, IdComPort);
    ports->setItemDelegate(new PortEntryDelegate(ports));
    int widest = 0;
    for (int i = 0; i < ports->count(); ++i) {
        widest = std::max(widest, ports->fontMetrics().horizontalAdvance(PortEntryText(ports, i)));
    }
    ports->view()->setMinimumWidth(widest + 2 * ports->fontMetrics().averageCharWidth() + 8);
    OnClick(this, kIdOk, [this] { logic.Submit(); });
    OnClick(this, kIdCancel, [this] { close(); });
}
void LoginDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (logic.Close()) QCoreApplication::exit(0);
}

PasswordDialog::PasswordDialog(QWidget* owner) : TemplateDialog(owner) {
    BuildDialog(*FindDialogTemplate(DialogPassword), this, this);
    logic.Fill();
    // A longer password is not typed only to be cut without a word.
    for (int id : {IdCurrentPassword, IdNewPassword, IdNewPasswordAgain}) {
        FindControl<QLineEdit>(this, id)->setMaxLength(kPasswordLength);
    }
    OnClick(this, kIdOk, [this] { logic.Submit(); });
    OnClick(this, kIdCancel, [this] { close(); });
}

void PasswordDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    logic.Close();
}

AboutDialog::AboutDialog(QWidget* owner) : TemplateDialog(owner) {
    const DialogTemplate& tmpl = *FindDialogTemplate(DialogAbout);
    BuildDialog(tmpl, this, this);
    WidgetView view(this);
    FillAboutBox(view);
    auto* picture = findChild<QLabel*>(QStringLiteral("picture"));
    QPixmap logo(QStringLiteral(":/images/logo.bmp"));
    picture->setPixmap(logo.scaled(picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    OnClick(this, kIdOk, [this] { close(); });
}

void AboutDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    CloseAboutBox();
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
    CloseHelp();
}
