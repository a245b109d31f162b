// Takes pictures of the window program: after a run on two files, the main dialog, the
// alignment view and the source side's text window; after a run on the same source and a
// looser translation, the view with its doubtful rows marked and its context menu; and the
// progress of a long run. PNG files in a folder; scripts/screenshots runs it on a virtual
// display.
//
//   bitexa-screenshots SOURCE TARGET LOOSE-TARGET FOLDER

#include "res/DialogTemplates.h"
#include "window/AlignView.h"
#include "window/BitexaDlg.h"
#include "window/DialogBuilder.h"
#include "window/DialogPrompts.h"
#include "window/QtText.h"
#include "window/RunProgressDialog.h"
#include "window/TextDialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace bitexa;

namespace {

// Long enough for any run here.
constexpr int RunTimeout = 120000;

// Nobody answers questions here: messages go to the error stream, Save is never pressed.
class PrintingPrompts final : public DialogPrompts {
public:
    void ShowError(QWidget*, const QString& text, const QString& caption) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
    std::optional<QString> AskSaveFileName(QWidget*, const QString&) override {
        return std::nullopt;
    }
    bool ConfirmOverwrite(QWidget*, const QString&) override { return false; }
    std::optional<QString> AskOpenFileName(QWidget*, const QString&) override {
        return std::nullopt;
    }
    bool ConfirmDiscardCorrections(QWidget*) override { return true; }
    std::optional<QString> AskLanguage(QWidget*, const QString&) override { return std::nullopt; }
    void ShowNotice(QWidget*, const QString& text, const QString& caption) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
    }
};

bool Save(const QPixmap& picture, const QDir& folder, const QString& name) {
    const QString path = folder.filePath(name);
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool Shoot(QWidget& window, const QDir& folder, const QString& name) {
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "%s was never shown\n", qPrintable(name));
        return false;
    }
    QTest::qWait(200);
    return Save(window.grab(), folder, name);
}

// What the screen shows within the frames of the windows, with a small margin: for pictures of
// more than one window, or of a window with its menu.
bool ShootScreen(const QList<QRect>& frames, const QDir& folder, const QString& name) {
    QTest::qWait(300);
    QRect area;
    for (const QRect& frame : frames) {
        area |= frame;
    }
    area.adjust(-8, -8, 8, 8);
    QScreen* screen = QGuiApplication::primaryScreen();
    area &= screen->geometry();
    return Save(screen->grabWindow(0, area.x(), area.y(), area.width(), area.height()), folder,
                name);
}

bool Run(CBitexaDlg& dialog, const QString& source, const QString& target) {
    FindControl<QLineEdit>(dialog, ControlIds::SourcePath)->setText(source);
    FindControl<QLineEdit>(dialog, ControlIds::TargetPath)->setText(target);
    QTest::mouseClick(FindControl<QPushButton>(dialog, ControlIds::Start), Qt::LeftButton);
    if (!QTest::qWaitFor([&] { return !dialog.RunInProgress(); }, RunTimeout) ||
        dialog.AlignView() == nullptr) {
        std::fprintf(stderr, "the run on %s opened no view\n", qPrintable(target));
        return false;
    }
    return true;
}

// The view with its doubtful rows marked, then the context menu of the source cell of the first
// row with more than one segment on a side.
bool ShootDoubtfulRows(CAlignView& view, const QDir& folder) {
    QTableView* list = view.List();
    list->setCurrentIndex(QModelIndex());
    list->clearSelection();
    if (!Shoot(view, folder, QStringLiteral("doubtful-rows.png"))) {
        return false;
    }
    const AlignTableModel& model = *view.Model();
    int row = -1;
    do {
        row = model.NextDoubtfulRow(row, true);
    } while (row >= 0 && DoubtOf(model.Rows()[static_cast<std::size_t>(row)]) != Doubt::Uneven);
    if (row < 0) {
        std::fprintf(stderr, "no row of more than one segment\n");
        return false;
    }
    list->setCurrentIndex(model.index(row, AlignTableModel::SourceColumn));
    const QRect cell = list->visualRect(list->currentIndex());
    const std::unique_ptr<QMenu> menu = view.ContextMenu();
    menu->popup(list->viewport()->mapToGlobal(cell.center()));
    if (!QTest::qWaitForWindowExposed(menu.get())) {
        return false;
    }
    const bool ok = ShootScreen({view.frameGeometry(), menu->frameGeometry()}, folder,
                                QStringLiteral("context-menu.png"));
    menu->close();
    return ok;
}

// Two texts without a shared label, long enough (10^10 cells) for the progress to show, then
// stopped.
bool ShootProgress(CBitexaDlg& dialog, const QDir& folder) {
    QTemporaryDir texts;
    QByteArray source;
    QByteArray target;
    for (int i = 0; i < 100000; ++i) {
        source += "Sentence " + QByteArray::number(i) + QByteArray(i % 37, 'x') + ".\n";
        target += "文 " + QByteArray::number(i) + QByteArray(i % 23, 'y') + "。\n";
    }
    const QString sourcePath = texts.filePath(QStringLiteral("long-en.txt"));
    const QString targetPath = texts.filePath(QStringLiteral("long-ja.txt"));
    for (const auto& [path, bytes] :
         {std::pair{sourcePath, source}, std::pair{targetPath, target}}) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            return false;
        }
    }
    FindControl<QLineEdit>(dialog, ControlIds::SourcePath)->setText(sourcePath);
    FindControl<QLineEdit>(dialog, ControlIds::TargetPath)->setText(targetPath);
    QTest::mouseClick(FindControl<QPushButton>(dialog, ControlIds::Start), Qt::LeftButton);
    const bool shown = QTest::qWaitFor(
        [&] {
            return dialog.ProgressDialog() != nullptr && dialog.ProgressDialog()->isVisible() &&
                   dialog.ProgressDialog()->Bar()->value() > 50;
        },
        RunTimeout);
    bool ok =
        shown && ShootScreen({dialog.frameGeometry(), dialog.ProgressDialog()->frameGeometry()},
                             folder, QStringLiteral("progress.png"));
    if (dialog.ProgressDialog() != nullptr) {
        QTest::mouseClick(dialog.ProgressDialog()->CancelButton(), Qt::LeftButton);
    }
    ok = QTest::qWaitFor([&] { return !dialog.RunInProgress(); }, RunTimeout) && ok;
    if (!ok) {
        std::fprintf(stderr, "no progress to take a picture of\n");
    }
    return ok;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: bitexa-screenshots SOURCE TARGET LOOSE-TARGET FOLDER\n");
        return 2;
    }
    const QDir folder(arguments[4]);

    // A settings file of its own: the pictures show the default split modes and slider.
    QTemporaryDir settings;
    PrintingPrompts prompts;
    CBitexaDlg dialog(FromQString(settings.filePath(QStringLiteral("bitexa.ini"))), prompts);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog) || !Run(dialog, arguments[1], arguments[2])) {
        return 1;
    }
    QTest::mouseClick(FindControl<QPushButton>(dialog, ControlIds::ShowSourceText), Qt::LeftButton);
    if (dialog.SourceTextDialog() == nullptr) {
        std::fprintf(stderr, "no text window\n");
        return 1;
    }
    bool ok = Shoot(dialog, folder, QStringLiteral("main-dialog.png")) &&
              Shoot(*dialog.AlignView(), folder, QStringLiteral("alignment-view.png")) &&
              Shoot(*dialog.SourceTextDialog(), folder, QStringLiteral("source-text.png"));
    dialog.SourceTextDialog()->hide();
    ok = ok && Run(dialog, arguments[1], arguments[3]) &&
         ShootDoubtfulRows(*dialog.AlignView(), folder) && ShootProgress(dialog, folder);
    return ok ? 0 : 1;
}
