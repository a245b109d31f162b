#include "window/QtDialogPrompts.h"

#include "res/Strings.h"
#include "window/QtText.h"
#include "window/SaveFileDialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace bitexa {

void QtDialogPrompts::ShowError(QWidget* owner, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

std::optional<QString> QtDialogPrompts::AskSaveFileName(QWidget* owner) {
    QFileDialog dialog(owner);
    ConfigureSaveDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

bool QtDialogPrompts::ConfirmOverwrite(QWidget* owner, const QString& path) {
    QMessageBox box(QMessageBox::Warning, ToQString(OverwriteCaption),
                    ToQString(OverwriteQuestion).arg(path), QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace bitexa
