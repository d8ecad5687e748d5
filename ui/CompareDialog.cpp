#include "ui/CompareDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "configfile/ConfigFile.h"
#include "resources/ParameterDisplay.h"
#include "state/ParameterTable.h"
#include "ui/DialogBuilder.h"
#include "ui/FileChoosers.h"

namespace {
// Takes the file's values instead of sending them.
class Collected : public FileValueTarget {
public:
    CommandOutcome Take(int index, const char* value) override {
        values[index] = QString::fromLatin1(value);
        present[index] = true;
        return CommandOutcome::Succeeded;
    }
    QString values[kParameterCount];
    bool present[kParameterCount] = {};
};

// The reader's messages as lines of text.
QString MessageText(const LoadMessages& messages) {
    QStringList lines;
    for (int i = 0; i < messages.count; ++i) {
        QString line = LoadQString(messages.lines[i].id);
        if (messages.lines[i].name) line.replace(QStringLiteral("%s"), QString::fromLatin1(messages.lines[i].name));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}
}  // namespace

CompareDialog::CompareDialog(const QString& path, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("compare"));
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - Compare - ") + LoadQString(135));
    Collected file;
    LoadMessages messages;
    ReadConfigPath(QFile::encodeName(path).constData(), file, &messages);

    auto* table = new QTableWidget(kFileValueCount, 3, this);
    table->setObjectName(QStringLiteral("values"));
    table->setHorizontalHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("File"), QStringLiteral("Controller")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < kFileValueCount; ++row) {
        const int index = FileValueIndex(row);
        char current[kValueSize];
        GetParameterText(index, current);
        const QString controller = QString::fromLatin1(current);
        // In the window's words: its labels and its lists' entries.
        auto Shown = [index](const QString& value) {
            return QString::fromStdString(ParameterShownValue(index, value.toLatin1().constData()));
        };
        auto* nameItem = new QTableWidgetItem(QString::fromStdString(ParameterCaption(index)));
        auto* fileItem = new QTableWidgetItem(file.present[index] ? Shown(file.values[index]) : QStringLiteral("(none)"));
        auto* controllerItem = new QTableWidgetItem(Shown(controller));
        // Only a value the file would send can differ; one it lacks leaves the controller's.
        const bool differs = file.present[index] && file.values[index] != controller;
        for (QTableWidgetItem* item : {nameItem, fileItem, controllerItem}) {
            item->setData(Qt::UserRole, differs);
            if (differs) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(255, 236, 179));
            }
        }
        table->setItem(row, 0, nameItem);
        table->setItem(row, 1, fileItem);
        table->setItem(row, 2, controllerItem);
        differences += differs;
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    QString text = MessageText(messages);
    if (messages.accepted) {
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) +
                (differences == 0 ? QStringLiteral("The file holds the controller's values.")
                                  : QStringLiteral("%1 of the file's values differ from the controller's (marked).")
                                        .arg(differences));
    }
    summary->setText(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(460, 420);
}

void CompareWithFile(QWidget* owner) {
    QFileDialog* chooser = MakeFileChooser(owner, false);
    chooser->setWindowTitle(QStringLiteral("Compare with file"));  // it opens nothing
    QString path;
    if (chooser->exec() == QDialog::Accepted && !chooser->selectedFiles().isEmpty()) path = chooser->selectedFiles().first();
    delete chooser;
    if (path.isEmpty()) return;
    CompareDialog dialog(path, owner);
    dialog.exec();
}
