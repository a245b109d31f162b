#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace bitexa {

// The modal questions and messages of the main dialog. The program shows real message boxes and
// the save-file dialog; window tests answer them in place of a person.
class DialogPrompts {
public:
    virtual ~DialogPrompts() = default;

    // A modal message box owned by the window, with the error icon and one OK button. Returns
    // when the user has closed it.
    virtual void ShowError(QWidget* owner, const QString& text, const QString& caption) = 0;

    // The save-file dialog of the Save command; nothing when the user cancels it.
    virtual std::optional<QString> AskSaveFileName(QWidget* owner) = 0;

    // Whether the user agrees to replace the existing file at path.
    virtual bool ConfirmOverwrite(QWidget* owner, const QString& path) = 0;
};

} // namespace bitexa
