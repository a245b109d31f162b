#pragma once

#include <QApplication>

namespace bitexa {

// The desktop program: one main dialog, and the program ends when it closes.
class CBitexaApp : public QApplication {
    Q_OBJECT

public:
    CBitexaApp(int& argc, char** argv);

    // Sets up the settings file and the locale, runs the main dialog until it is closed and
    // gives the process's exit status.
    int InitInstance();
};

} // namespace bitexa
