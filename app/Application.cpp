#include "app/Application.h"

#include <QApplication>
#include <QIcon>

#include "app/HiddenWindow.h"
#include "platform/SafeFile.h"
#include "platform/Threading.h"
#include "session/SessionController.h"
#include "state/ControlBlock.h"
#include "ui/MessageBoxes.h"

int RunApplication() {
    // A file-size limit makes a save fail with its notice; it must not kill the program.
    IgnoreFileSizeSignal();
    // Dialogs come and go on the worker's word; no window closing ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/zl-config.png")));
    HiddenWindow window;  // never shown
    SessionController worker;
    InstallEventPump();
    if (!worker.Start(&window)) return 0;
    QApplication::exec();
    ControlBlock.quit = true;
    worker.Join();
    SetEventPump(nullptr);
    return 0;
}
