// The wizard's program: the application object and the entry that runs it.

// Qt
#include <QApplication>

// Local
#include "app/CWizardApp.h"
#include "platform/avi/CCompressionChooserGuard.h"
#include "platform/aviui/CDialogCompressionChooser.h"

CWizardApp theApp;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // The animation's compressor is chosen in the "Komprese videa" dialog.
    // Message boxes, file choosers and opening files use the layer's own
    // Qt implementations, which are in place from the start.
    CDialogCompressionChooser chooser;
    CCompressionChooserGuard chooserGuard(&chooser);
    return AfxWinMain(argc, argv);
}
