// Placeholder start-up until the main window lands: says honestly what this build can do.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMessageBox::information(nullptr, QStringLiteral("N6 V" N6_VERSION_TEXT),
                             QStringLiteral("N6 Config is under construction: this build holds the "
                                            "parameter codec only; the main window is not built yet."));
    return 0;
}
