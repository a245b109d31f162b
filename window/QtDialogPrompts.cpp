#include "window/QtDialogPrompts.h"

#include "res/Strings.h"
#include "window/QtText.h"
#include "window/SaveFileDialog.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

namespace bitexa {

namespace {

std::optional<QString> ChosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

} // namespace

void QtDialogPrompts::ShowError(QWidget* owner, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

std::optional<QString> QtDialogPrompts::AskSaveFileName(QWidget* owner, const QString& folder) {
    QFileDialog dialog(owner);
    ConfigureSaveDialog(dialog, folder);
    return ChosenFile(dialog);
}

bool QtDialogPrompts::ConfirmOverwrite(QWidget* owner, const QString& path) {
    QMessageBox box(QMessageBox::Warning, ToQString(OverwriteCaption),
                    ToQString(OverwriteQuestion).arg(path), QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogPrompts::AskOpenFileName(QWidget* owner, const QString& path) {
    QFileDialog dialog(owner);
    ConfigureOpenDialog(dialog, path);
    return ChosenFile(dialog);
}

bool QtDialogPrompts::ConfirmDiscardCorrections(QWidget* owner) {
    QMessageBox box(QMessageBox::Warning, ToQString(DiscardCorrectionsCaption),
                    ToQString(DiscardCorrectionsQuestion), QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtDialogPrompts::AskLanguage(QWidget* owner, const QString& side) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(owner, ToQString(LanguageCaption),
                                                 ToQString(LanguageQuestion).arg(side),
                                                 QLineEdit::Normal, {}, &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    return answer.trimmed();
}

void QtDialogPrompts::ShowNotice(QWidget* owner, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace bitexa
