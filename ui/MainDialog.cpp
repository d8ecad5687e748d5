#include "ui/MainDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "platform/DeviceNames.h"
#include "platform/MessageSink.h"
#include "platform/SerialPorts.h"
#include "state/ControlBlock.h"
#include "state/ParameterTable.h"
#include "state/SessionTexts.h"
#include "state/StatusLine.h"
#include "state/TextOps.h"
#include "ui/AppMessage.h"
#include "ui/CompareDialog.h"
#include "resources/ParameterDisplay.h"
#include "ui/DialogBuilder.h"
#include "ui/FileChoosers.h"
#include "ui/MessageBoxes.h"
#include "ui/Remembered.h"
#include "ui/TrafficWindow.h"
#include "ui/TrendWindow.h"
#include "ui/UserGuide.h"

namespace {
bool IsPassingFocus(Qt::FocusReason reason) {
    return reason == Qt::PopupFocusReason || reason == Qt::MenuBarFocusReason;
}
}  // namespace

MainDialog::MainDialog(QWidget* owner) : TemplateDialog(owner) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    menuBar = BuildMainMenu(this);
    layout->setMenuBar(menuBar);
    auto* client = new QWidget(this);
    layout->addWidget(client);
    BuildDialog(*FindDialogTemplate(DialogMain), this, client);
    // Below the template's controls, which keep their places: the window grows by it.
    statusBar = new QStatusBar(this);
    statusBar->setSizeGripEnabled(false);
    portLabel = new QLabel(statusBar);
    portLabel->setContentsMargins(0, 0, 6, 0);
    statusBar->addPermanentWidget(portLabel);
    layout->addWidget(statusBar);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    traffic = new TrafficWindow(this);
    trend = new TrendWindow(this);
    logic.FillChoiceLists();
    Connect();
    for (QWidget* control : client->findChildren<QWidget*>()) {
        const std::u16string tip = MainDialogLogic::ControlTip(control->property("controlId").toInt());
        if (!tip.empty()) control->setToolTip(QString::fromStdU16String(tip));
    }
}

MainDialog::~MainDialog() { Remembered::SetMainPosition(pos()); }

void MainDialog::ShowStatus(const char16_t* status, const char16_t* title) {
    statusBar->showMessage(QString::fromUtf16(status));
    setWindowTitle(QString::fromUtf16(title));
}

void MainDialog::ShowPortInUse(const char16_t* text) {
    portLabel->setText(QString::fromUtf16(text));
    // The status bar gives a permanent widget only the width it asked for when added.
    portLabel->setMinimumWidth(portLabel->sizeHint().width());
}

void MainDialog::EnableMenuItem(int id, bool enable) { FindControl<QAction>(menuBar, id)->setEnabled(enable); }

void MainDialog::Connect() {
    for (int id : {int{IdStart}, int{IdStop}, int{IdSave}, int{IdLogout}, kIdCancel}) {
        connect(FindControl<QPushButton>(this, id), &QPushButton::clicked, this, [this, id] { logic.Command(id); });
    }
    for (const ParameterList& list : kParameterLists) {
        int control = list.control;
        connect(FindControl<QComboBox>(this, control), QOverload<int>::of(&QComboBox::activated), this,
                [this, control](int) { logic.ChoiceMade(control); });
    }
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        if (MainDialogLogic::IsValueEdit(edit->property("controlId").toInt())) edit->installEventFilter(this);
    }
    connect(FindControl<QCheckBox>(this, IdAutoStart), &QCheckBox::clicked, this, [this] { logic.AutoStartClicked(); });
    for (QAction* action : menuBar->findChildren<QAction*>()) {
        bool ok = false;
        int id = action->property("controlId").toInt(&ok);
        if (ok) connect(action, &QAction::triggered, this, [this, id] { logic.Command(id); });
    }
}

void MainDialog::ShowBeside(QWidget* window) {
    if (!window->isVisible()) {
        // Beside the main dialog, never over it where the screen has room.
        if (QScreen* screen = QGuiApplication::screenAt(frameGeometry().center())) {
            QRect place = PlaceBeside(frameGeometry(), window->size(), screen->availableGeometry(), 8,
                                      window->minimumSizeHint().width());
            window->resize(place.size());
            window->move(place.topLeft());
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainDialog::ShowWindow(int menuId) {
    switch (menuId) {
        case MenuTraffic: ShowBeside(traffic); break;
        case MenuTrend: ShowBeside(trend); break;
        case MenuUserGuide: ShowUserGuide(this); break;
        default: break;
    }
}

void MainDialog::ShowComparison(const std::string& path) {
    CompareDialog dialog(QFile::decodeName(path.c_str()), this);
    dialog.exec();
}

void MainDialog::EndProgram() { QCoreApplication::exit(0); }

void MainDialog::customEvent(QEvent* event) {
    if (event->type() != AppMessageEvent::Type()) return;
    auto* message = static_cast<AppMessageEvent*>(event);
    logic.HandleMessage(message->message, message->wParam);
}

void MainDialog::closeEvent(QCloseEvent* event) {
    event->ignore();  // only the exit question ends the program
    logic.Command(kIdCancel);
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
    // A menu or a popup takes the keyboard only for a moment; the edit is still being
    // typed in and commits on a real change of focus.
    if (event->type() == QEvent::FocusOut) {
        logic.EditLeft(watched->property("controlId").toInt(),
                       !IsPassingFocus(static_cast<QFocusEvent*>(event)->reason()));
    }
    return QDialog::eventFilter(watched, event);
}
