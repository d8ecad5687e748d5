#include "ui/CompareDialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "frontend/Comparison.h"
#include "ui/DialogBuilder.h"
#include "ui/FileChoosers.h"

CompareDialog::CompareDialog(const QString& path, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("compare"));
    setWindowTitle(QFileInfo(path).fileName() + QStringLiteral(" - Compare - ") + LoadQString(135));
    const Comparison comparison = CompareWithFile(QFile::encodeName(path).constData());
    differences = comparison.differences;

    auto* table = new QTableWidget(kFileValueCount, 3, this);
    table->setObjectName(QStringLiteral("values"));
    table->setHorizontalHeaderLabels({QStringLiteral("Parameter"), QStringLiteral("File"), QStringLiteral("Controller")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int row = 0; row < kFileValueCount; ++row) {
        const ComparisonRow& r = comparison.rows[row];
        QTableWidgetItem* items[] = {new QTableWidgetItem(QString::fromStdString(r.caption)),
                                     new QTableWidgetItem(QString::fromStdString(r.fileValue)),
                                     new QTableWidgetItem(QString::fromStdString(r.controllerValue))};
        for (int column = 0; column < 3; ++column) {
            QTableWidgetItem* item = items[column];
            item->setData(Qt::UserRole, r.differs);
            if (r.differs) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(255, 236, 179));
            }
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    auto* summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("summary"));
    summary->setText(QString::fromStdString(comparison.summary));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(460, 420);
}
