#include "window/BitexaDlg.h"

#include "res/DialogTemplates.h"
#include "res/Strings.h"
#include "run/CellText.h"
#include "run/Export.h"
#include "run/LanguageTag.h"
#include "run/ResultFile.h"
#include "run/Settings.h"
#include "text/LineSplitter.h"
#include "text/TextLoader.h"
#include "window/AlignView.h"
#include "window/AlignmentRows.h"
#include "window/BackgroundRun.h"
#include "window/DialogBuilder.h"
#include "window/DialogPrompts.h"
#include "window/ProgramIcon.h"
#include "window/QtText.h"
#include "window/RunProgressDialog.h"
#include "window/TextDialog.h"
#include "window/WaitCursor.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QUrl>

#include <algorithm>
#include <new>

namespace bitexa {

namespace {

// Range of the sensitivity slider; position 0 is the mark "↑1.0".
constexpr int SliderMinimum = -9;
constexpr int SliderMaximum = 9;
// The trackbar's own page size: a fifth of its range.
constexpr int SliderPageSize = (SliderMaximum - SliderMinimum) / 5;

// Enter and Escape would press a button or close the dialog; here they do neither. Alt with
// them is another key and passes.
bool IsSwallowedKey(const QKeyEvent& event) {
    const int key = event.key();
    return (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) &&
           !(event.modifiers() & Qt::AltModifier);
}

// The first file of a drop, whatever follows it; nothing when the drop holds no local file.
std::optional<QString> FirstDroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return std::nullopt;
    }
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile()) {
        return std::nullopt;
    }
    return urls.constFirst().toLocalFile();
}

// A name with wildcards is a pattern for the list of files, as the dialog's initial "*.txt" is,
// not the name of a file to write.
bool IsPattern(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// How often the progress window follows the run, in milliseconds.
constexpr int ProgressInterval = 100;

// The segments of a side as the user counts them: those with text (the leading entry and blank
// lines are none).
std::size_t SegmentCount(const SentenceList& list) {
    return static_cast<std::size_t>(std::count_if(
        list.begin(), list.end(), [](const std::wstring& segment) { return !segment.empty(); }));
}

} // namespace

// A run on its way: its inputs, the state it fills (never the dialog's own, so a run that is
// stopped leaves everything as it was) and its thread, last so that it stops first.
struct CBitexaDlg::PendingRun {
    RunInputs inputs;
    RunState state;
    std::unique_ptr<BackgroundRun> thread;
};

CBitexaDlg::CBitexaDlg(std::wstring settingsPath, DialogPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_hIcon(ProgramIcon()), m_settingsPath(std::move(settingsPath)),
      m_prompts(prompts) {
    const std::vector<QWidget*> controls = BuildDialog(MainDialogTemplate(), *this);
    installEventFilter(this);
    for (QWidget* control : controls) {
        control->installEventFilter(this);
    }
    DoDataExchange();

    connect(m_startButton, &QPushButton::clicked, this, &CBitexaDlg::OnStart);
    connect(m_sourceTextButton, &QPushButton::clicked, this, &CBitexaDlg::OnShowSourceText);
    connect(m_targetTextButton, &QPushButton::clicked, this, &CBitexaDlg::OnShowTargetText);
    connect(m_saveButton, &QPushButton::clicked, this, &CBitexaDlg::OnSave);
    AddPathPicker(m_sourcePathEdit);
    AddPathPicker(m_targetPathEdit);

    // F6 brings the alignment view back after Escape or the close box has hidden it.
    auto* showView = new QAction(this);
    showView->setShortcut(QKeySequence(Qt::Key_F6));
    showView->setShortcutContext(Qt::WindowShortcut);
    addAction(showView);
    connect(showView, &QAction::triggered, this, &CBitexaDlg::OnShowView);

    m_progressTimer.setInterval(ProgressInterval);
    connect(&m_progressTimer, &QTimer::timeout, this, &CBitexaDlg::OnProgressTick);

    OnInitDialog();
}

CBitexaDlg::~CBitexaDlg() = default;

void CBitexaDlg::AddPathPicker(QLineEdit* pathEdit) {
    // The picker adds to the field and changes nothing of the dialog's layout: Ctrl+O in the
    // field, and an entry below the field's own editing commands in its context menu.
    auto* browse = new QAction(ToQString(BrowseAction), pathEdit);
    browse->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    browse->setShortcutContext(Qt::WidgetShortcut);
    pathEdit->addAction(browse);
    connect(browse, &QAction::triggered, this, [this, pathEdit] { OnBrowse(pathEdit); });
    pathEdit->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(pathEdit, &QWidget::customContextMenuRequested, this,
            [pathEdit, browse](const QPoint& where) {
                const std::unique_ptr<QMenu> menu(pathEdit->createStandardContextMenu());
                menu->addSeparator();
                menu->addAction(browse);
                menu->exec(pathEdit->mapToGlobal(where));
            });
}

void CBitexaDlg::OnBrowse(QLineEdit* pathEdit) {
    const std::optional<QString> path = m_prompts.AskOpenFileName(this, pathEdit->text());
    if (path) {
        pathEdit->setText(QDir::toNativeSeparators(*path));
    }
}

void CBitexaDlg::OnShowView() {
    if (m_pAlignView) {
        m_pAlignView->ShowBeside(*this);
        m_pAlignView->raise();
        m_pAlignView->activateWindow();
    }
}

void CBitexaDlg::DoDataExchange() {
    m_sensitivitySlider = FindControl<QSlider>(*this, ControlIds::Sensitivity);
    m_sourceSplitCombo = FindControl<QComboBox>(*this, ControlIds::SourceSplit);
    m_targetSplitCombo = FindControl<QComboBox>(*this, ControlIds::TargetSplit);
    m_sourcePathEdit = FindControl<QLineEdit>(*this, ControlIds::SourcePath);
    m_targetPathEdit = FindControl<QLineEdit>(*this, ControlIds::TargetPath);
    m_saveButton = FindControl<QPushButton>(*this, ControlIds::Save);
    m_startButton = FindControl<QPushButton>(*this, ControlIds::Start);
    m_sourceTextButton = FindControl<QPushButton>(*this, ControlIds::ShowSourceText);
    m_targetTextButton = FindControl<QPushButton>(*this, ControlIds::ShowTargetText);
    m_lexicalModelCheck = FindControl<QCheckBox>(*this, ControlIds::LexicalModel);
}

void CBitexaDlg::OnInitDialog() {
    setWindowIcon(m_hIcon);

    // The range comes before the stored position, which may be negative.
    m_sensitivitySlider->setRange(SliderMinimum, SliderMaximum);
    m_sensitivitySlider->setPageStep(SliderPageSize);

    // The entries come before the stored selections; an entry's index is its split mode.
    for (QComboBox* combo : {m_sourceSplitCombo, m_targetSplitCombo}) {
        for (std::u16string_view name : SplitModeNames) {
            combo->addItem(ToQString(name));
        }
    }

    m_saveButton->setEnabled(!m_state.resultText.empty());
    ApplySettings(LoadSettings(m_settingsPath));

    m_startButton->setFocus();
}

void CBitexaDlg::ApplySettings(const RunInputs& inputs) {
    m_sourcePathEdit->setText(ToQString(inputs.sourcePath));
    m_targetPathEdit->setText(ToQString(inputs.targetPath));
    // An index outside the entries selects nothing; the slider clamps to its range.
    m_sourceSplitCombo->setCurrentIndex(inputs.sourceMode);
    m_targetSplitCombo->setCurrentIndex(inputs.targetMode);
    m_sensitivitySlider->setValue(inputs.sliderPosition);
    m_lexicalModelCheck->setChecked(inputs.model == AlignModel::Lexical);
}

RunInputs CBitexaDlg::InputsFromControls() const {
    RunInputs inputs;
    inputs.sourcePath = FromQString(m_sourcePathEdit->text());
    inputs.sourceMode = m_sourceSplitCombo->currentIndex();
    inputs.targetPath = FromQString(m_targetPathEdit->text());
    inputs.targetMode = m_targetSplitCombo->currentIndex();
    inputs.sliderPosition = m_sensitivitySlider->value();
    inputs.model = m_lexicalModelCheck->isChecked() ? AlignModel::Lexical : AlignModel::Length;
    return inputs;
}

Report CBitexaDlg::ErrorReport() {
    return [this](const std::wstring& text, const std::wstring& caption) {
        ReportError(text, caption);
    };
}

void CBitexaDlg::ReportError(const std::wstring& text, const std::wstring& caption) {
    m_showingMessage = true;
    try {
        m_prompts.ShowError(this, ToQString(text), ToQString(caption));
    } catch (...) {
        m_showingMessage = false;
        throw;
    }
    m_showingMessage = false;
}

template <typename Command, typename CleanUp>
void CBitexaDlg::WithinMemory(Command&& command, CleanUp&& cleanUp) {
    try {
        command();
    } catch (const std::bad_alloc&) {
        // The command is given up and the program goes on; what it left half done is put
        // right before the message.
        cleanUp();
        ReportError(OutOfMemoryMessage, ErrorCaption);
    }
}

template <typename Command> void CBitexaDlg::WithinMemory(Command&& command) {
    WithinMemory(std::forward<Command>(command), [] {});
}

void CBitexaDlg::OnStart() {
    if (m_run) {
        return;
    }
    if (m_pAlignView && m_pAlignView->HasUnsavedCorrections() &&
        !m_prompts.ConfirmDiscardCorrections(this)) {
        return;
    }
    WithinMemory([this] { StartRun(InputsFromControls()); });
}

void CBitexaDlg::StartRun(RunInputs inputs) {
    auto run = std::make_unique<PendingRun>();
    run->inputs = std::move(inputs);
    // A side whose path is empty is aligned as the last run or its text window left it; the
    // other side is loaded afresh and needs no copy.
    if (run->inputs.sourcePath.empty()) {
        run->state.sourceSentences = m_state.sourceSentences;
    }
    if (run->inputs.targetPath.empty()) {
        run->state.targetSentences = m_state.targetSentences;
    }
    PendingRun& pending = *run;
    run->thread = std::make_unique<BackgroundRun>(
        this, ErrorReport(),
        [&pending](const AlignControl& control, const Report& report) {
            RunAlignment(pending.inputs, pending.state, report, &control);
        },
        [this](std::exception_ptr failure) { OnRunFinished(failure); });
    m_run = std::move(run);
    SetRunning(true);
}

void CBitexaDlg::OnRunFinished(std::exception_ptr failure) {
    std::unique_ptr<PendingRun> run = std::move(m_run);
    run->thread.reset();
    EndRun();
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const AlignmentCancelled&) {
            // Stopped by the user: the last run's rows, view and Save stay as they were.
        } catch (...) {
            // A run that failed for want of memory leaves no rows, never half of them.
            WithinMemory([&] { std::rethrow_exception(failure); }, [this] { ClearResult(); });
        }
    } else {
        WithinMemory([&] { TakeOverRun(*run); }, [this] { ClearResult(); });
    }
    emit RunEnded();
}

void CBitexaDlg::TakeOverRun(PendingRun& run) {
    m_state.sourceSentences = std::move(run.state.sourceSentences);
    m_state.targetSentences = std::move(run.state.targetSentences);
    m_state.resultText = std::move(run.state.resultText);
    m_state.sourceColumn = std::move(run.state.sourceColumn);
    m_state.targetColumn = std::move(run.state.targetColumn);
    m_state.rowInfo = std::move(run.state.rowInfo);
    m_state.sourceMode = run.state.sourceMode;
    m_state.targetMode = run.state.targetMode;
    m_state.notes = std::move(run.state.notes);
    CreateViewIfAbsent();
    UpdateRowCount(run.inputs);
    ShowView();
    EnableSave();
}

void CBitexaDlg::ClearResult() {
    ColumnList().swap(m_state.sourceColumn);
    ColumnList().swap(m_state.targetColumn);
    RowInfoList().swap(m_state.rowInfo);
    std::wstring().swap(m_state.resultText);
    if (m_pAlignView) {
        m_pAlignView->ShowRows({}, {}, 0, 0);
    }
}

void CBitexaDlg::SetRunning(bool running) {
    if (running) {
        m_focusBeforeRun = focusWidget();
        m_saveEnabledBeforeRun = m_saveButton->isEnabled();
    }
    m_startButton->setEnabled(!running);
    m_sourceTextButton->setEnabled(!running);
    m_targetTextButton->setEnabled(!running);
    m_lexicalModelCheck->setEnabled(!running);
    m_saveButton->setEnabled(!running && m_saveEnabledBeforeRun);
    if (running) {
        m_focusDuringRun = focusWidget();
        m_runClock.start();
        m_progressTimer.start();
    } else {
        m_progressTimer.stop();
        if (m_pProgressDlg) {
            m_pProgressDlg->hide();
        }
    }
    if (m_pAlignView) {
        m_pAlignView->SetReadOnly(running);
    }
}

void CBitexaDlg::EndRun() {
    SetRunning(false);
    // Disabling the pressed button moved the focus on; unless the user has put it somewhere
    // since, it goes back for the next press.
    if (m_focusBeforeRun && m_focusBeforeRun->isEnabled() && focusWidget() == m_focusDuringRun) {
        m_focusBeforeRun->setFocus();
    }
}

void CBitexaDlg::OnProgressTick() {
    if (m_showingMessage) {
        m_runClock.start();
    }
    if (!m_run || m_runClock.elapsed() < ProgressDelay) {
        return;
    }
    if (!m_pProgressDlg) {
        m_pProgressDlg = std::make_unique<RunProgressDialog>(this);
        connect(m_pProgressDlg.get(), &RunProgressDialog::CancelRequested, this, [this] {
            if (m_run) {
                m_run->thread->Cancel();
            }
        });
    }
    if (m_pProgressDlg->isHidden()) {
        m_pProgressDlg->Reset();
        m_pProgressDlg->show();
    }
    const BackgroundRun::Progress progress = m_run->thread->CurrentProgress();
    m_pProgressDlg->SetProgress(progress.done, progress.total);
}

void CBitexaDlg::OnShowSourceText() {
    ShowSideText(m_pSourceTextDlg, SourceTitle, m_sourcePathEdit, m_sourceSplitCombo,
                 m_state.sourceSentences);
}

void CBitexaDlg::OnShowTargetText() {
    ShowSideText(m_pTargetTextDlg, TargetTitle, m_targetPathEdit, m_targetSplitCombo,
                 m_state.targetSentences);
}

void CBitexaDlg::ShowSideText(std::unique_ptr<CTextDialog>& window, std::u16string_view title,
                              QLineEdit* pathEdit, QComboBox* splitCombo, SentenceList& list) {
    WithinMemory([&] {
        // A list of fewer than two entries holds no segment: load the side as a run would.
        if (list.size() < 2) {
            LoadSentenceList(FromQString(pathEdit->text()), splitCombo->currentIndex(), list,
                             ErrorReport());
        }
        if (window) {
            // The window's text, as the user may have edited it, becomes the side's list.
            list.clear();
            SplitLines(FromQString(window->Text()), list);
        } else {
            // No parent: the text window has a task-bar entry of its own. The dialog owns it.
            window = std::make_unique<CTextDialog>(nullptr);
        }
        std::wstring text;
        for (std::size_t i = 1; i < list.size(); ++i) {
            text += list[i];
            text += L"\r\n";
        }
        window->SetText(ToQString(text));
        window->show();
        window->setWindowTitle(ToQString(title));
    });
}

QString CBitexaDlg::SaveFolder() const {
    if (!m_lastSaveFolder.isEmpty()) {
        return m_lastSaveFolder;
    }
    const QString source = m_sourcePathEdit->text();
    return source.isEmpty() ? QString() : QFileInfo(source).absolutePath();
}

std::optional<QString> CBitexaDlg::AskSavePath() {
    for (;;) {
        std::optional<QString> path = m_prompts.AskSaveFileName(this, SaveFolder());
        if (!path) {
            return std::nullopt;
        }
        if (IsPattern(*path)) {
            continue;
        }
        // Declining to replace a file goes back to the choice of a name.
        if (!QFileInfo::exists(*path) || m_prompts.ConfirmOverwrite(this, *path)) {
            return path;
        }
    }
}

void CBitexaDlg::OnSave() {
    WithinMemory([this] {
        const std::optional<QString> path = AskSavePath();
        if (!path) {
            return;
        }
        const std::wstring file = FromQString(*path);
        ExportOptions options;
        options.format = ExportFormatOfPath(file);
        if (options.format == ExportFormat::Tmx && !AskTmxLanguages(options)) {
            return;
        }
        Status result;
        ExportCounts counts;
        {
            WaitCursor wait;
            result = WriteShownRows(file, options, counts);
        }
        if (!result.ok()) {
            ReportError(SaveFailedMessage(file, result.reason), ErrorCaption);
            return;
        }
        m_lastSaveFolder = QFileInfo(*path).absolutePath();
        if (m_pAlignView) {
            m_pAlignView->MarkSaved();
        }
        if (const std::string notice = LeftOutNotice(counts); !notice.empty()) {
            m_prompts.ShowNotice(this, QString::fromStdString(notice) + QLatin1Char('.'),
                                 ToQString(SavedWithNoticeCaption));
        }
    });
}

Status CBitexaDlg::WriteShownRows(const std::wstring& file, const ExportOptions& options,
                                  ExportCounts& counts) {
    // The rows as the view shows them, corrections and all.
    const AlignTableModel* rows = m_pAlignView ? m_pAlignView->Model() : nullptr;
    if (rows == nullptr) {
        return ExportRun(file, m_state, options, counts);
    }
    if (options.format == ExportFormat::Utf16) {
        return WriteResultRows(file, rows->Column(Side::Source), rows->Column(Side::Target));
    }
    // A corrected cell may hold any number of segments: each is made ready for a translation
    // memory before the cells go to the export.
    ColumnList source;
    ColumnList target;
    for (const AlignedRow& row : rows->Rows()) {
        source.push_back(ExportSegmentsText(row.source, m_state.sourceMode));
        target.push_back(ExportSegmentsText(row.target, m_state.targetMode));
    }
    const ExportRows shown{source, target, nullptr, m_state.sourceMode, m_state.targetMode};
    return ExportRowsTo(file, shown, options, counts);
}

bool CBitexaDlg::AskTmxLanguages(ExportOptions& options) {
    // A side cut into lines only has no language the program knows of: the user names it.
    for (auto [language, mode, title] :
         {std::tuple{&options.sourceLanguage, m_state.sourceMode, SourceTitle},
          std::tuple{&options.targetLanguage, m_state.targetMode, TargetTitle}}) {
        if (!DefaultLanguage(mode).empty()) {
            continue;
        }
        for (;;) {
            const std::optional<QString> answer = m_prompts.AskLanguage(this, ToQString(title));
            if (!answer) {
                return false;
            }
            const std::string tag = answer->toStdString();
            if (IsLanguageTag(tag)) {
                *language = tag;
                break;
            }
            ReportError(FromQString(ToQString(NotALanguageMessage).arg(*answer)), ErrorCaption);
        }
    }
    return true;
}

void CBitexaDlg::OnClose() {
    // A run going on is stopped, not waited for: the program ends promptly.
    if (m_run) {
        m_run.reset();
        SetRunning(false);
    }
    // A settings file that cannot be written costs only the remembered inputs: no message.
    SaveSettings(m_settingsPath, InputsFromControls());
}

void CBitexaDlg::closeEvent(QCloseEvent* event) {
    OnClose();
    QDialog::closeEvent(event);
}

void CBitexaDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // The alignment view is minimised and restored with the dialog, when it is on screen.
    if (event->type() != QEvent::WindowStateChange || !m_pAlignView || m_pAlignView->isHidden()) {
        return;
    }
    const Qt::WindowStates viewState = m_pAlignView->windowState();
    if (isMinimized() && !(viewState & Qt::WindowMinimized)) {
        m_pAlignView->setWindowState(viewState | Qt::WindowMinimized);
    } else if (!isMinimized() && (viewState & Qt::WindowMinimized)) {
        m_pAlignView->setWindowState(viewState & ~Qt::WindowMinimized);
    }
}

bool CBitexaDlg::eventFilter(QObject* watched, QEvent* event) {
    return PreTranslateMessage(watched, event) || QDialog::eventFilter(watched, event);
}

bool CBitexaDlg::PreTranslateMessage(QObject* target, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return IsSwallowedKey(*static_cast<QKeyEvent*>(event));
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        // Only the two path fields take drops, and only of files: no text is dropped into them.
        if (target != m_sourcePathEdit && target != m_targetPathEdit) {
            return false;
        }
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<QString> file = FirstDroppedFile(drop->mimeData());
        if (!file) {
            drop->ignore();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            static_cast<QLineEdit*>(target)->setText(*file);
        }
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

void CBitexaDlg::CreateViewIfAbsent() {
    if (!m_pAlignView) {
        m_pAlignView = std::make_unique<CAlignView>(this);
    }
}

void CBitexaDlg::UpdateRowCount(const RunInputs& inputs) {
    m_pAlignView->ShowRows(RowsOfRun(m_state.sourceColumn, m_state.targetColumn, m_state.rowInfo,
                                     m_state.sourceSentences, m_state.targetSentences,
                                     SensitivityFromSlider(inputs.sliderPosition)),
                           {JoinerForMode(inputs.sourceMode), JoinerForMode(inputs.targetMode)},
                           SegmentCount(m_state.sourceSentences),
                           SegmentCount(m_state.targetSentences));
    // What the lexical model had to do without goes under the rows, where the user looks.
    QStringList notes;
    for (const std::wstring& note : m_state.notes) {
        notes.append(ToQString(note));
    }
    m_pAlignView->SetNotes(notes);
}

void CBitexaDlg::ShowView() {
    m_pAlignView->ShowBeside(*this);
}

void CBitexaDlg::EnableSave() {
    m_saveButton->setEnabled(true);
}

} // namespace bitexa
