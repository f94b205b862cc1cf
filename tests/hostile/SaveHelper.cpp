// A separate program for the disk tests that must run as an ordinary user
// (the test drops root's privileges for it, since root may write any file):
// it builds the main window offscreen with the rows of the table page read
// from standard input (the test gives it the fixture's, which an ordinary
// user may not be able to open where it lies), ticks the first row, saves through the Save action to the file named
// on the command line, and prints every message box the window would have
// shown, one line each ("error<TAB>text" or "information<TAB>text", UTF-8).
//
//   tembrook_hostile_save_helper FILE < TABLE_PAGE

#include <QApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

#include "BookDataInportOptionUnit.h"
#include "BookListModel.h"
#include "Clock.h"
#include "LocaleSettings.h"
#include "MessageBoxes.h"
#include "SaveDialog.h"
#include "TembrookMainWindow.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: tembrook_hostile_save_helper FILE < TABLE_PAGE\n", stderr);
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tembrook"));
    const QString fileName = QString::fromLocal8Bit(argv[1]);

    const tembrook::platform::TScopedToday today({2026, 3, 20});
    const tembrook::platform::TScopedLocaleSeparators separators({"/", ","});
    std::ios::sync_with_stdio(false);
    const std::string page((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    tembrook::TBookDataInportOption option;
    option.ParseTablePage(page, true);
    if (option.BookSaleList.Count() == 0) {
        std::fputs("tembrook_hostile_save_helper: no rows in the table page on standard input\n", stderr);
        return 2;
    }

    tembrook::TTembrookMainForm window;
    window.ImportView().BookList().Clear();
    window.ImportView().BookList().AddBookSaleList(option.BookSaleList);
    window.ImportView().BookList().SetChecked(0, true);

    const tembrook::TScopedMessageHook messages([](const tembrook::TShownMessage& message) {
        const char* kind = message.Kind == tembrook::TMessageKind::mkError ? "error" : "information";
        std::printf("%s\t%s\n", kind, message.Text.toUtf8().constData());
    });
    const tembrook::TScopedSaveDialogHook dialog(
        [&](QFileDialog&) { return std::optional<QString>(fileName); });
    window.SaveListAsActionExecute();
    std::printf("rows\t%d\n", window.ImportView().BookList().Count());
    return 0;
}
