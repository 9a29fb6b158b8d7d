#include "platform/qt/QtSaveDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// The longest name the name box takes, in characters.
constexpr int MaxFileName = 259;

// "Text files (*.txt)|*.txt" as Qt's name filters, which match the patterns in
// parentheses at the end of each name.
QStringList NameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        const QString patterns = QStringLiteral(" (%1)").arg(
            QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')));
        filters << (name.endsWith(patterns) ? name : name + patterns);
    }
    return filters;
}

} // namespace

bool QtSaveDialog::Execute(TSaveTextFileDialog& dlg)
{
    QFileDialog dialog(QApplication::activeWindow(), dlg.Title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(NameFilters(dlg.Filter));
    dialog.setDefaultSuffix(dlg.DefaultExt);

    auto* label = new QLabel(QStringLiteral("Encoding:"), &dialog);
    auto* encodings = new QComboBox(&dialog);
    encodings->addItems(dlg.Encodings);
    encodings->setCurrentIndex(dlg.EncodingIndex);
    label->setBuddy(encodings);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(encodings, row, 1);
    }
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setMaxLength(MaxFileName);

    // A bare name opens in the folder the toolkit chooses; a confirmed path
    // opens in its own folder.
    const QFileInfo remembered(dlg.FileName);
    if (remembered.isAbsolute())
        dialog.setDirectory(remembered.absolutePath());
    dialog.selectFile(remembered.fileName());

    const bool confirmed = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    dlg.EncodingIndex = encodings->currentIndex();
    if (confirmed)
        dlg.FileName = dialog.selectedFiles().constFirst();
    return confirmed;
}
