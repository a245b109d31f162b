// Takes pictures of the window program after a run on two files: the main dialog, the alignment
// view and the source side's text window, as PNG files in a folder. scripts/screenshots runs it
// on a virtual display.
//
//   bitexa-screenshots SOURCE TARGET FOLDER

#include "res/DialogTemplates.h"
#include "window/AlignView.h"
#include "window/BitexaDlg.h"
#include "window/DialogBuilder.h"
#include "window/DialogPrompts.h"
#include "window/QtText.h"
#include "window/TextDialog.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

using namespace bitexa;

namespace {

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
};

bool Shoot(QWidget& window, const QDir& folder, const QString& name) {
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "%s was never shown\n", qPrintable(name));
        return false;
    }
    QTest::qWait(200);
    const QString path = folder.filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: bitexa-screenshots SOURCE TARGET FOLDER\n");
        return 2;
    }
    const QDir folder(arguments[3]);

    // A settings file of its own: the pictures show the default split modes and slider.
    QTemporaryDir settings;
    PrintingPrompts prompts;
    CBitexaDlg dialog(FromQString(settings.filePath(QStringLiteral("bitexa.ini"))), prompts);
    dialog.show();
    FindControl<QLineEdit>(dialog, ControlIds::SourcePath)->setText(arguments[1]);
    FindControl<QLineEdit>(dialog, ControlIds::TargetPath)->setText(arguments[2]);
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        return 1;
    }
    QTest::mouseClick(FindControl<QPushButton>(dialog, ControlIds::Start), Qt::LeftButton);
    QTest::mouseClick(FindControl<QPushButton>(dialog, ControlIds::ShowSourceText), Qt::LeftButton);
    if (dialog.AlignView() == nullptr || dialog.SourceTextDialog() == nullptr) {
        std::fprintf(stderr, "the run opened no window\n");
        return 1;
    }
    const bool ok = Shoot(dialog, folder, QStringLiteral("main-dialog.png")) &&
                    Shoot(*dialog.AlignView(), folder, QStringLiteral("alignment-view.png")) &&
                    Shoot(*dialog.SourceTextDialog(), folder, QStringLiteral("source-text.png"));
    return ok ? 0 : 1;
}
