#include "window/BitexaApp.h"

int main(int argc, char* argv[]) {
    bitexa::CBitexaApp app(argc, argv);
    return app.InitInstance();
}
