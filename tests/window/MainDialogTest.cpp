#include "MainDialogFixture.h"
#include "res/DialogTemplates.h"
#include "window/AlignView.h"
#include "window/BitexaDlg.h"

#include "run/Export.h"
#include "window/DialogBuilder.h"
#include "window/QtText.h"
#include "window/TextDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <QtTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <memory>

using namespace bitexa;

namespace {

const QString DefaultSettings = QStringLiteral("[path]\nsource0=\ntarget0=\n\n"
                                               "[split]\nsource=2\ntarget=1\n\n"
                                               "[sensitivity]\nvalue=-5\n");

std::unique_ptr<QMimeData> FileDrop(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) {
        urls.append(QUrl::fromLocalFile(path));
    }
    data->setUrls(urls);
    return data;
}

// Drags the data onto the widget and drops it there; gives whether the drop was taken.
bool Drop(QWidget* widget, const QMimeData& data) {
    const QPointF where(widget->width() / 2.0, widget->height() / 2.0);
    QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(where, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &drop);
    return drop.isAccepted();
}

// Lets writes grow a file only up to a few bytes, for the length of one test.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class MainDialogTest : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsTheDefaults();
    void storedSettingsAreShownAndWrittenBack_data();
    void storedSettingsAreShownAndWrittenBack();
    void closingWritesWhatTheControlsShow();
    void unwritableSettingsFileIsSilent();
    void runFillsTheViewAndEnablesSave();
    void runShowsTheViewAgainWithTheNewRows();
    void refusedFilesAreReportedAndTheRunGoesOn();
    void aFileThatFailsToReadIsReportedAndItsSideStaysEmpty();
    void memoryFailureEndsTheRunWithAMessage();
    void runOutOfAddressSpaceEndsTheRunAndTheProgramGoesOn();
    void sideTextFollowsTheEditedWindow();
    void sideTextOfAnEmptySideIsEmpty();
    void textWindowsHideAndComeBack();
    void enterAndEscapeDoNothing_data();
    void enterAndEscapeDoNothing();
    void accessKeysPressTheirButtons();
    void droppedFilesGoToThePathFields();
    void saveWritesTheExactBytes();
    void saveAsksBeforeReplacingAFile();
    void cancelledSaveWritesNothing();
    void saveReportsAnUnwritablePath();
    void failedSaveLeavesTheOldFileIntact();
    void saveWritesTheCorrectedRows();
    void saveWritesTheFormatOfTheFilesExtension();
    void theModelIsAChoiceKeptInTheSettings();
    void saveStartsInTheLastFolderElseTheSources();
    void pathFieldsHaveAFilePicker();
    void theViewIsACompanionOfTheDialog();
    void aNewRunStartsAtTheTop();
};

void MainDialogTest::firstStartShowsTheDefaults() {
    Fixture f;
    QCOMPARE(f.dialog->windowTitle(), QStringLiteral("Bitexa 1.0"));
    QVERIFY(!f.dialog->windowIcon().isNull());
    QCOMPARE(f.SourcePath()->text(), QString());
    QCOMPARE(f.TargetPath()->text(), QString());
    for (QComboBox* combo : {f.SourceSplit(), f.TargetSplit()}) {
        QStringList entries;
        for (int i = 0; i < combo->count(); ++i) {
            entries.append(combo->itemText(i));
        }
        QCOMPARE(entries, (QStringList{QStringLiteral("文切りなし"), QStringLiteral("日本語"),
                                       QStringLiteral("English")}));
    }
    QCOMPARE(f.SourceSplit()->currentText(), QStringLiteral("English"));
    QCOMPARE(f.TargetSplit()->currentText(), QStringLiteral("日本語"));
    QCOMPARE(f.Slider()->minimum(), -9);
    QCOMPARE(f.Slider()->maximum(), 9);
    QCOMPARE(f.Slider()->value(), -5);
    // The trackbar's own steps: one position per arrow key, a fifth of the range per page.
    QCOMPARE(f.Slider()->singleStep(), 1);
    QCOMPARE(f.Slider()->pageStep(), 3);
    QVERIFY(f.Button(ControlIds::Start)->isEnabled());
    QVERIFY(!f.Button(ControlIds::Save)->isEnabled());
    QCOMPARE(f.dialog->focusWidget(), f.Button(ControlIds::Start));
    // Nothing is written before the dialog closes.
    QVERIFY(!QFile::exists(f.settingsPath));
    QVERIFY(f.dialog->AlignView() == nullptr);

    QSignalSpy finished(f.dialog.get(), &QDialog::finished);
    QVERIFY(f.dialog->close());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(QString::fromUtf8(f.Settings()), DefaultSettings);
}

void MainDialogTest::storedSettingsAreShownAndWrittenBack_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("sourcePath");
    QTest::addColumn<int>("sourceMode");
    QTest::addColumn<int>("targetMode");
    QTest::addColumn<int>("slider");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("all five") << QByteArray("[path]\nsource0=/d/原文.txt\ntarget0=/d/t.txt\n"
                                            "[split]\nsource=1\ntarget=2\n[sensitivity]\nvalue=3\n")
                              << QStringLiteral("/d/原文.txt") << 1 << 2 << 3
                              << QByteArray(
                                     "[path]\nsource0=/d/原文.txt\ntarget0=/d/t.txt\n"
                                     "[split]\nsource=1\ntarget=2\n[sensitivity]\nvalue=3\n");
    QTest::newRow("lines only on both sides")
        << QByteArray("[split]\nsource=0\ntarget=0\n") << QString() << 0 << 0 << -5
        << QByteArray("[split]\nsource=0\ntarget=0\n\n[path]\nsource0=\ntarget0=\n\n"
                      "[sensitivity]\nvalue=-5\n");
    QTest::newRow("slider at -9") << QByteArray("[sensitivity]\nvalue=-9\n") << QString() << 2 << 1
                                  << -9
                                  << QByteArray("[sensitivity]\nvalue=-9\n\n[path]\nsource0=\n"
                                                "target0=\n\n[split]\nsource=2\ntarget=1\n");
    QTest::newRow("slider at 9") << QByteArray("[sensitivity]\nvalue=9\n") << QString() << 2 << 1
                                 << 9
                                 << QByteArray("[sensitivity]\nvalue=9\n\n[path]\nsource0=\n"
                                               "target0=\n\n[split]\nsource=2\ntarget=1\n");
    QTest::newRow("slider -12 clamps")
        << QByteArray("[sensitivity]\nvalue=-12\n") << QString() << 2 << 1 << -9
        << QByteArray("[sensitivity]\nvalue=-9\n\n[path]\nsource0=\n"
                      "target0=\n\n[split]\nsource=2\ntarget=1\n");
    QTest::newRow("split 7 selects nothing")
        << QByteArray("[split]\nsource=7\ntarget=-2\n") << QString() << -1 << -1 << -5
        << QByteArray("[split]\nsource=-1\ntarget=-1\n\n[path]\nsource0=\ntarget0=\n\n"
                      "[sensitivity]\nvalue=-5\n");
    QTest::newRow("not a number") << QByteArray("[sensitivity]\nvalue=high\n") << QString() << 2
                                  << 1 << 0
                                  << QByteArray("[sensitivity]\nvalue=0\n\n[path]\nsource0=\n"
                                                "target0=\n\n[split]\nsource=2\ntarget=1\n");
    QTest::newRow("extra sections kept")
        << QByteArray("; mine\n[window]\nx=10\n[path]\nsource0=/a.txt\nnote=keep\n[zzz]\n")
        << QStringLiteral("/a.txt") << 2 << 1 << -5
        << QByteArray("; mine\n[window]\nx=10\n[path]\nsource0=/a.txt\nnote=keep\ntarget0=\n"
                      "[zzz]\n\n[split]\nsource=2\ntarget=1\n\n[sensitivity]\nvalue=-5\n");
}

void MainDialogTest::storedSettingsAreShownAndWrittenBack() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, sourcePath);
    QFETCH(int, sourceMode);
    QFETCH(int, targetMode);
    QFETCH(int, slider);
    QFETCH(QByteArray, written);

    Fixture f(stored);
    QCOMPARE(f.SourcePath()->text(), sourcePath);
    QCOMPARE(f.SourceSplit()->currentIndex(), sourceMode);
    QCOMPARE(f.TargetSplit()->currentIndex(), targetMode);
    QCOMPARE(f.Slider()->value(), slider);
    if (sourceMode == -1) {
        QCOMPARE(f.SourceSplit()->currentText(), QString());
    }
    f.dialog->close();
    QCOMPARE(f.Settings(), written);
}

void MainDialogTest::closingWritesWhatTheControlsShow() {
    Fixture f;
    f.SourcePath()->setText(QStringLiteral("/data/en.txt"));
    f.TargetPath()->setText(QStringLiteral("/data/日本語.txt"));
    f.SourceSplit()->setCurrentIndex(0);
    f.TargetSplit()->setCurrentIndex(2);
    f.Slider()->setValue(4);
    f.dialog->close();
    QCOMPARE(QString::fromUtf8(f.Settings()),
             QStringLiteral("[path]\nsource0=/data/en.txt\ntarget0=/data/日本語.txt\n\n"
                            "[split]\nsource=0\ntarget=2\n\n[sensitivity]\nvalue=4\n"));

    f.Open();
    QCOMPARE(f.SourcePath()->text(), QStringLiteral("/data/en.txt"));
    QCOMPARE(f.TargetPath()->text(), QStringLiteral("/data/日本語.txt"));
    QCOMPARE(f.SourceSplit()->currentIndex(), 0);
    QCOMPARE(f.TargetSplit()->currentIndex(), 2);
    QCOMPARE(f.Slider()->value(), 4);
}

void MainDialogTest::unwritableSettingsFileIsSilent() {
    Fixture f;
    f.settingsPath = f.dir.filePath(QStringLiteral("no-such-folder-file"));
    WriteTestFile(f.dir, QStringLiteral("no-such-folder-file"), "a file, not a folder");
    f.settingsPath += QStringLiteral("/bitexa.ini");
    f.Open();
    QVERIFY(f.dialog->close());
    QVERIFY(f.prompts.errors.empty());
    QVERIFY(!QFile::exists(f.settingsPath));
}

void MainDialogTest::runFillsTheViewAndEnablesSave() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();

    CAlignView* view = f.dialog->AlignView();
    QVERIFY(view != nullptr);
    QVERIFY(view->isVisible());
    QCOMPARE(view->windowTitle(), QStringLiteral("Alignment View"));
    QCOMPARE(Rows(*view), ExpectedRows);
    QCOMPARE(ToQString(f.dialog->State().resultText), ExpectedResult);
    QVERIFY(f.Button(ControlIds::Save)->isEnabled());
    QVERIFY(f.prompts.errors.empty());
    // A run leaves the settings file alone.
    QVERIFY(!QFile::exists(f.settingsPath));
}

void MainDialogTest::runShowsTheViewAgainWithTheNewRows() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    QPointer<CAlignView> view = f.dialog->AlignView();
    QVERIFY(view->close());
    QVERIFY(view && view->isHidden());

    f.SourcePath()->setText(WriteTestFile(f.dir, QStringLiteral("one.txt"), "Only.\n"));
    f.TargetPath()->setText(WriteTestFile(f.dir, QStringLiteral("one-ja.txt"), "一つ。\n"));
    f.Run();
    QCOMPARE(f.dialog->AlignView(), view.data());
    QVERIFY(view->isVisible());
    QCOMPARE(Rows(*view), (QStringList{QStringLiteral("|"), QStringLiteral("Only.|一つ。")}));
}

void MainDialogTest::refusedFilesAreReportedAndTheRunGoesOn() {
    Fixture f;
    f.SourcePath()->setText(QStringLiteral("/d/source.csv"));
    f.TargetPath()->setText(QStringLiteral("/d/target.text"));
    f.Run();

    QCOMPARE(f.prompts.errors.size(), std::size_t(2));
    const QString suffix =
        QStringLiteral(" は読み込み可能なフォーマットでないので読み込めませんでした。");
    QCOMPARE(f.prompts.errors[0].text, QStringLiteral("/d/source.csv") + suffix);
    QCOMPARE(f.prompts.errors[1].text, QStringLiteral("/d/target.text") + suffix);
    for (const FakePrompts::Message& message : f.prompts.errors) {
        QCOMPARE(message.caption, QStringLiteral("エラー"));
        QCOMPARE(message.owner, f.dialog.get());
    }
    QVERIFY(f.dialog->AlignView() && f.dialog->AlignView()->isVisible());
    QCOMPARE(Rows(*f.dialog->AlignView()), QStringList{QStringLiteral("|")});
    QVERIFY(f.Button(ControlIds::Save)->isEnabled());
}

void MainDialogTest::aFileThatFailsToReadIsReportedAndItsSideStaysEmpty() {
    Fixture f;
    f.UseSampleFiles();
    // The process's own memory, read from address 0: every read fails with EIO. An empty side is
    // what is left, never a text made of what came before the error.
    const QString source = f.dir.filePath(QStringLiteral("mem.txt"));
    QVERIFY(QFile::link(QStringLiteral("/proc/self/mem"), source));
    f.SourcePath()->setText(source);
    f.Click(ControlIds::Start);

    QTRY_COMPARE(f.prompts.errors.size(), std::size_t(1));
    QCOMPARE(f.prompts.errors[0].text,
             source + QStringLiteral(" を読み込めませんでした。\nInput/output error"));
    QCOMPARE(f.prompts.errors[0].caption, QStringLiteral("エラー"));
    QCOMPARE(f.prompts.errors[0].owner, f.dialog.get());
    QTRY_VERIFY(f.dialog->AlignView() && f.dialog->AlignView()->isVisible());
    QCOMPARE(Texts(f.dialog->State().sourceSentences), QStringList{QString()});
    QCOMPARE(Rows(*f.dialog->AlignView()),
             (QStringList{QStringLiteral("|"), QStringLiteral("|一。"), QStringLiteral("|二。")}));
}

void MainDialogTest::memoryFailureEndsTheRunWithAMessage() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    QCOMPARE(Rows(*f.dialog->AlignView()), ExpectedRows);

    // The refused name's message is where the run runs out of memory.
    f.SourcePath()->setText(QStringLiteral("/d/source.csv"));
    f.prompts.failNextError = true;
    f.Run();

    QCOMPARE(f.prompts.errors.size(), std::size_t(1));
    QCOMPARE(f.prompts.errors[0].text, ToQString(std::wstring(OutOfMemoryMessage)));
    QCOMPARE(f.prompts.errors[0].caption, QStringLiteral("エラー"));
    // No half result is left to show or save, and the program goes on.
    QVERIFY(f.dialog->State().resultText.empty());
    QCOMPARE(f.dialog->AlignView()->Model()->rowCount(), 0);
    f.SourcePath()->setText(WriteTestFile(f.dir, QStringLiteral("source.txt"), SourceText));
    f.Run();
    QCOMPARE(Rows(*f.dialog->AlignView()), ExpectedRows);
}

// The virtual memory this process has now, in bytes.
rlim_t CurrentAddressSpace() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmSize:")) {
                return line.mid(7).trimmed().split(' ').first().toULongLong() * 1024;
            }
        }
    }
    return 0;
}

void MainDialogTest::runOutOfAddressSpaceEndsTheRunAndTheProgramGoesOn() {
#if defined(__SANITIZE_ADDRESS__)
    QSKIP("the address sanitizer reserves more address space than the limit allows");
#endif
    // Two texts of 100,000 lines without a shared label make one stretch whose path needs about
    // 150 MB, taken before the long pass, besides the texts' own copies. A child process of this
    // test gets 100 MB more than it has now, runs them from the window, then runs two small files.
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        int failures = 0;
        {
            Fixture f;
            QByteArray source;
            QByteArray target;
            for (int i = 0; i < 100000; ++i) {
                source += "line " + QByteArray::number(i) + " of the source text\n";
                target += "line " + QByteArray::number(i) + "\n";
            }
            f.SourcePath()->setText(WriteTestFile(f.dir, QStringLiteral("big-s.txt"), source));
            f.TargetPath()->setText(WriteTestFile(f.dir, QStringLiteral("big-t.txt"), target));
            f.SourceSplit()->setCurrentIndex(LinesOnly);
            f.TargetSplit()->setCurrentIndex(LinesOnly);
            const rlim_t limit = CurrentAddressSpace() + (rlim_t{100} << 20);
            const rlimit addressSpace{limit, limit};
            setrlimit(RLIMIT_AS, &addressSpace);
            f.Click(ControlIds::Start);
            failures += !f.WaitForRun();
            failures += f.prompts.errors.size() != 1 ||
                        f.prompts.errors[0].text != ToQString(std::wstring(OutOfMemoryMessage));
            failures += !f.dialog->State().resultText.empty();

            f.UseSampleFiles();
            f.Click(ControlIds::Start);
            failures += !f.WaitForRun();
            failures += Rows(*f.dialog->AlignView()) != ExpectedRows;
            failures += f.prompts.errors.size() != 1;
        }
        _exit(failures);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

void MainDialogTest::sideTextFollowsTheEditedWindow() {
    Fixture f;
    f.UseSampleFiles();
    f.Click(ControlIds::ShowSourceText);

    CTextDialog* window = f.dialog->SourceTextDialog();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Source"));
    QCOMPARE(window->Text(), QStringLiteral("One.\nTwo.\n"));
    QCOMPARE(Texts(f.dialog->State().sourceSentences),
             (QStringList{QString(), QStringLiteral("One."), QStringLiteral("Two.")}));
    QVERIFY(f.dialog->TargetTextDialog() == nullptr);

    // Break the first line in two: "On" | "e.".
    QPlainTextEdit* edit = window->Edit();
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(2);
    edit->setTextCursor(cursor);
    QTest::keyClick(edit, Qt::Key_Return);
    QVERIFY(window->isVisible());

    f.Click(ControlIds::ShowSourceText);
    QCOMPARE(f.dialog->SourceTextDialog(), window);
    QCOMPARE(Texts(f.dialog->State().sourceSentences),
             (QStringList{QString(), QStringLiteral("On"), QStringLiteral("e."),
                          QStringLiteral("Two.")}));
    QCOMPARE(window->Text(), QStringLiteral("On\ne.\nTwo.\n"));

    // A run with no source path aligns the edited list...
    f.SourcePath()->clear();
    f.Run();
    QCOMPARE(Texts(f.dialog->State().sourceSentences),
             (QStringList{QString(), QStringLiteral("On"), QStringLiteral("e."),
                          QStringLiteral("Two.")}));
    const QString result = ToQString(f.dialog->State().resultText);
    QVERIFY2(result.contains(QStringLiteral("On")) && result.contains(QStringLiteral("e.")),
             qPrintable(result));
    // ...and a run with the path reloads the file and drops the edit.
    f.SourcePath()->setText(f.dir.filePath(QStringLiteral("source.txt")));
    f.Run();
    QCOMPARE(Texts(f.dialog->State().sourceSentences),
             (QStringList{QString(), QStringLiteral("One."), QStringLiteral("Two.")}));
    QCOMPARE(Rows(*f.dialog->AlignView()), ExpectedRows);
}

void MainDialogTest::sideTextOfAnEmptySideIsEmpty() {
    Fixture f;
    f.Click(ControlIds::ShowTargetText);
    CTextDialog* window = f.dialog->TargetTextDialog();
    QVERIFY(window && window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("Target"));
    QCOMPARE(window->Text(), QString());
    QVERIFY(f.prompts.errors.empty());

    // A refused name brings up its message and gives an empty window as well.
    f.SourcePath()->setText(QStringLiteral("/d/source.doc"));
    f.Click(ControlIds::ShowSourceText);
    QCOMPARE(f.prompts.errors.size(), std::size_t(1));
    QCOMPARE(f.dialog->SourceTextDialog()->Text(), QString());
}

void MainDialogTest::textWindowsHideAndComeBack() {
    Fixture f;
    f.UseSampleFiles();
    f.Click(ControlIds::ShowTargetText);
    QPointer<CTextDialog> window = f.dialog->TargetTextDialog();
    QVERIFY(window->close());
    QVERIFY(window && window->isHidden());

    f.Click(ControlIds::ShowTargetText);
    QCOMPARE(f.dialog->TargetTextDialog(), window.data());
    QVERIFY(window->isVisible());
    QCOMPARE(window->Text(), QStringLiteral("一。\n二。\n"));

    QTest::keyClick(window->Edit(), Qt::Key_Escape);
    QVERIFY(window && window->isHidden());
    f.Click(ControlIds::ShowTargetText);
    QVERIFY(window->isVisible());

    // The windows end with the dialog.
    f.dialog.reset();
    QVERIFY(window.isNull());
}

void MainDialogTest::enterAndEscapeDoNothing_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<int>("key");
    const int controls[] = {
        ControlIds::Start,       ControlIds::ShowSourceText, ControlIds::ShowTargetText,
        ControlIds::Sensitivity, ControlIds::SourceSplit,    ControlIds::TargetSplit,
        ControlIds::SourcePath,  ControlIds::TargetPath,     ControlIds::Save};
    const std::pair<int, const char*> keys[] = {
        {Qt::Key_Return, "Return"}, {Qt::Key_Enter, "Enter"}, {Qt::Key_Escape, "Escape"}};
    for (const int control : controls) {
        for (const auto& [key, name] : keys) {
            QTest::addRow("%d %s", control, name) << control << key;
        }
    }
    QTest::addRow("dialog Escape") << MainDialogId << int(Qt::Key_Escape);
    QTest::addRow("dialog Return") << MainDialogId << int(Qt::Key_Return);
}

void MainDialogTest::enterAndEscapeDoNothing() {
    QFETCH(int, control);
    QFETCH(int, key);
    Fixture f;
    f.UseSampleFiles();
    // Save must be enabled to take the focus; the run before it is not under test here.
    f.Button(ControlIds::Save)->setEnabled(true);
    QWidget* target = control == MainDialogId ? static_cast<QWidget*>(f.dialog.get())
                                              : f.Control<QWidget>(control);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QTest::keyClick(target, Qt::Key(key), Qt::KeypadModifier);

    QVERIFY(f.dialog->isVisible());
    QVERIFY(f.dialog->AlignView() == nullptr);
    QVERIFY(f.dialog->SourceTextDialog() == nullptr);
    QVERIFY(f.dialog->TargetTextDialog() == nullptr);
    QCOMPARE(f.prompts.saveDialogs, 0);
    QVERIFY(!QFile::exists(f.settingsPath));
}

void MainDialogTest::accessKeysPressTheirButtons() {
    Fixture f;
    f.UseSampleFiles();
    QApplication::setActiveWindow(f.dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));

    // An access key presses its button as a click would, after the button has shown the press.
    QTest::keyClick(f.dialog.get(), Qt::Key_E, Qt::AltModifier);
    QTRY_VERIFY(f.dialog->AlignView() != nullptr);
    QCOMPARE(Rows(*f.dialog->AlignView()), ExpectedRows);

    QApplication::setActiveWindow(f.dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    QTest::keyClick(f.dialog.get(), Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE(f.prompts.saveDialogs, 1);
}

void MainDialogTest::droppedFilesGoToThePathFields() {
    Fixture f;
    const QString first = f.dir.filePath(QStringLiteral("first.txt"));
    const auto threeFiles = FileDrop({first, f.dir.filePath(QStringLiteral("second.txt")),
                                      f.dir.filePath(QStringLiteral("third.csv"))});
    f.TargetPath()->setText(QStringLiteral("old"));
    QVERIFY(Drop(f.TargetPath(), *threeFiles));
    QCOMPARE(f.TargetPath()->text(), first);
    QCOMPARE(f.SourcePath()->text(), QString());

    // A long path is taken whole: a cut one would name another file.
    const QString longPath = f.dir.filePath(QString(300, u'p') + QStringLiteral(".txt"));
    QVERIFY(Drop(f.TargetPath(), *FileDrop({longPath})));
    QCOMPARE(f.TargetPath()->text(), longPath);

    // The extension is not looked at here.
    const QString csv = f.dir.filePath(QStringLiteral("data.csv"));
    QVERIFY(Drop(f.SourcePath(), *FileDrop({csv})));
    QCOMPARE(f.SourcePath()->text(), csv);

    // Dropped text is not a file: the field refuses it and keeps its path.
    QMimeData text;
    text.setText(QStringLiteral("/some/typed/path.txt"));
    QVERIFY(!Drop(f.SourcePath(), text));
    QCOMPARE(f.SourcePath()->text(), csv);

    // Only the two path fields accept drops at all.
    QVERIFY(!f.dialog->acceptDrops());
    for (const int id : {ControlIds::Start, ControlIds::ShowSourceText, ControlIds::ShowTargetText,
                         ControlIds::Sensitivity, ControlIds::SourceSplit, ControlIds::TargetSplit,
                         ControlIds::Save}) {
        QVERIFY2(!f.Control<QWidget>(id)->acceptDrops(), qPrintable(QString::number(id)));
    }
    QVERIFY(f.SourcePath()->acceptDrops());
    QVERIFY(f.TargetPath()->acceptDrops());
}

void MainDialogTest::saveWritesTheExactBytes() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    const QString output = f.dir.filePath(QStringLiteral("result.txt"));
    f.prompts.saveAnswers.push_back(output);
    f.Click(ControlIds::Save);

    QCOMPARE(f.prompts.saveDialogs, 1);
    QVERIFY(f.prompts.overwriteQuestions.empty());
    QVERIFY(f.prompts.errors.empty());
    const QByteArray bytes = ReadTestFile(output);
    QVERIFY(bytes.startsWith(QByteArray("\xFF\xFE\x09\x00\x0A\x00", 6)));
    QCOMPARE(bytes, ResultFileBytes(ExpectedResult));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);

    // Saving again writes the same bytes.
    f.prompts.saveAnswers.push_back(output);
    f.prompts.overwriteAnswers.push_back(true);
    f.Click(ControlIds::Save);
    QCOMPARE(ReadTestFile(output), ResultFileBytes(ExpectedResult));
}

void MainDialogTest::saveAsksBeforeReplacingAFile() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    const QString existing = WriteTestFile(f.dir, QStringLiteral("existing.txt"), "old content");
    const QString other = f.dir.filePath(QStringLiteral("other.txt"));
    // The initial pattern is not a name; declining to replace asks for a name again.
    f.prompts.saveAnswers = {f.dir.filePath(QStringLiteral("*.txt")), existing, other};
    f.prompts.overwriteAnswers = {false};
    f.Click(ControlIds::Save);

    QCOMPARE(f.prompts.saveDialogs, 3);
    QCOMPARE(f.prompts.overwriteQuestions, std::vector<QString>{existing});
    QCOMPARE(ReadTestFile(existing), QByteArray("old content"));
    QCOMPARE(ReadTestFile(other), ResultFileBytes(ExpectedResult));
    QVERIFY(!QFile::exists(f.dir.filePath(QStringLiteral("*.txt"))));

    // Agreeing replaces the old content entirely.
    f.prompts.saveAnswers = {existing};
    f.prompts.overwriteAnswers = {true};
    f.Click(ControlIds::Save);
    QCOMPARE(ReadTestFile(existing), ResultFileBytes(ExpectedResult));
}

void MainDialogTest::cancelledSaveWritesNothing() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    const QStringList before = QDir(f.dir.path()).entryList(QDir::Files);
    f.Click(ControlIds::Save);
    QCOMPARE(f.prompts.saveDialogs, 1);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), before);
    QVERIFY(f.prompts.errors.empty());
}

void MainDialogTest::saveReportsAnUnwritablePath() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    const QString path = f.dir.filePath(QStringLiteral("no-such-folder/result.txt"));
    f.prompts.saveAnswers = {path};
    f.Click(ControlIds::Save);

    QCOMPARE(f.prompts.errors.size(), std::size_t(1));
    QCOMPARE(f.prompts.errors[0].caption, QStringLiteral("エラー"));
    QVERIFY2(f.prompts.errors[0].text.contains(path), qPrintable(f.prompts.errors[0].text));
    QCOMPARE(f.prompts.errors[0].owner, f.dialog.get());
    QVERIFY(!QFile::exists(path));
    QVERIFY(QGuiApplication::overrideCursor() == nullptr);
}

void MainDialogTest::failedSaveLeavesTheOldFileIntact() {
    Fixture f;
    // A result well beyond the size that the limit below lets a file reach.
    QByteArray longSource;
    for (int i = 0; i < 200; ++i) {
        longSource += "Line number " + QByteArray::number(i) + ".\n";
    }
    f.SourcePath()->setText(WriteTestFile(f.dir, QStringLiteral("long.txt"), longSource));
    f.TargetPath()->setText(WriteTestFile(f.dir, QStringLiteral("target.txt"), TargetText));
    f.SourceSplit()->setCurrentIndex(LinesOnly);
    f.Run();
    const QString existing = WriteTestFile(f.dir, QStringLiteral("keep.txt"), "precious");
    f.prompts.saveAnswers = {existing};
    f.prompts.overwriteAnswers = {true};
    {
        FileSizeLimit limit(512);
        f.Click(ControlIds::Save);
    }
    QCOMPARE(f.prompts.errors.size(), std::size_t(1));
    QVERIFY(f.prompts.errors[0].text.contains(existing));
    QCOMPARE(ReadTestFile(existing), QByteArray("precious"));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}

void MainDialogTest::saveWritesTheCorrectedRows() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    CAlignView* view = f.dialog->AlignView();
    QApplication::setActiveWindow(view);
    QVERIFY(QTest::qWaitForWindowActive(view));
    QTableView* list = view->List();
    list->setFocus();
    const auto go = [&](int row, int column) {
        list->setCurrentIndex(view->Model()->index(row, column));
    };
    const auto key = [&](int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(list, Qt::Key(k), modifiers);
    };
    const int source = AlignTableModel::SourceColumn;
    const int target = AlignTableModel::TargetColumn;
    // Corrections, undos and redos through the keys.
    go(1, source);
    key(Qt::Key_M, Qt::ControlModifier); // One. joins Two.
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Y, Qt::ControlModifier);
    go(2, target);
    key(Qt::Key_Insert); // an empty row before Two.
    go(3, target);
    key(Qt::Key_Up, Qt::AltModifier); // 二。 into it
    key(Qt::Key_Down, Qt::AltModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    go(1, source);
    key(Qt::Key_Delete); // the row holds 一。: kept
    QVERIFY(view->Model()->setData(view->Model()->index(3, source), "One. Two!"));
    QCOMPARE(Rows(*view), (QStringList{"|", "|一。", "|二。", "One. Two!|"}));

    const QString output = f.dir.filePath(QStringLiteral("corrected.txt"));
    f.prompts.saveAnswers = {output};
    f.Click(ControlIds::Save);
    // The same bytes as the rows typed by hand.
    QCOMPARE(ReadTestFile(output),
             ResultFileBytes(QStringLiteral("\t\n\t一。\n\t二。\nOne. Two!\t\n")));
    QVERIFY(!view->HasUnsavedCorrections());
    // The run's own result is what it was.
    QCOMPARE(ToQString(f.dialog->State().resultText), ExpectedResult);
}

void MainDialogTest::saveWritesTheFormatOfTheFilesExtension() {
    Fixture f;
    // Two English sentences and a Japanese side with one line that has no partner.
    f.SourcePath()->setText(WriteTestFile(f.dir, QStringLiteral("en.txt"), "One. Two.\n"));
    f.TargetPath()->setText(
        WriteTestFile(f.dir, QStringLiteral("ja.txt"),
                      QStringLiteral("一。\n二。\n追加の長い一行です。\n").toUtf8()));
    f.SourceSplit()->setCurrentIndex(2);
    f.TargetSplit()->setCurrentIndex(1);
    f.Run();

    // An uncorrected run: the window's files are the command line's, byte for byte.
    for (const auto& [name, format] :
         {std::pair{"rows.tsv", ExportFormat::Tsv}, std::pair{"memory.TMX", ExportFormat::Tmx}}) {
        const QString output = f.dir.filePath(QString::fromUtf8(name));
        f.prompts.saveAnswers = {output};
        f.Click(ControlIds::Save);
        const std::wstring expected = FromQString(f.dir.filePath(QStringLiteral("expected")));
        ExportOptions options;
        options.format = format;
        ExportCounts counts;
        QVERIFY(ExportRun(expected, f.dialog->State(), options, counts).ok());
        QCOMPARE(ReadTestFile(output), ReadTestFile(ToQString(expected)));
    }
    QVERIFY(f.prompts.languageSides.empty()); // English and Japanese name themselves
    QCOMPARE(f.prompts.notices.size(), std::size_t(1));
    QCOMPARE(f.prompts.notices[0].text,
             QStringLiteral("1 row with text on one side only left out of the translation "
                            "memory."));

    // Lines only: the user names the languages; a tag that is none is refused and asked again.
    f.SourceSplit()->setCurrentIndex(LinesOnly);
    f.Run();
    const QString memory = f.dir.filePath(QStringLiteral("lines.tmx"));
    f.prompts.saveAnswers = {memory};
    f.prompts.languageAnswers = {QStringLiteral("english"), QStringLiteral("en-GB")};
    f.Click(ControlIds::Save);
    QCOMPARE(f.prompts.languageSides,
             (std::vector<QString>{QStringLiteral("Source"), QStringLiteral("Source")}));
    QCOMPARE(f.prompts.errors.size(), std::size_t(1));
    QCOMPARE(f.prompts.errors[0].text, QStringLiteral("english は言語タグではありません。"));
    const QByteArray tmx = ReadTestFile(memory);
    QVERIFY(tmx.contains(R"(<tuv xml:lang="en-GB">)"));
    QVERIFY(tmx.contains(R"(<tuv xml:lang="ja">)"));

    // Cancelling the question writes nothing.
    const QString cancelled = f.dir.filePath(QStringLiteral("cancelled.tmx"));
    f.prompts.saveAnswers = {cancelled};
    f.Click(ControlIds::Save);
    QVERIFY(!QFileInfo::exists(cancelled));
}

void MainDialogTest::theModelIsAChoiceKeptInTheSettings() {
    // Without the dictionary the lexical model goes on with what it has, and says so.
    qputenv("BITEXA_EDICT", "/nonexistent/edict");
    {
        Fixture f;
        auto* lexical = f.Control<QCheckBox>(ControlIds::LexicalModel);
        QVERIFY(!lexical->isChecked()); // the length model unless the settings say otherwise
        f.UseSampleFiles();
        f.TargetPath()->setText(
            WriteTestFile(f.dir, QStringLiteral("words.txt"),
                          QStringLiteral("猫が寝た。\n犬が走った。\n").toUtf8()));
        f.Run();
        QVERIFY(!f.dialog->AlignView()->StatusLine()->text().contains(QStringLiteral("辞書")));

        lexical->setChecked(true);
        f.Run();
        QCOMPARE(Rows(*f.dialog->AlignView()),
                 (QStringList{QStringLiteral("|"), QStringLiteral("One.|猫が寝た。"),
                              QStringLiteral("Two.|犬が走った。")}));
        QVERIFY(f.prompts.errors.empty()); // a note, not a failure
        QVERIFY2(f.dialog->AlignView()->StatusLine()->text().contains(
                     QStringLiteral("対訳辞書 /nonexistent/edict を読めないため")),
                 qPrintable(f.dialog->AlignView()->StatusLine()->text()));
        QVERIFY(f.dialog->close());
        QVERIFY(f.Settings().endsWith("[model]\nvalue=lexical\n"));
    }
    qunsetenv("BITEXA_EDICT");
    // The next start shows the stored choice.
    Fixture again(QByteArray("[model]\nvalue=lexical\n"));
    QVERIFY(again.Control<QCheckBox>(ControlIds::LexicalModel)->isChecked());
}

void MainDialogTest::saveStartsInTheLastFolderElseTheSources() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("out")));
    const QString out = f.dir.filePath(QStringLiteral("out"));
    f.prompts.saveAnswers = {out + QStringLiteral("/a.txt")};
    f.Click(ControlIds::Save);
    f.Click(ControlIds::Save);
    QCOMPARE(f.prompts.saveFolders.size(), std::size_t(2));
    QCOMPARE(QFileInfo(f.prompts.saveFolders[0]), QFileInfo(f.dir.path()));
    QCOMPARE(QFileInfo(f.prompts.saveFolders[1]), QFileInfo(out));
}

void MainDialogTest::pathFieldsHaveAFilePicker() {
    Fixture f;
    const QRect sourceBefore = f.SourcePath()->geometry();
    QApplication::setActiveWindow(f.dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));

    const QString chosen = f.dir.filePath(QStringLiteral("chosen.txt"));
    f.SourcePath()->setText(QStringLiteral("/old/source.txt"));
    f.SourcePath()->setFocus();
    f.prompts.openAnswers = {chosen};
    QTest::keyClick(f.SourcePath(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.prompts.openStarts, std::vector<QString>{QStringLiteral("/old/source.txt")});
    QCOMPARE(f.SourcePath()->text(), chosen);
    // Cancelled, the picker leaves the field as it was.
    f.TargetPath()->setText(QStringLiteral("kept.txt"));
    f.TargetPath()->setFocus();
    QTest::keyClick(f.TargetPath(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.TargetPath()->text(), QStringLiteral("kept.txt"));

    // The same entry ends each field's context menu, after the field's own commands.
    QStringList entries;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu != nullptr) {
            for (QAction* action : menu->actions()) {
                entries.append(action->text());
            }
            menu->close();
        }
    });
    emit f.TargetPath()->customContextMenuRequested(QPoint(2, 2));
    QVERIFY(entries.size() > 2);
    QCOMPARE(entries.back(), QStringLiteral("参照(&B)..."));
    QCOMPARE(f.SourcePath()->geometry(), sourceBefore);
}

void MainDialogTest::theViewIsACompanionOfTheDialog() {
    Fixture f;
    f.UseSampleFiles();
    f.Run();
    CAlignView* view = f.dialog->AlignView();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QCOMPARE(view->windowHandle()->transientParent(), f.dialog->windowHandle());
    // Beside the dialog, clear of its buttons.
    QVERIFY(!view->frameGeometry().intersects(f.dialog->frameGeometry()));
    const QString status = view->StatusLine()->text();
    QCOMPARE(status,
             QStringLiteral("Source: 2 segments   Target: 2 segments   3 rows   0 doubtful"));

    // Minimised and restored together, from either window.
    f.dialog->showMinimized();
    QVERIFY(view->isMinimized());
    f.dialog->showNormal();
    QVERIFY(!view->isMinimized());
    view->showMinimized();
    QVERIFY(f.dialog->isMinimized());
    view->showNormal();
    QVERIFY(!f.dialog->isMinimized());

    // Escape hides the view; F6 in the dialog brings it back, as a run would.
    QTest::keyClick(view->List(), Qt::Key_Escape);
    QVERIFY(view->isHidden());
    f.dialog->showMinimized();
    QVERIFY(view->isHidden());
    f.dialog->showNormal();
    QApplication::setActiveWindow(f.dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(f.dialog.get()));
    QTest::keyClick(f.Button(ControlIds::Start), Qt::Key_F6);
    QVERIFY(view->isVisible());
    QCOMPARE(f.dialog->AlignView(), view);
}

void MainDialogTest::aNewRunStartsAtTheTop() {
    Fixture f;
    QByteArray lines;
    for (int i = 0; i < 300; ++i) {
        lines += "Line " + QByteArray::number(i) + "\n";
    }
    f.SourcePath()->setText(WriteTestFile(f.dir, QStringLiteral("many-s.txt"), lines));
    f.TargetPath()->setText(WriteTestFile(f.dir, QStringLiteral("many-t.txt"), lines));
    f.SourceSplit()->setCurrentIndex(LinesOnly);
    f.TargetSplit()->setCurrentIndex(LinesOnly);
    f.Run();
    QTableView* list = f.dialog->AlignView()->List();
    QVERIFY(QTest::qWaitForWindowExposed(f.dialog->AlignView()));
    list->scrollToBottom();
    list->setCurrentIndex(list->model()->index(250, AlignTableModel::TargetColumn));
    QVERIFY(list->verticalScrollBar()->value() > 0);
    f.Run();
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    QCOMPARE(list->currentIndex().row(), 0);
    QVERIFY(list->selectionModel()->selectedRows().isEmpty());
}

QTEST_MAIN(MainDialogTest)
#include "MainDialogTest.moc"
