#pragma once

#include "run/RunCommand.h"

#include <QDialog>
#include <QIcon>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace bitexa {

class CAlignView;
class CTextDialog;
class DialogPrompts;

// The program's main window: the two paths, the two split modes, the sensitivity slider, Start,
// Save and a "..." button per side. Every command hands over to the code that does the work;
// the dialog keeps what lives from one run to the next and owns the alignment view and the two
// text windows.
class CBitexaDlg : public QDialog, private RunWindow {
    Q_OBJECT

public:
    // settingsPath is read now and written when the dialog closes; prompts answers the modal
    // questions and must outlive the dialog.
    CBitexaDlg(std::wstring settingsPath, DialogPrompts& prompts, QWidget* parent = nullptr);
    ~CBitexaDlg() override;

    // What the runs and the text windows have left, for whoever looks at the dialog from outside.
    const RunState& State() const { return m_state; }
    CAlignView* AlignView() const { return m_pAlignView.get(); }
    CTextDialog* SourceTextDialog() const { return m_pSourceTextDlg.get(); }
    CTextDialog* TargetTextDialog() const { return m_pTargetTextDlg.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void DoDataExchange();
    void OnInitDialog();
    void OnStart();
    void OnShowSourceText();
    void OnShowTargetText();
    void OnSave();
    void OnClose();
    // Sees every event of the dialog and its controls before they do.
    bool PreTranslateMessage(QObject* target, QEvent* event);

    void ShowSideText(std::unique_ptr<CTextDialog>& window, std::u16string_view title,
                      QLineEdit* pathEdit, QComboBox* splitCombo, SentenceList& list);
    std::optional<QString> AskSavePath();
    RunInputs InputsFromControls() const;
    void ApplySettings(const RunInputs& inputs);
    Report ErrorReport();
    // Runs a command; a failure to get memory gives it up with the message and goes on.
    template <typename Command> void WithinMemory(Command&& command);
    void ReportError(const std::wstring& text, const std::wstring& caption);

    // The window steps of a run.
    void CreateViewIfAbsent() override;
    void UpdateRowCount() override;
    void ShowView() override;
    void EnableSave() override;

    QIcon m_hIcon;
    std::wstring m_settingsPath;
    DialogPrompts& m_prompts;
    RunState m_state;
    // Declared after the state whose column lists the view shows, so they go first.
    std::unique_ptr<CTextDialog> m_pSourceTextDlg;
    std::unique_ptr<CTextDialog> m_pTargetTextDlg;
    std::unique_ptr<CAlignView> m_pAlignView;

    QSlider* m_sensitivitySlider = nullptr;
    QComboBox* m_sourceSplitCombo = nullptr;
    QComboBox* m_targetSplitCombo = nullptr;
    QLineEdit* m_sourcePathEdit = nullptr;
    QLineEdit* m_targetPathEdit = nullptr;
    QPushButton* m_saveButton = nullptr;
};

} // namespace bitexa
