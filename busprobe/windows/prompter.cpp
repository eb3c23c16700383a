#include "prompter.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace busprobe {
namespace {

// "VEK Network Log (*.LOG)|*.LOG|All Files (*.*)|*.*" to Qt's ";;" form.
QString qtFilter(const QString& filter) {
    QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2) {
        names << parts[i];
    }
    return names.join(QStringLiteral(";;"));
}

QString runFileDialog(QWidget* parent, const QString& title, const QString& filter,
                      const QString& defaultSuffix, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, title, QString(), qtFilter(filter));
    dialog.setAcceptMode(mode);
    dialog.setDefaultSuffix(defaultSuffix.startsWith(QLatin1Char('.')) ? defaultSuffix.mid(1)
                                                                       : defaultSuffix);
    // Overwrite questions are the callers' own.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

}  // namespace

bool Prompter::askYesNo(QWidget* parent, const QString& text, const QString& caption) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void Prompter::warn(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox::warning(parent, caption, text);
}

QString Prompter::openFileName(QWidget* parent, const QString& title, const QString& filter,
                               const QString& defaultSuffix) {
    return runFileDialog(parent, title, filter, defaultSuffix, QFileDialog::AcceptOpen);
}

QString Prompter::saveFileName(QWidget* parent, const QString& title, const QString& filter,
                               const QString& defaultSuffix) {
    return runFileDialog(parent, title, filter, defaultSuffix, QFileDialog::AcceptSave);
}

}  // namespace busprobe
