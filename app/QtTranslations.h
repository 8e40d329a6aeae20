#pragma once

// Qt's own texts (file choosers, their buttons, standard questions) in the
// wizard's language.

// Installs Qt's translation for the language ("cs") from Qt's translations
// folder into the running application, once. A missing translation leaves
// Qt's English texts, silently. Gives true when the translation is in place.
bool InstallQtTranslations(const char* pszLanguage);
