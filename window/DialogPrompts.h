#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace bitexa {

// The modal questions and messages of the main dialog. The program shows real message boxes and
// file dialogs; window tests answer them in place of a person.
class DialogPrompts {
public:
    virtual ~DialogPrompts() = default;

    // A modal message box owned by the window, with the error icon and one OK button. Returns
    // when the user has closed it.
    virtual void ShowError(QWidget* owner, const QString& text, const QString& caption) = 0;

    // The save-file dialog of the Save command, opened in `folder` (the platform's choice when
    // empty); nothing when the user cancels it.
    virtual std::optional<QString> AskSaveFileName(QWidget* owner, const QString& folder) = 0;

    // Whether the user agrees to replace the existing file at path.
    virtual bool ConfirmOverwrite(QWidget* owner, const QString& path) = 0;

    // The open-file dialog of a path field, starting at `path` (its folder, or the file when it
    // exists; the platform's choice when empty); nothing when the user cancels it.
    virtual std::optional<QString> AskOpenFileName(QWidget* owner, const QString& path) = 0;

    // Whether the user agrees to drop the corrections of the alignment view that were not saved.
    virtual bool ConfirmDiscardCorrections(QWidget* owner) = 0;

    // The language tag of a side ("Source" or "Target") whose split mode does not tell it, for
    // a TMX file; nothing when the user cancels.
    virtual std::optional<QString> AskLanguage(QWidget* owner, const QString& side) = 0;

    // A modal message box owned by the window with the information icon and one OK button.
    virtual void ShowNotice(QWidget* owner, const QString& text, const QString& caption) = 0;
};

} // namespace bitexa
