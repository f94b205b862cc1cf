#pragma once
// Qt's own texts in the program's language. The interface is Japanese
// whatever the user's locale, so the buttons and labels that Qt itself
// writes (the file dialogs, the overwrite question, the standard buttons of
// message boxes) come from Qt's Japanese translation, qtbase_ja.qm, which
// the distribution installs in Qt's translations folder
// (QLibraryInfo::TranslationsPath). Only the translator is installed: the
// locale that formats dates and numbers stays the user's.

class QCoreApplication;
class QString;
class QTranslator;

namespace tembrook {

// Installs qtbase_ja.qm from folder into application; returns the installed
// translator (a child of application), or nullptr when the folder holds no
// readable translation, and the program then runs with Qt's English texts.
QTranslator* InstallQtTranslator(QCoreApplication& application, const QString& folder);

}  // namespace tembrook
