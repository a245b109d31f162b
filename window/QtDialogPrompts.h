#pragma once

#include "window/DialogPrompts.h"

namespace bitexa {

// The real thing: message boxes and the save-file dialog.
class QtDialogPrompts final : public DialogPrompts {
public:
    void ShowError(QWidget* owner, const QString& text, const QString& caption) override;
    std::optional<QString> AskSaveFileName(QWidget* owner) override;
    bool ConfirmOverwrite(QWidget* owner, const QString& path) override;
};

} // namespace bitexa
