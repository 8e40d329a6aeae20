// The wizard's program: the application that runs it.

// Qt
#include <QApplication>

// Local
#include "app/CWizardApp.h"
#include "app/QtTranslations.h"

int main(int argc, char* argv[])
{
    // The wizard takes no command line: Qt sees the program's name alone, so
    // options such as "-reverse" or "-style" change nothing. The display is
    // still chosen through QT_QPA_PLATFORM.
    char szName[] = "plavex";
    char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : szName, nullptr};
    int nQtArgc = 1;
    QApplication application(nQtArgc, qtArgv);
    // The file choosers and Qt's standard questions speak Czech, like the wizard.
    InstallQtTranslations("cs");
    // Message boxes, file choosers and opening files use the layer's own Qt
    // implementations, which are in place from the start; the wizard asks
    // for the animation's compressor itself.
    CWizardApp app;
    return app.InitInstance() ? QApplication::exec() : 0;
}
