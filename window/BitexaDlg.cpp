#include "window/BitexaDlg.h"

#include "res/DialogTemplates.h"
#include "res/Strings.h"
#include "run/ResultFile.h"
#include "run/Settings.h"
#include "text/LineSplitter.h"
#include "text/TextLoader.h"
#include "window/AlignView.h"
#include "window/DialogBuilder.h"
#include "window/DialogPrompts.h"
#include "window/ProgramIcon.h"
#include "window/QtText.h"
#include "window/TextDialog.h"
#include "window/WaitCursor.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QUrl>

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

} // namespace

CBitexaDlg::CBitexaDlg(std::wstring settingsPath, DialogPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_hIcon(ProgramIcon()), m_settingsPath(std::move(settingsPath)),
      m_prompts(prompts) {
    m_state.window = this;
    const std::vector<QWidget*> controls = BuildDialog(MainDialogTemplate(), *this);
    installEventFilter(this);
    for (QWidget* control : controls) {
        control->installEventFilter(this);
    }
    DoDataExchange();

    connect(FindControl<QPushButton>(*this, ControlIds::Start), &QPushButton::clicked, this,
            &CBitexaDlg::OnStart);
    connect(FindControl<QPushButton>(*this, ControlIds::ShowSourceText), &QPushButton::clicked,
            this, &CBitexaDlg::OnShowSourceText);
    connect(FindControl<QPushButton>(*this, ControlIds::ShowTargetText), &QPushButton::clicked,
            this, &CBitexaDlg::OnShowTargetText);
    connect(m_saveButton, &QPushButton::clicked, this, &CBitexaDlg::OnSave);

    OnInitDialog();
}

CBitexaDlg::~CBitexaDlg() = default;

void CBitexaDlg::DoDataExchange() {
    m_sensitivitySlider = FindControl<QSlider>(*this, ControlIds::Sensitivity);
    m_sourceSplitCombo = FindControl<QComboBox>(*this, ControlIds::SourceSplit);
    m_targetSplitCombo = FindControl<QComboBox>(*this, ControlIds::TargetSplit);
    m_sourcePathEdit = FindControl<QLineEdit>(*this, ControlIds::SourcePath);
    m_targetPathEdit = FindControl<QLineEdit>(*this, ControlIds::TargetPath);
    m_saveButton = FindControl<QPushButton>(*this, ControlIds::Save);
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

    FindControl<QPushButton>(*this, ControlIds::Start)->setFocus();
}

void CBitexaDlg::ApplySettings(const RunInputs& inputs) {
    m_sourcePathEdit->setText(ToQString(inputs.sourcePath));
    m_targetPathEdit->setText(ToQString(inputs.targetPath));
    // An index outside the entries selects nothing; the slider clamps to its range.
    m_sourceSplitCombo->setCurrentIndex(inputs.sourceMode);
    m_targetSplitCombo->setCurrentIndex(inputs.targetMode);
    m_sensitivitySlider->setValue(inputs.sliderPosition);
}

RunInputs CBitexaDlg::InputsFromControls() const {
    RunInputs inputs;
    inputs.sourcePath = FromQString(m_sourcePathEdit->text());
    inputs.sourceMode = m_sourceSplitCombo->currentIndex();
    inputs.targetPath = FromQString(m_targetPathEdit->text());
    inputs.targetMode = m_targetSplitCombo->currentIndex();
    inputs.sliderPosition = m_sensitivitySlider->value();
    return inputs;
}

Report CBitexaDlg::ErrorReport() {
    return [this](const std::wstring& text, const std::wstring& caption) {
        ReportError(text, caption);
    };
}

void CBitexaDlg::ReportError(const std::wstring& text, const std::wstring& caption) {
    m_prompts.ShowError(this, ToQString(text), ToQString(caption));
}

template <typename Command> void CBitexaDlg::WithinMemory(Command&& command) {
    try {
        command();
    } catch (const std::bad_alloc&) {
        // The command is given up and the program goes on. A run that failed so left its rows
        // empty, never half built: the view is told so before the message.
        UpdateRowCount();
        ReportError(OutOfMemoryMessage, ErrorCaption);
    }
}

void CBitexaDlg::OnStart() {
    WithinMemory([this] { RunAlignment(InputsFromControls(), m_state, ErrorReport()); });
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

std::optional<QString> CBitexaDlg::AskSavePath() {
    for (;;) {
        std::optional<QString> path = m_prompts.AskSaveFileName(this);
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
        Status result;
        {
            WaitCursor wait;
            result = WriteResultFile(file, m_state.resultText);
        }
        if (!result.ok()) {
            ReportError(SaveFailedMessage(file, result.reason), ErrorCaption);
        }
    });
}

void CBitexaDlg::OnClose() {
    // A settings file that cannot be written costs only the remembered inputs: no message.
    SaveSettings(m_settingsPath, InputsFromControls());
}

void CBitexaDlg::closeEvent(QCloseEvent* event) {
    OnClose();
    QDialog::closeEvent(event);
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
        m_pAlignView =
            std::make_unique<CAlignView>(this, m_state.sourceColumn, m_state.targetColumn);
    }
}

void CBitexaDlg::UpdateRowCount() {
    if (m_pAlignView) {
        m_pAlignView->UpdateRowCount();
    }
}

void CBitexaDlg::ShowView() {
    if (m_pAlignView) {
        m_pAlignView->show();
    }
}

void CBitexaDlg::EnableSave() {
    m_saveButton->setEnabled(true);
}

} // namespace bitexa
