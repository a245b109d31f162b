#pragma once

#include "FakePrompts.h"
#include "TestFiles.h"
#include "res/DialogTemplates.h"
#include "window/AlignView.h"
#include "window/BitexaDlg.h"
#include "window/DialogBuilder.h"
#include "window/QtText.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

namespace bitexa {

// Two lines a side, cut into lines only: each line pairs with the line beside it, after the row
// of the two empty leading entries.
inline const QByteArray SourceText = "One.\nTwo.\n";
inline const QByteArray TargetText = "一。\n二。\n";
inline const QStringList ExpectedRows{QStringLiteral("|"), QStringLiteral("One.|一。"),
                                      QStringLiteral("Two.|二。")};
inline const QString ExpectedResult = QStringLiteral("\t\nOne.\t一。\nTwo.\t二。\n");

inline constexpr int LinesOnly = 0;

// Long enough for any run of these tests on a loaded machine under the sanitizers.
inline constexpr int RunTimeout = 120000;

// One main dialog with its own settings file and files, answered by fake prompts.
struct Fixture {
    QTemporaryDir dir;
    FakePrompts prompts;
    QString settingsPath = dir.filePath(QStringLiteral("bitexa.ini"));
    std::unique_ptr<CBitexaDlg> dialog;

    explicit Fixture(const std::optional<QByteArray>& settings = std::nullopt) {
        if (settings) {
            WriteTestFile(dir, QStringLiteral("bitexa.ini"), *settings);
        }
        Open();
    }

    void Open() {
        dialog = std::make_unique<CBitexaDlg>(FromQString(settingsPath), prompts);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    template <class Widget> Widget* Control(int id) const {
        return FindControl<Widget>(*dialog, id);
    }
    QLineEdit* SourcePath() const { return Control<QLineEdit>(ControlIds::SourcePath); }
    QLineEdit* TargetPath() const { return Control<QLineEdit>(ControlIds::TargetPath); }
    QComboBox* SourceSplit() const { return Control<QComboBox>(ControlIds::SourceSplit); }
    QComboBox* TargetSplit() const { return Control<QComboBox>(ControlIds::TargetSplit); }
    QSlider* Slider() const { return Control<QSlider>(ControlIds::Sensitivity); }
    QPushButton* Button(int id) const { return Control<QPushButton>(id); }

    void Click(int id) const { QTest::mouseClick(Button(id), Qt::LeftButton); }

    // Whether the run going on, if any, ended within the time a test waits.
    bool WaitForRun() const {
        return QTest::qWaitFor([this] { return !dialog->RunInProgress(); }, RunTimeout);
    }
    // Presses Start and waits for the run to end.
    void Run() const {
        Click(ControlIds::Start);
        QVERIFY(WaitForRun());
    }

    // The two sides as files cut into lines only.
    void UseSampleFiles() {
        SourcePath()->setText(WriteTestFile(dir, QStringLiteral("source.txt"), SourceText));
        TargetPath()->setText(WriteTestFile(dir, QStringLiteral("target.txt"), TargetText));
        SourceSplit()->setCurrentIndex(LinesOnly);
        TargetSplit()->setCurrentIndex(LinesOnly);
    }

    QByteArray Settings() const { return ReadTestFile(settingsPath); }
};

inline QStringList Texts(const SentenceList& list) {
    QStringList texts;
    for (const std::wstring& entry : list) {
        texts.append(ToQString(entry));
    }
    return texts;
}

// The rows of the view as "source|target", as the table shows them.
inline QStringList Rows(const CAlignView& view) {
    QStringList rows;
    const AlignTableModel& model = *view.Model();
    for (int row = 0; row < model.rowCount(); ++row) {
        rows.append(model.index(row, AlignTableModel::SourceColumn).data().toString() + u'|' +
                    model.index(row, AlignTableModel::TargetColumn).data().toString());
    }
    return rows;
}

} // namespace bitexa
