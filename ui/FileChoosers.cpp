#include "ui/FileChoosers.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "state/ControlBlock.h"
#include "state/TextOps.h"

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
    if (chosen) {
        QByteArray path = QFile::encodeName(dialog->selectedFiles().first());
        chosen = path.size() < kFilePathSize;  // a longer name would be cut into another file
        if (chosen) CopyText(fileChooser.path, kFilePathSize, path.constData(), kFilePathSize - 1);
    }
    delete dialog;
    return chosen;
}

void Request(QWidget* owner, bool save) {
    if (!AcquireBusy()) return;
    if (Choose(owner, save)) {
        (save ? ControlBlock.saveFileRequest : ControlBlock.openFileRequest) = true;
    } else {
        ReleaseBusy();
    }
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
    }
    return dialog;
}

void OpenConfigFile(QWidget* owner) { Request(owner, false); }

void SaveConfigFile(QWidget* owner) {
    if (!AcquireBusy()) return;
    if (fileChooser.path[0] != 0) {
        ControlBlock.saveFileRequest = true;
        return;
    }
    if (Choose(owner, true)) {
        ControlBlock.saveFileRequest = true;
    } else {
        ReleaseBusy();
    }
}

void SaveConfigFileAs(QWidget* owner) { Request(owner, true); }
