#pragma once

#include "window/DialogPrompts.h"

namespace bitexa {

// The real thing: message boxes and file dialogs.
class QtDialogPrompts final : public DialogPrompts {
public:
    void ShowError(QWidget* owner, const QString& text, const QString& caption) override;
    std::optional<QString> AskSaveFileName(QWidget* owner, const QString& folder) override;
    bool ConfirmOverwrite(QWidget* owner, const QString& path) override;
    std::optional<QString> AskOpenFileName(QWidget* owner, const QString& path) override;
    bool ConfirmDiscardCorrections(QWidget* owner) override;
    std::optional<QString> AskLanguage(QWidget* owner, const QString& side) override;
    void ShowNotice(QWidget* owner, const QString& text, const QString& caption) override;
};

} // namespace bitexa
