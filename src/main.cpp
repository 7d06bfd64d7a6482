// The program's main sequence: the application, then the main window (which runs its own start
// order: texts, state, LAN endpoint), then the message loop until the main window closes.
#include <QApplication>

#include <Unit_Main.h>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    TFrm_Main mainWindow;
    mainWindow.show();
    return app.exec();
}
