// The program: the application object titled "Tembrook" with the program's
// icon and Qt's Japanese texts, the main window, then the hidden HTML text
// window; the program ends when the main window closes.
#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>

#include "AppIcon.h"
#include "HTMLTextWindow.h"
#include "HTTPTransferThreadUnit.h"
#include "QtTranslation.h"
#include "TembrookMainWindow.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tembrook"));
    // The desktop entry's name: Wayland compositors and docks match the
    // window to its menu entry and icon by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tembrook.Tembrook"));
    // Every window without an icon of its own shows the program's icon.
    QApplication::setWindowIcon(tembrook::ApplicationIcon());
    // Without the translation file Qt's own texts stay English.
    tembrook::InstallQtTranslator(application, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // The connection state is not made here: the first transfer makes it on
    // this thread when Start is pressed (THTTPDataTransfer's constructor),
    // before its worker asks it, so the window shows without waiting for it.

    int result = 0;
    {
        tembrook::TTembrookMainForm mainForm;
        tembrook::THTMLTextForm htmlTextForm;
        // Only the main window's closing ends the program.
        htmlTextForm.setAttribute(Qt::WA_QuitOnClose, false);
        mainForm.SetHTMLTextForm(&htmlTextForm);

        mainForm.show();
        // libcurl loads in the background once the event loop runs, so that
        // it neither delays the window nor the first Start.
        QTimer::singleShot(0, &mainForm, [] { tembrook::InitializeTransfers(); });
        result = QApplication::exec();
        mainForm.StopTransfers();
    }
    return result;
}
