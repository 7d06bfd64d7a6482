// The program's main sequence: the application, then the main window (which runs its own start
// order: texts, state, LAN endpoint), then the message loop until the main window closes.
#include <QApplication>

#ifdef N6_HAVE_UI
#include <Unit_Main.h>
#else
#include <QMessageBox>
#endif

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
#ifdef N6_HAVE_UI
    TFrm_Main mainWindow;
    mainWindow.show();
    return app.exec();
#else
    QMessageBox::information(nullptr, QStringLiteral("N6 V" N6_VERSION_TEXT),
                             QStringLiteral("N6 Config: this build has no main window."));
    return 0;
#endif
}
