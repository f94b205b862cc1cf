// tembrook_bench_empty_window: an empty Qt main window, shown and left
// running; the yardstick for the program's cold start in
// bench/fresh_process.py (process start to the main window mapped).
//
// With --japanese-label the window holds one label of Japanese text in the
// face the program draws with (Monapo): the least a window that shows
// Japanese text starts, fontconfig and the face included, which an empty
// window never does.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMainWindow>
#include <QString>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("--japanese-label")) {
        auto* label = new QLabel(QStringLiteral("トップリスト取込中.."), &window);
        QFont font(QStringLiteral("Monapo"));
        font.setPixelSize(12);
        label->setFont(font);
        window.setCentralWidget(label);
    }
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
