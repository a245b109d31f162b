#pragma once

#include "run/Export.h"
#include "run/RunCommand.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QIcon>
#include <QPointer>
#include <QTimer>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSlider;

namespace bitexa {

class BackgroundRun;
class CAlignView;
class CTextDialog;
class DialogPrompts;
class RunProgressDialog;

// The program's main window: the two paths, the two split modes, the sensitivity slider, Start,
// Save and a "..." button per side. Every command hands over to the code that does the work;
// the dialog keeps what lives from one run to the next and owns the alignment view, the two
// text windows and the progress window. A run goes on on a thread of its own while the window
// keeps answering.
class CBitexaDlg : public QDialog {
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
    RunProgressDialog* ProgressDialog() const { return m_pProgressDlg.get(); }
    bool RunInProgress() const { return m_run != nullptr; }

    // How long a run goes on before its progress is shown, in milliseconds.
    static constexpr int ProgressDelay = 500;

signals:
    // A run ended: done, stopped by the user, or failed.
    void RunEnded();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct PendingRun;

    void DoDataExchange();
    void OnInitDialog();
    void OnStart();
    void OnShowSourceText();
    void OnShowTargetText();
    void OnSave();
    void OnClose();
    void OnBrowse(QLineEdit* pathEdit);
    void OnShowView();
    // Sees every event of the dialog and its controls before they do.
    bool PreTranslateMessage(QObject* target, QEvent* event);

    void AddPathPicker(QLineEdit* pathEdit);
    void StartRun(RunInputs inputs);
    void OnRunFinished(std::exception_ptr failure);
    void TakeOverRun(PendingRun& run);
    void EndRun();
    void SetRunning(bool running);
    void OnProgressTick();
    void ClearResult();

    void ShowSideText(std::unique_ptr<CTextDialog>& window, std::u16string_view title,
                      QLineEdit* pathEdit, QComboBox* splitCombo, SentenceList& list);
    std::optional<QString> AskSavePath();
    // Writes the rows the view shows in the format asked for.
    Status WriteShownRows(const std::wstring& file, const ExportOptions& options,
                          ExportCounts& counts);
    // Fills in the language of each side a TMX file cannot take from the split mode; false when
    // the user cancels.
    bool AskTmxLanguages(ExportOptions& options);
    QString SaveFolder() const;
    RunInputs InputsFromControls() const;
    void ApplySettings(const RunInputs& inputs);
    Report ErrorReport();
    // Runs a command; a failure to get memory gives it up with the message and goes on, after
    // `cleanUp` has put right what the command left half done.
    template <typename Command, typename CleanUp>
    void WithinMemory(Command&& command, CleanUp&& cleanUp);
    template <typename Command> void WithinMemory(Command&& command);
    void ReportError(const std::wstring& text, const std::wstring& caption);

    // The window steps of a run, once its rows are there.
    void CreateViewIfAbsent();
    void UpdateRowCount(const RunInputs& inputs);
    void ShowView();
    void EnableSave();

    QIcon m_hIcon;
    std::wstring m_settingsPath;
    DialogPrompts& m_prompts;
    RunState m_state;
    std::unique_ptr<CTextDialog> m_pSourceTextDlg;
    std::unique_ptr<CTextDialog> m_pTargetTextDlg;
    std::unique_ptr<CAlignView> m_pAlignView;
    std::unique_ptr<RunProgressDialog> m_pProgressDlg;

    QSlider* m_sensitivitySlider = nullptr;
    QComboBox* m_sourceSplitCombo = nullptr;
    QComboBox* m_targetSplitCombo = nullptr;
    QLineEdit* m_sourcePathEdit = nullptr;
    QLineEdit* m_targetPathEdit = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_startButton = nullptr;
    QPushButton* m_sourceTextButton = nullptr;
    QPushButton* m_targetTextButton = nullptr;
    QCheckBox* m_lexicalModelCheck = nullptr;

    // While a run goes on: whether Save was enabled before it, the button that had the focus
    // and the control that the focus went on to, and how long the run has taken.
    bool m_saveEnabledBeforeRun = false;
    QPointer<QWidget> m_focusBeforeRun;
    QPointer<QWidget> m_focusDuringRun;
    QTimer m_progressTimer;
    QElapsedTimer m_runClock;
    // The folder of the last file saved to; the Save dialog starts there.
    QString m_lastSaveFolder;
    // A message is on screen: the time the user takes to read it is no time the run takes.
    bool m_showingMessage = false;
    // The run going on, if any. Last, so that its thread has stopped before anything of the
    // dialog goes.
    std::unique_ptr<PendingRun> m_run;
};

} // namespace bitexa
