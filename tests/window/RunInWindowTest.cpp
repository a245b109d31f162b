#include "MainDialogFixture.h"
#include "window/RunProgressDialog.h"

#include <QProgressBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>

using namespace bitexa;

namespace {

// Two texts without a shared label, each line of its own length: one stretch of 10^10 cells,
// whose dynamic programme takes seconds even on fast cores, so that a run is still going on
// when the test looks at it and stops it.
void UseLargeFiles(Fixture& f) {
    QByteArray source;
    QByteArray target;
    for (int i = 0; i < 100000; ++i) {
        source += "Sentence " + QByteArray::number(i) + QByteArray(i % 37, 'x') + ".\n";
        target += "文 " + QByteArray::number(i) + QByteArray(i % 23, 'y') + "。\n";
    }
    f.SourcePath()->setText(WriteTestFile(f.dir, QStringLiteral("large-s.txt"), source));
    f.TargetPath()->setText(WriteTestFile(f.dir, QStringLiteral("large-t.txt"), target));
    f.SourceSplit()->setCurrentIndex(LinesOnly);
    f.TargetSplit()->setCurrentIndex(LinesOnly);
}

// What a run must leave alone when it is stopped.
struct Snapshot {
    std::wstring resultText;
    ColumnList sourceColumn;
    SentenceList sourceSentences;
    QStringList rows;
    bool saveEnabled = false;
    bool viewVisible = false;
    int undoSteps = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const Fixture& f) {
    const CAlignView* view = f.dialog->AlignView();
    return {f.dialog->State().resultText,
            f.dialog->State().sourceColumn,
            f.dialog->State().sourceSentences,
            view ? Rows(*view) : QStringList(),
            f.Button(ControlIds::Save)->isEnabled(),
            view && view->isVisible(),
            view ? view->Model()->UndoStack()->index() : -1};
}

} // namespace

class RunInWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theWindowTurnsWhileARunGoesOnAndCancelLeavesAllAsItWas();
    void closingDuringARunStopsIt();
    void closingWhileAMessageIsUpStopsTheRun();
    void unreadableFilesAreNamedWithTheReason();
    void unsavedCorrectionsAreNotDroppedUnasked();
};

void RunInWindowTest::theWindowTurnsWhileARunGoesOnAndCancelLeavesAllAsItWas() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    // A correction not yet saved, which the user agrees to drop for the new run.
    CAlignView* view = f.dialog->AlignView();
    view->List()->setCurrentIndex(view->Model()->index(1, AlignTableModel::SourceColumn));
    QVERIFY(view->Model()->Correct(MergeIntoNext(view->Model()->Rows(), 1, Side::Source), "m"));
    const Snapshot before = Take(f);
    f.prompts.discardAnswers = {true};

    UseLargeFiles(f);
    int ticks = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] { ticks += f.dialog->RunInProgress() ? 1 : 0; });
    timer.start(10);
    QSignalSpy ended(f.dialog.get(), &CBitexaDlg::RunEnded);
    f.Click(ControlIds::Start);

    // The click came back with the run going on, and the window's timers keep firing.
    QVERIFY(f.dialog->RunInProgress());
    QTRY_VERIFY(ticks >= 5);
    for (const int id : {ControlIds::Start, ControlIds::Save, ControlIds::ShowSourceText,
                         ControlIds::ShowTargetText}) {
        QVERIFY2(!f.Button(id)->isEnabled(), qPrintable(QString::number(id)));
    }
    // A second press does nothing while the first run goes on.
    f.Click(ControlIds::Start);
    QCOMPARE(f.prompts.discardQuestions, 1);

    // After a moment the progress is shown, and it moves.
    QTRY_VERIFY_WITH_TIMEOUT(f.dialog->ProgressDialog() != nullptr &&
                                 f.dialog->ProgressDialog()->isVisible(),
                             RunTimeout);
    QTRY_VERIFY_WITH_TIMEOUT(f.dialog->ProgressDialog()->Bar()->value() > 0, RunTimeout);
    QVERIFY(f.dialog->RunInProgress());

    QTest::mouseClick(f.dialog->ProgressDialog()->CancelButton(), Qt::LeftButton);
    QVERIFY(f.WaitForRun());
    QCOMPARE(ended.count(), 1);
    QVERIFY(f.dialog->ProgressDialog()->isHidden());
    QVERIFY(Take(f) == before);
    QVERIFY(view->HasUnsavedCorrections());
    QVERIFY(f.Button(ControlIds::Start)->isEnabled());
    // The focus is back on Start for the next press.
    QCOMPARE(f.dialog->focusWidget(), f.Button(ControlIds::Start));
    QVERIFY(f.prompts.errors.empty());
}

void RunInWindowTest::closingDuringARunStopsIt() {
    Fixture f;
    UseLargeFiles(f);
    QSignalSpy finished(f.dialog.get(), &QDialog::finished);
    f.Click(ControlIds::Start);
    QVERIFY(f.dialog->RunInProgress());
    QVERIFY(f.dialog->close());
    QVERIFY(!f.dialog->RunInProgress());
    QCOMPARE(finished.count(), 1);
    // The stopped run leaves nothing behind, not even after the events it had sent.
    QTest::qWait(50);
    QVERIFY(f.dialog->AlignView() == nullptr);
    QVERIFY(f.dialog->State().resultText.empty());
    QVERIFY(QFile::exists(f.settingsPath));
}

void RunInWindowTest::closingWhileAMessageIsUpStopsTheRun() {
    Fixture f;
    f.SourcePath()->setText(f.dir.filePath(QStringLiteral("missing-source.txt")));
    f.TargetPath()->setText(f.dir.filePath(QStringLiteral("missing-target.txt")));
    // The user closes the main window while the first message is on screen.
    f.prompts.whileErrorShown = [&f] { f.dialog->close(); };
    f.Click(ControlIds::Start);
    QTRY_VERIFY(!f.dialog->isVisible());
    QVERIFY(!f.dialog->RunInProgress());
    QTest::qWait(50);
    // The second message was never shown, and the run never got to its rows.
    QCOMPARE(f.prompts.errors.size(), std::size_t(1));
    QVERIFY(f.dialog->AlignView() == nullptr);
}

void RunInWindowTest::unreadableFilesAreNamedWithTheReason() {
    Fixture f;
    const QString missing = f.dir.filePath(QStringLiteral("missing.txt"));
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("folder.txt")));
    const QString folder = f.dir.filePath(QStringLiteral("folder.txt"));
    f.SourcePath()->setText(missing);
    f.TargetPath()->setText(folder);
    f.Run();

    // One box a side, source first, each with the path and the system's reason.
    QCOMPARE(f.prompts.errors.size(), std::size_t(2));
    const QString head = QStringLiteral(" を読み込めませんでした。\n");
    QCOMPARE(f.prompts.errors[0].text, missing + head + QString::fromLocal8Bit(strerror(ENOENT)));
    QVERIFY2(f.prompts.errors[1].text.startsWith(folder + head),
             qPrintable(f.prompts.errors[1].text));
    QVERIFY(f.prompts.errors[1].text.size() > (folder + head).size());
    for (const FakePrompts::Message& message : f.prompts.errors) {
        QCOMPARE(message.caption, QStringLiteral("エラー"));
        QCOMPARE(message.owner, f.dialog.get());
    }
    // The run goes on with two sides without segments.
    QVERIFY(f.dialog->AlignView() && f.dialog->AlignView()->isVisible());
    QCOMPARE(Rows(*f.dialog->AlignView()), QStringList{QStringLiteral("|")});
    QVERIFY(f.Button(ControlIds::Save)->isEnabled());
}

void RunInWindowTest::unsavedCorrectionsAreNotDroppedUnasked() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    AlignTableModel* model = f.dialog->AlignView()->Model();
    QVERIFY(model->Correct(InsertEmptyRow(model->Rows(), 0), "insert"));

    // Declined: no run, the correction stays.
    f.Click(ControlIds::Start);
    QCOMPARE(f.prompts.discardQuestions, 1);
    QVERIFY(!f.dialog->RunInProgress());
    QCOMPARE(model->rowCount(), 4);

    // Undone back to the run's rows: nothing to lose, no question.
    model->UndoStack()->undo();
    f.Run();
    QCOMPARE(f.prompts.discardQuestions, 1);

    // Saved corrections are not asked about either.
    QVERIFY(model->Correct(InsertEmptyRow(model->Rows(), 0), "insert"));
    f.prompts.saveAnswers = {f.dir.filePath(QStringLiteral("saved.txt"))};
    f.Click(ControlIds::Save);
    f.Run();
    QCOMPARE(f.prompts.discardQuestions, 1);

    // Agreed: the run replaces the corrected rows.
    QVERIFY(model->Correct(InsertEmptyRow(model->Rows(), 0), "insert"));
    f.prompts.discardAnswers = {true};
    f.Run();
    QCOMPARE(f.prompts.discardQuestions, 2);
    QCOMPARE(Rows(*f.dialog->AlignView()), ExpectedRows);
    QVERIFY(!f.dialog->AlignView()->HasUnsavedCorrections());
}

QTEST_MAIN(RunInWindowTest)
#include "RunInWindowTest.moc"
