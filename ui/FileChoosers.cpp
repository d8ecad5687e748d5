#include "ui/FileChoosers.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "state/ControlBlock.h"
#include "state/TextOps.h"
#include "ui/DialogBuilder.h"
#include "ui/MessageBoxes.h"
#include "ui/Remembered.h"

namespace {
QString FilterText(int i) {
    QString pattern = QString::fromLocal8Bit(fileChooser.filterPatterns[i]);
    // "*.*" means every file, also those without a dot in their name.
    if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
    return QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(fileChooser.filterNames[i]), pattern);
}

// Shows the chooser; true with the chosen path in fileChooser.path.
bool Choose(QWidget* owner, bool save) {
    QFileDialog* dialog = MakeFileChooser(owner, save);
    bool chosen = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    QByteArray path = chosen ? QFile::encodeName(dialog->selectedFiles().first()) : QByteArray();
    delete dialog;
    if (!chosen) return false;
    if (path.size() >= kFilePathSize) {
        // Cut, the name would be another file's: refused, and said so.
        ShowWarning(owner, LoadQString(save ? 143 : 147) + QLatin1Char('\n') + LoadQString(161));
        return false;
    }
    CopyText(fileChooser.path, kFilePathSize, path.constData(), kFilePathSize - 1);
    Remembered::SetFolder(QFileInfo(QFile::decodeName(path)).absolutePath());
    return true;
}

bool fileCommandActive = false;  // user interface thread only

// Takes busy for the session, asks for a file unless `reuseName` and one is set, and
// hands the request over; otherwise gives busy back. One file command at a time: a
// second one given while the first waits for busy (events flow meanwhile) does nothing.
void Request(QWidget* owner, bool save, bool reuseName) {
    if (fileCommandActive) return;
    fileCommandActive = true;
    if (AcquireBusyForSession()) {
        bool chosen = (reuseName && fileChooser.path[0] != 0) || Choose(owner, save);
        // The session may have ended while the chooser was open.
        if (chosen && ControlBlock.loggedIn) {
            (save ? ControlBlock.saveFileRequest : ControlBlock.openFileRequest) = true;
        } else {
            ReleaseBusy();
        }
    }
    fileCommandActive = false;
}
}  // namespace

QFileDialog* MakeFileChooser(QWidget* owner, bool save) {
    auto* dialog = new QFileDialog(owner);
    dialog->setObjectName(QStringLiteral("fileChooser"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setNameFilters({FilterText(0), FilterText(1)});
    dialog->selectNameFilter(FilterText(fileChooser.filterIndex - 1));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save) dialog->setDefaultSuffix(QStringLiteral("xml"));
    if (fileChooser.path[0] != 0) {
        QFileInfo current(QFile::decodeName(fileChooser.path));
        dialog->setDirectory(current.absolutePath());
        dialog->selectFile(current.fileName());
    } else if (QFileInfo(Remembered::Folder()).isDir()) {
        dialog->setDirectory(Remembered::Folder());
    }
    return dialog;
}

void OpenConfigFile(QWidget* owner) { Request(owner, false, false); }

void SaveConfigFile(QWidget* owner) { Request(owner, true, true); }

void SaveConfigFileAs(QWidget* owner) { Request(owner, true, false); }
