#include "ui/FileChoosers.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include "frontend/UserRequests.h"
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

bool WidgetPrompts::ChooseFile(bool save, const char16_t* title, std::string* path) {
    QFileDialog* dialog = MakeFileChooser(owner, save);
    if (title) dialog->setWindowTitle(QString::fromUtf16(title));
    bool chosen = dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty();
    const QString file = chosen ? dialog->selectedFiles().first() : QString();
    delete dialog;
    if (!chosen) return false;
    *path = QFile::encodeName(file).toStdString();
    Remembered::SetFolder(QFileInfo(file).absolutePath());
    return true;
}

void OpenConfigFile(QWidget* owner) {
    WidgetPrompts prompts(owner);
    RequestFileCommand(prompts, false, false);
}

void SaveConfigFile(QWidget* owner) {
    WidgetPrompts prompts(owner);
    RequestFileCommand(prompts, true, true);
}

void SaveConfigFileAs(QWidget* owner) {
    WidgetPrompts prompts(owner);
    RequestFileCommand(prompts, true, false);
}
