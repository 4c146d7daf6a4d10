#pragma once
// Qt's own texts (the standard buttons of message boxes, the colour and
// file dialogs) in the program's language.

#include <string>

namespace qm::app {

// Replaces the installed Qt translation by the one for code ("de", "fr"...);
// English and a language Qt has no file for use Qt's built-in English.
void UseQtTranslations(const std::string& code);

} // namespace qm::app
