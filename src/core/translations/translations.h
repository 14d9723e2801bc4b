// The translated texts: the program's catalogue of the user's language
// (tallyscope_<language>.qm) and Qt's own (qtbase_<language>.qm, for the texts of standard
// dialogs and buttons), installed on the running application.
//
// The program's catalogues are shipped in share/tallyscope/translations of an installation, else
// in translations/ beside the executable (a build tree, a portable copy): the same choice as the
// program's other shipped data. Qt's own come from the system's Qt.
//
// English is the source language: an English locale, the C locale or a language without a
// catalogue loads nothing and every text stays as written.
#pragma once

#include <QLocale>
#include <QString>

namespace tally {

// share/tallyscope/translations of an installation, else translations/ beside the executable.
// Needs the application object (it reads the executable's folder).
QString translationsFolder();

// Loads the catalogues for the locale's languages from the folder and installs them on the
// application (which must exist). True when the program's own catalogue was found; Qt's own is
// loaded whenever the system has it. Called once per run; a second call replaces the first's.
bool installTranslations(const QLocale& locale = QLocale(),
                         const QString& folder = translationsFolder());

} // namespace tally
