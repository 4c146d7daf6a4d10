#pragma once
// A saved page's folder with files its references can name, and an empty
// project to import into, set up once per process under the scratch folder.
#include "import/ImportRun.h"

#include <string>

namespace qm::fuzz {

// The folder of the imported page, absolute.
[[nodiscard]] const std::string& ImportPageFolder();

// A fresh run into the empty project.
[[nodiscard]] TImportRun NewImportRun();

// Empties the project again after a run copied files into it, so that runs
// do not pile up copies (name_2.png, name_3.png ...).
void ResetImportProject(const TImportRun& run);

} // namespace qm::fuzz
