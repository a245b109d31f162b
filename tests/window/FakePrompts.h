#pragma once

#include "window/DialogPrompts.h"

#include <QString>
#include <QWidget>

#include <deque>
#include <functional>
#include <new>
#include <optional>
#include <vector>

namespace bitexa {

// Answers the main dialog's modal questions in place of a person and remembers what it was asked.
class FakePrompts final : public DialogPrompts {
public:
    struct Message {
        QString text;
        QString caption;
        QWidget* owner = nullptr;
    };

    std::vector<Message> errors;
    // Each save dialog takes the next answer; when none is left the user cancels.
    std::deque<QString> saveAnswers;
    int saveDialogs = 0;
    // The folder each save dialog was opened in.
    std::vector<QString> saveFolders;
    // Each open dialog takes the next answer and remembers where it started; none left cancels.
    std::deque<QString> openAnswers;
    std::vector<QString> openStarts;
    // Each question about unsaved corrections takes the next answer; none left declines.
    std::deque<bool> discardAnswers;
    int discardQuestions = 0;
    // Called while an error box would be on screen, before it is closed.
    std::function<void()> whileErrorShown;
    std::deque<bool> overwriteAnswers;
    std::vector<QString> overwriteQuestions;
    // The next error box fails for want of memory, as if the failure had happened right there.
    bool failNextError = false;
    // Each language question takes the next answer and remembers the side; none left cancels.
    std::deque<QString> languageAnswers;
    std::vector<QString> languageSides;
    std::vector<Message> notices;

    void ShowError(QWidget* owner, const QString& text, const QString& caption) override {
        if (failNextError) {
            failNextError = false;
            throw std::bad_alloc();
        }
        errors.push_back({text, caption, owner});
        if (whileErrorShown) {
            whileErrorShown();
        }
    }

    std::optional<QString> AskSaveFileName(QWidget*, const QString& folder) override {
        ++saveDialogs;
        saveFolders.push_back(folder);
        if (saveAnswers.empty()) {
            return std::nullopt;
        }
        QString answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }

    bool ConfirmOverwrite(QWidget*, const QString& path) override {
        overwriteQuestions.push_back(path);
        if (overwriteAnswers.empty()) {
            return false;
        }
        const bool answer = overwriteAnswers.front();
        overwriteAnswers.pop_front();
        return answer;
    }

    std::optional<QString> AskOpenFileName(QWidget*, const QString& path) override {
        openStarts.push_back(path);
        if (openAnswers.empty()) {
            return std::nullopt;
        }
        QString answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }

    std::optional<QString> AskLanguage(QWidget*, const QString& side) override {
        languageSides.push_back(side);
        if (languageAnswers.empty()) {
            return std::nullopt;
        }
        QString answer = languageAnswers.front();
        languageAnswers.pop_front();
        return answer;
    }

    void ShowNotice(QWidget* owner, const QString& text, const QString& caption) override {
        notices.push_back({text, caption, owner});
    }

    bool ConfirmDiscardCorrections(QWidget*) override {
        ++discardQuestions;
        if (discardAnswers.empty()) {
            return false;
        }
        const bool answer = discardAnswers.front();
        discardAnswers.pop_front();
        return answer;
    }
};

} // namespace bitexa
