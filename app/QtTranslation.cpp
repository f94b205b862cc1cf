#include "QtTranslation.h"

#include <QCoreApplication>
#include <QString>
#include <QTranslator>
#include <memory>

namespace tembrook {

QTranslator* InstallQtTranslator(QCoreApplication& application, const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"), folder) ||
        !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    translator->setParent(&application);
    return translator.release();
}

}  // namespace tembrook
