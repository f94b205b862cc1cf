#pragma once
// The main window's parts as a test reaches them: by their object names, as
// the window's layout sets them.

#include <QLabel>
#include <QList>
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace tembrook::test {

// The one object of type T named name among parent's descendants. Throws
// (the test then fails with the message) when there is none, when the name
// is taken more than once, or when the object is of another type.
template <class T>
T* Child(const QObject& parent, const char* name)
{
    const QList<QObject*> found = parent.findChildren<QObject*>(QString::fromLatin1(name));
    if (found.size() != 1)
        throw std::runtime_error(std::string("expected one object named ") + name + ", found " +
                                 std::to_string(found.size()));
    T* child = dynamic_cast<T*>(found.front());
    if (child == nullptr)
        throw std::runtime_error(std::string("the object named ") + name + " is not of the expected type");
    return child;
}

// Status panel index (0 to 2) of the main window's status bar.
inline QLabel* StatusPanel(const QObject& window, int index)
{
    return Child<QLabel>(window, ("StatusPanel" + std::to_string(index)).c_str());
}

}  // namespace tembrook::test
