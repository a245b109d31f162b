#include "window/BitexaApp.h"

#include "run/Settings.h"
#include "window/BitexaDlg.h"
#include "window/ProgramIcon.h"
#include "window/QtDialogPrompts.h"
#include "window/QtText.h"

#include <clocale>

namespace bitexa {

CBitexaApp::CBitexaApp(int& argc, char** argv) : QApplication(argc, argv) {}

int CBitexaApp::InitInstance() {
    setWindowIcon(ProgramIcon());
    // Lets the desktop match the windows with the installed desktop entry and its icon.
    setDesktopFileName(QStringLiteral("bitexa"));

    const std::wstring settingsPath = SettingsFileLocation(FromQString(applicationFilePath()));
    std::setlocale(LC_ALL, "");

    QtDialogPrompts prompts;
    CBitexaDlg dialog(settingsPath, prompts);
    // The view and the text windows stay usable beside the dialog, so the dialog is shown
    // modeless; its closing, and nothing else, ends the program.
    setQuitOnLastWindowClosed(false);
    connect(&dialog, &QDialog::finished, this, &QCoreApplication::quit);
    dialog.show();
    return exec();
}

} // namespace bitexa
