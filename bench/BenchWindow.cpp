#include <QCoreApplication>
#include <QList>
#include <QString>
#include <memory>

#include "BenchRegistry.h"
#include "TembrookMainWindow.h"

namespace tembrook::bench {

namespace {

std::unique_ptr<TTembrookMainForm>& WindowSlot()
{
    static std::unique_ptr<TTembrookMainForm> window;
    return window;
}

}  // namespace

TTembrookMainForm& BenchWindow()
{
    std::unique_ptr<TTembrookMainForm>& window = WindowSlot();
    if (!window) {
        window = std::make_unique<TTembrookMainForm>();
        window->show();  // the first show sets up the import road
        DrainEvents();
    }
    return *window;
}

QObject* FindBenchWindowChild(const char* name)
{
    const QList<QObject*> found = BenchWindow().findChildren<QObject*>(QString::fromLatin1(name));
    return found.size() == 1 ? found.front() : nullptr;
}

void ReleaseBenchWindow()
{
    std::unique_ptr<TTembrookMainForm>& window = WindowSlot();
    if (window) {
        window->close();
        window.reset();
        DrainEvents();
    }
}

void DrainEvents()
{
    // A view lays itself out on a zero-length timer after a change and paints
    // after that, so a few rounds are needed until everything is done.
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace tembrook::bench
