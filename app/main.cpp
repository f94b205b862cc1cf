// The program: the application object titled "Tembrook" with the program's
// icon, the main window, then the hidden HTML text window; the program ends
// when the main window closes.
#include <QApplication>

#include "AppIcon.h"
#include "ConnectionState.h"
#include "HTMLTextWindow.h"
#include "HTTPTransferThreadUnit.h"
#include "TembrookMainWindow.h"

int main(int argc, char** argv)
{
    // libcurl's global set-up must run before any thread exists.
    tembrook::InitializeTransfers();

    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tembrook"));
    // The desktop entry's name: Wayland compositors and docks match the
    // window to its menu entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tembrook.Tembrook"));
    // Every window without an icon of its own shows the program's icon.
    QApplication::setWindowIcon(tembrook::ApplicationIcon());
    // Load the connection-state backend on this thread, before the first
    // transfer asks for it from a worker.
    tembrook::platform::CurrentConnectionState();

    int result = 0;
    {
        tembrook::TTembrookMainForm mainForm;
        tembrook::THTMLTextForm htmlTextForm;
        // Only the main window's closing ends the program.
        htmlTextForm.setAttribute(Qt::WA_QuitOnClose, false);
        mainForm.SetHTMLTextForm(&htmlTextForm);

        mainForm.show();
        result = QApplication::exec();
        tembrook::StopAllTransfers();
    }
    return result;
}
