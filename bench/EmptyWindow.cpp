// tembrook_bench_empty_window: an empty Qt main window, shown and left
// running; the yardstick for the program's cold start in
// bench/fresh_process.py (process start to the main window mapped).

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
